#include "ParameterValues.h"

#include "common/ParameterSettings.h"

#include <ffgl/FFGL.h>

#include <cmath>

namespace plughost::cli::serve
{
namespace
{
[[noreturn]] void Refuse( const ParameterState& parameter, const std::string& why )
{
	throw ApiError( 400, Quoted( parameter.description.name ) + " (" + ParameterTypeName( parameter.description.type ) + "): " + why );
}

std::string Elements( const ParameterDescription& d )
{
	std::string list;
	for( std::size_t e = 0; e < d.elements.size(); ++e )
		list += std::string( e ? ", " : "" ) + Quoted( d.elements[ e ].name ) + " = " +
				( d.elements[ e ].value ? FormatNumber( *d.elements[ e ].value ) : "?" );
	return list.empty() ? "(none)" : list;
}

float Option( const ParameterState& parameter, const Json& value )
{
	const ParameterDescription& d = parameter.description;
	if( value.is_string() )
	{
		const std::string name = value.get< std::string >();
		for( bool exact : { true, false } )
			for( const auto& element : d.elements )
				if( element.value && ( exact ? element.name == name : Lower( element.name ) == Lower( name ) ) )
					return *element.value;
	}
	else if( value.is_number() )
	{
		const double number = value.get< double >();
		for( const auto& element : d.elements )
			if( element.value && std::fabs( number - *element.value ) < 1e-6 )
				return *element.value;
	}
	Refuse( parameter, "takes the name or the value of one of its elements: " + Elements( d ) );
}

float Switch( const ParameterState& parameter, const Json& value )
{
	if( value.is_boolean() )
		return value.get< bool >() ? 1.0f : 0.0f;
	if( value.is_number() && ( value.get< double >() == 0.0 || value.get< double >() == 1.0 ) )
		return value.get< float >();
	Refuse( parameter, "takes true or false" );
}

float Numeric( const ParameterState& parameter, const Json& value )
{
	const ParameterDescription& d = parameter.description;
	if( !value.is_number() )
		Refuse( parameter, "takes a number" );
	const double number = value.get< double >();
	if( !std::isfinite( number ) || std::fabs( number ) > 3.0e38 )
		Refuse( parameter, "takes a finite number" );
	if( d.type == FF_TYPE_INTEGER && number != std::floor( number ) )
		Refuse( parameter, "takes whole numbers, got " + value.dump() );
	if( std::isfinite( d.minimum ) && std::isfinite( d.maximum ) && d.minimum <= d.maximum &&
		( number < d.minimum || number > d.maximum ) )
		Refuse( parameter, value.dump() + " is outside its range " + FormatNumber( d.minimum ) + " .. " + FormatNumber( d.maximum ) );
	return static_cast< float >( number );
}
}// namespace

const ParameterState& FindParameter( const std::vector< ParameterState >& parameters, const std::string& id )
{
	if( !id.empty() && id.size() < 10 && id.find_first_not_of( "0123456789" ) == std::string::npos )
	{
		const unsigned long index = std::stoul( id );
		if( index < parameters.size() )
			return parameters[ index ];
		throw ApiError( 404, "no parameter with index " + id + ( parameters.empty() ? "; the plug-in has none"
																		: "; indices are 0 to " + std::to_string( parameters.size() - 1 ) ) );
	}
	for( const auto& parameter : parameters )
		if( parameter.description.name == id )
			return parameter;
	const ParameterState* match = nullptr;
	int matches                 = 0;
	for( const auto& parameter : parameters )
		if( Lower( parameter.description.name ) == Lower( id ) )
		{
			match = &parameter;
			++matches;
		}
	if( matches == 1 )
		return *match;
	std::string names;
	for( const auto& parameter : parameters )
		names += std::string( names.empty() ? "" : ", " ) + Quoted( parameter.description.name );
	throw ApiError( 404, "no parameter named " + Quoted( id.substr( 0, 200 ) ) + "; parameters are " + ( names.empty() ? "(none)" : names ) );
}

NewValue ResolveValue( const ParameterState& parameter, const Json& value )
{
	const uint32_t type = parameter.description.type;
	NewValue resolved;
	if( IsTextType( type ) )
	{
		if( !value.is_string() )
			Refuse( parameter, "takes a text" );
		resolved.isText = true;
		resolved.text   = value.get< std::string >();
		if( resolved.text.size() > kMaxText )
			throw ApiError( 413, Quoted( parameter.description.name ) + ": a text of " + std::to_string( resolved.text.size() ) +
									 " bytes is longer than the limit of " + std::to_string( kMaxText ) );
		if( resolved.text.find( '\0' ) != std::string::npos )
			Refuse( parameter, "a text may not hold a NUL character" );
		return resolved;
	}
	switch( type )
	{
	case FF_TYPE_BUFFER: Refuse( parameter, "a buffer parameter has no value to set here" );
	case FF_TYPE_OPTION: resolved.number = Option( parameter, value ); break;
	case FF_TYPE_BOOLEAN:
	case FF_TYPE_EVENT: resolved.number = Switch( parameter, value ); break;
	default: resolved.number = Numeric( parameter, value ); break;
	}
	return resolved;
}
}// namespace plughost::cli::serve

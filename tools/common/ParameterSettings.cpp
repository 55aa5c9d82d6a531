#include "ParameterSettings.h"

#include <ffgl/FFGL.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace plughost::cli
{
namespace
{
const ParameterDescription& FindParameter( const std::vector< ParameterDescription >& parameters, const std::string& name )
{
	for( const auto& parameter : parameters )
		if( parameter.name == name )
			return parameter;
	// A unique case-insensitive match saves typing the exact capitals.
	const ParameterDescription* match = nullptr;
	int matches                       = 0;
	for( const auto& parameter : parameters )
		if( Lower( parameter.name ) == Lower( name ) )
		{
			match = &parameter;
			++matches;
		}
	if( matches == 1 )
		return *match;

	std::string message = "unknown parameter " + Quoted( name ) + "; parameters are:";
	if( parameters.empty() )
		message += " (none)";
	for( const auto& parameter : parameters )
		message += "\n  " + Quoted( parameter.name ) + " (" + ParameterTypeName( parameter.type ) + ")";
	throw UsageError( message );
}

bool ParseNumber( const std::string& text, float& value )
{
	errno            = 0;
	char* end        = nullptr;
	const float read = std::strtof( text.c_str(), &end );
	if( text.empty() || std::isspace( static_cast< unsigned char >( text[ 0 ] ) ) || end != text.c_str() + text.size() ||
		errno == ERANGE || !std::isfinite( read ) )
		return false;
	value = read;
	return true;
}

float ElementValue( const ParameterDescription& parameter, std::size_t element )
{
	return parameter.elements[ element ].value.value_or( static_cast< float >( element ) );
}

float ResolveOption( const ParameterDescription& parameter, const std::string& value )
{
	for( std::size_t e = 0; e < parameter.elements.size(); ++e )
		if( parameter.elements[ e ].name == value )
			return ElementValue( parameter, e );
	for( std::size_t e = 0; e < parameter.elements.size(); ++e )
		if( Lower( parameter.elements[ e ].name ) == Lower( value ) )
			return ElementValue( parameter, e );
	if( !value.empty() && value.find_first_not_of( "0123456789" ) == std::string::npos && value.size() < 6 )
	{
		const std::size_t index = std::strtoul( value.c_str(), nullptr, 10 );
		if( index < parameter.elements.size() )
			return ElementValue( parameter, index );
	}
	std::string message = Quoted( value ) + " is not an element of " + Quoted( parameter.name ) + "; elements are:";
	for( std::size_t e = 0; e < parameter.elements.size(); ++e )
		message += "\n  " + std::to_string( e ) + " " + Quoted( parameter.elements[ e ].name );
	throw UsageError( message );
}

float ResolveBoolean( const ParameterDescription& parameter, const std::string& value )
{
	const std::string lower = Lower( value );
	if( lower == "on" || lower == "true" || lower == "1" )
		return 1.0f;
	if( lower == "off" || lower == "false" || lower == "0" )
		return 0.0f;
	throw UsageError( Quoted( value ) + " is not a valid value for " + Quoted( parameter.name ) +
					  "; use on, off, true, false, 1 or 0" );
}
}// namespace

std::string FormatNumber( float value )
{
	char text[ 32 ];
	std::snprintf( text, sizeof text, "%g", static_cast< double >( value ) );
	return text;
}

std::vector< ResolvedSetting > ResolveSettings( const std::vector< ParameterDescription >& parameters,
												const std::vector< Setting >& settings )
{
	std::vector< ResolvedSetting > resolved;
	for( const Setting& setting : settings )
	{
		const ParameterDescription& parameter = FindParameter( parameters, setting.name );
		ResolvedSetting result;
		result.index = parameter.index;
		result.name  = parameter.name;
		if( IsTextType( parameter.type ) )
		{
			result.isText = true;
			result.text   = setting.value;
		}
		else if( parameter.type == FF_TYPE_OPTION )
			result.number = ResolveOption( parameter, setting.value );
		else if( parameter.type == FF_TYPE_BOOLEAN || parameter.type == FF_TYPE_EVENT )
			result.number = ResolveBoolean( parameter, setting.value );
		else
		{
			if( !ParseNumber( setting.value, result.number ) )
				throw UsageError( Quoted( setting.value ) + " is not a number; " + Quoted( parameter.name ) + " (" +
								  ParameterTypeName( parameter.type ) + ") takes a number from " +
								  FormatNumber( parameter.minimum ) + " to " + FormatNumber( parameter.maximum ) );
			if( result.number < parameter.minimum || result.number > parameter.maximum )
				result.warning = Quoted( parameter.name ) + " = " + setting.value + " is outside its range " +
								 FormatNumber( parameter.minimum ) + " .. " + FormatNumber( parameter.maximum ) +
								 "; sending it as given";
		}
		resolved.push_back( result );
	}
	return resolved;
}
}// namespace plughost::cli

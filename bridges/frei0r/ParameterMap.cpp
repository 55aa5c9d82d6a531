#include "ParameterMap.h"

#include "Frei0rApi.h"
#include <ffgl/FFGL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ffglfrei0r
{
namespace
{
// NaN and out-of-range values from a host land inside 0..1.
double Unit( double value )
{
	if( !( value >= 0.0 ) )
		return 0.0;
	return value > 1.0 ? 1.0 : value;
}

std::string Number( double value )
{
	char text[ 32 ];
	std::snprintf( text, sizeof text, "%.6g", value );
	return text;
}

ParameterKind KindOf( uint32_t type )
{
	switch( type )
	{
	case FF_TYPE_BOOLEAN:
	case FF_TYPE_EVENT:
		return ParameterKind::Switch;
	case FF_TYPE_OPTION:
		return ParameterKind::Option;
	case FF_TYPE_TEXT:
	case FF_TYPE_FILE:
		return ParameterKind::Text;
	case FF_TYPE_BUFFER:
		return ParameterKind::Unused;
	default:
		return ParameterKind::Number;
	}
}

std::string Explain( const MappedParameter& parameter, const std::string& displayName )
{
	std::string text = displayName.empty() || displayName == parameter.name ? parameter.name : displayName;
	switch( parameter.kind )
	{
	case ParameterKind::Number:
		if( parameter.minimum != 0.0f || parameter.maximum != 1.0f )
			text += " (0..1 is " + Number( parameter.minimum ) + " to " + Number( parameter.maximum ) + ")";
		break;
	case ParameterKind::Option:
	{
		text += ":";
		const std::size_t n = parameter.elementNames.size();
		for( std::size_t e = 0; e < n; ++e )
			text += std::string( e ? ", " : " " ) + Number( n > 1 ? static_cast< double >( e ) / ( n - 1 ) : 0.0 ) + " " +
					parameter.elementNames[ e ];
		break;
	}
	case ParameterKind::Switch:
		if( parameter.ffglType == FF_TYPE_EVENT )
			text += " (event: fires while on)";
		break;
	case ParameterKind::Text:
		if( parameter.ffglType == FF_TYPE_FILE )
			text += " (file name)";
		break;
	case ParameterKind::Unused:
		text += " (buffer: not settable through frei0r)";
		break;
	}
	return text;
}
}// namespace

MappedParameter MapParameter( const plughost::ParameterDescription& description, const std::string& displayName )
{
	MappedParameter parameter;
	parameter.name         = description.name;
	parameter.ffglType     = description.type;
	parameter.kind         = KindOf( description.type );
	parameter.minimum      = description.minimum;
	parameter.maximum      = description.maximum;
	parameter.defaultValue = description.defaultValue;
	parameter.defaultText  = description.defaultText;
	for( std::size_t e = 0; e < description.elements.size(); ++e )
	{
		parameter.elementNames.push_back( description.elements[ e ].name );
		parameter.elementValues.push_back( description.elements[ e ].value.value_or( static_cast< float >( e ) ) );
	}
	// An option without elements has nothing to choose from: treat it as a number.
	if( parameter.kind == ParameterKind::Option && parameter.elementValues.empty() )
		parameter.kind = ParameterKind::Number;
	switch( parameter.kind )
	{
	case ParameterKind::Switch:
		parameter.frei0rType = F0R_PARAM_BOOL;
		break;
	case ParameterKind::Text:
		parameter.frei0rType = F0R_PARAM_STRING;
		break;
	default:
		parameter.frei0rType = F0R_PARAM_DOUBLE;
		break;
	}
	parameter.explanation = Explain( parameter, displayName );
	return parameter;
}

float ToPlugin( const MappedParameter& parameter, double value )
{
	const double unit = Unit( value );
	switch( parameter.kind )
	{
	case ParameterKind::Switch:
		return unit >= 0.5 ? 1.0f : 0.0f;
	case ParameterKind::Option:
	{
		const std::size_t last = parameter.elementValues.size() - 1;
		const auto index       = static_cast< std::size_t >( std::lround( unit * static_cast< double >( last ) ) );
		return parameter.elementValues[ std::min( index, last ) ];
	}
	case ParameterKind::Number:
	{
		const double mapped = parameter.minimum + unit * ( static_cast< double >( parameter.maximum ) - parameter.minimum );
		// An integer parameter gets a whole number: 0.466667 of 1..16 is 8, not 8.000005.
		return static_cast< float >( parameter.ffglType == FF_TYPE_INTEGER ? std::round( mapped ) : mapped );
	}
	default:
		return 0.0f;
	}
}

double FromPlugin( const MappedParameter& parameter, float value )
{
	if( !std::isfinite( value ) )
		return 0.0;
	switch( parameter.kind )
	{
	case ParameterKind::Switch:
		return value >= 0.5f ? 1.0 : 0.0;
	case ParameterKind::Option:
	{
		const std::size_t n = parameter.elementValues.size();
		std::size_t nearest = 0;
		for( std::size_t e = 1; e < n; ++e )
			if( std::fabs( parameter.elementValues[ e ] - value ) < std::fabs( parameter.elementValues[ nearest ] - value ) )
				nearest = e;
		return n > 1 ? static_cast< double >( nearest ) / static_cast< double >( n - 1 ) : 0.0;
	}
	case ParameterKind::Number:
	{
		const double span = static_cast< double >( parameter.maximum ) - parameter.minimum;
		if( !( span != 0.0 ) || !std::isfinite( span ) )
			return 0.0;
		return Unit( ( value - static_cast< double >( parameter.minimum ) ) / span );
	}
	default:
		return 0.0;
	}
}
}// namespace ffglfrei0r

#include "WorkerProtocol.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace plughost::cli::serve
{
namespace
{
// A float that JSON cannot hold (NaN, infinities) travels as null and comes
// back as NaN.
float Number( const Json& json, const char* key )
{
	const auto found = json.find( key );
	if( found == json.end() || !found->is_number() )
		return std::numeric_limits< float >::quiet_NaN();
	return found->get< float >();
}

Json Finite( float value )
{
	return std::isfinite( value ) ? Json( value ) : Json( nullptr );
}
}// namespace

std::string Dump( const Json& json )
{
	return json.dump( -1, ' ', false, Json::error_handler_t::replace );
}

Json ToJson( const ParameterState& parameter )
{
	const ParameterDescription& d = parameter.description;
	const bool text               = IsTextType( d.type );
	Json elements                 = Json::array();
	for( const auto& element : d.elements )
		elements.push_back( { { "name", element.name }, { "value", element.value ? Finite( *element.value ) : Json( nullptr ) } } );
	return { { "index", d.index },
			 { "name", d.name },
			 { "type", d.type },
			 { "kind", ParameterTypeName( d.type ) },
			 { "default", text ? Json( d.defaultText ) : Finite( d.defaultValue ) },
			 { "min", Finite( d.minimum ) },
			 { "max", Finite( d.maximum ) },
			 { "usage", d.usage },
			 { "elements", elements },
			 { "separators", d.separators },
			 { "extensions", d.fileExtensions },
			 { "visible", d.visible },
			 { "group", d.group },
			 { "displayName", parameter.displayName },
			 { "value", text ? Json( parameter.text ) : Finite( parameter.value ) },
			 { "display", parameter.display } };
}

ParameterState ParameterFromJson( const Json& json )
{
	ParameterState parameter;
	ParameterDescription& d = parameter.description;
	d.index                 = json.at( "index" ).get< uint32_t >();
	d.name                  = json.at( "name" ).get< std::string >();
	d.type                  = json.at( "type" ).get< uint32_t >();
	const bool text         = IsTextType( d.type );
	if( text )
		d.defaultText = json.at( "default" ).get< std::string >();
	else
		d.defaultValue = Number( json, "default" );
	d.minimum = Number( json, "min" );
	d.maximum = Number( json, "max" );
	d.usage   = json.at( "usage" ).get< uint32_t >();
	for( const auto& element : json.at( "elements" ) )
	{
		ParameterElement e{ element.at( "name" ).get< std::string >(), std::nullopt };
		if( element.at( "value" ).is_number() )
			e.value = element.at( "value" ).get< float >();
		d.elements.push_back( e );
	}
	d.separators           = json.at( "separators" ).get< std::vector< uint32_t > >();
	d.fileExtensions       = json.at( "extensions" ).get< std::vector< std::string > >();
	d.visible              = json.at( "visible" ).get< bool >();
	d.group                = json.at( "group" ).get< std::string >();
	parameter.displayName  = json.at( "displayName" ).get< std::string >();
	parameter.display      = json.at( "display" ).get< std::string >();
	if( text )
		parameter.text = json.at( "value" ).get< std::string >();
	else
		parameter.value = Number( json, "value" );
	return parameter;
}

Json ToJson( const CarriedValue& value )
{
	return { { "name", value.name }, { "type", value.type }, { "value", Finite( value.value ) }, { "text", value.text } };
}

CarriedValue CarriedFromJson( const Json& json )
{
	return { json.at( "name" ).get< std::string >(), json.at( "type" ).get< uint32_t >(), Number( json, "value" ),
			 json.at( "text" ).get< std::string >() };
}

CarriedValue Carry( const ParameterState& parameter )
{
	return { parameter.description.name, parameter.description.type, parameter.value, parameter.text };
}

std::string Encode( const Json& json, const std::string& payload )
{
	std::string message = Dump( json );
	if( !payload.empty() )
		message += "\n" + payload;
	return message;
}

Message Decode( const std::string& message )
{
	const std::size_t end = message.find( '\n' );
	Message decoded;
	decoded.json = Json::parse( message.substr( 0, end ) );
	if( end != std::string::npos )
		decoded.payload = message.substr( end + 1 );
	if( !decoded.json.is_object() )
		throw std::runtime_error( "a message must be a JSON object" );
	return decoded;
}

Json LoadRequest( const std::string& plugin, uint32_t width, uint32_t height, const std::vector< std::string >& inputs,
				  const std::vector< CarriedValue >& values )
{
	Json carried = Json::array();
	for( const auto& value : values )
		carried.push_back( ToJson( value ) );
	return { { "op", "load" }, { "plugin", plugin }, { "width", width }, { "height", height }, { "inputs", inputs }, { "values", carried } };
}

Json SetRequest( uint32_t index, bool isText, float value, const std::string& text )
{
	Json request = { { "op", "set" }, { "index", index } };
	if( isText )
		request[ "text" ] = text;
	else
		request[ "value" ] = value;
	return request;
}

Json FrameRequest( double time )
{
	return { { "op", "frame" }, { "time", time } };
}
}// namespace plughost::cli::serve

// What the server and its worker process say to each other over the child
// channel. Every message is one JSON object; a frame answer carries the RGBA
// pixels after the JSON text and a newline (compact JSON has no raw newline).
#pragma once

#include <PluginDescription.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plughost::cli::serve
{
using Json = nlohmann::json;

// Compact text; invalid UTF-8 from a plug-in becomes U+FFFD instead of throwing.
std::string Dump( const Json& json );

// One parameter as the worker last saw it on its instance: the description
// (elements and visibility as the instance reports them now) and its value.
struct ParameterState
{
	ParameterDescription description;
	std::string displayName;// code 51; empty when the plug-in gives none
	float value = 0.0f;     // numeric parameters
	std::string text;       // text and file parameters
	std::string display;    // code 7
};

Json ToJson( const ParameterState& parameter );
ParameterState ParameterFromJson( const Json& json );

// A value carried from one instance to the next one: re-applied when a
// parameter of the same name and type exists there.
struct CarriedValue
{
	std::string name;
	uint32_t type = 0;
	float value   = 0.0f;
	std::string text;
};
Json ToJson( const CarriedValue& value );
CarriedValue CarriedFromJson( const Json& json );
CarriedValue Carry( const ParameterState& parameter );

// A message split into its JSON part and the bytes after it.
struct Message
{
	Json json;
	std::string payload;
};
std::string Encode( const Json& json, const std::string& payload = {} );
// Throws std::exception (a parse error) for a message that is not ours.
Message Decode( const std::string& message );

// Requests, by their "op": "load", "set", "frame", "quit".
Json LoadRequest( const std::string& plugin, uint32_t width, uint32_t height, const std::vector< std::string >& inputs,
				  const std::vector< CarriedValue >& values );
Json SetRequest( uint32_t index, bool isText, float value, const std::string& text );
Json FrameRequest( double time );
}// namespace plughost::cli::serve

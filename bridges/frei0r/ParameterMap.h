// How FFGL parameters appear to frei0r hosts. frei0r parameter i is FFGL
// parameter i. Numbers travel as doubles in 0..1 (GStreamer clamps to that),
// mapped linearly onto the plug-in's range; options as doubles too, the
// nearest of index/(n-1) choosing the element; booleans and events as frei0r
// booleans; text and file names as strings. Buffers keep their index but
// carry nothing: a frei0r host has no way to fill them.
#pragma once

#include <PluginDescription.h>

#include <string>
#include <vector>

namespace ffglfrei0r
{
enum class ParameterKind
{
	Number,
	Option,
	Switch,
	Text,
	Unused,
};

struct MappedParameter
{
	std::string name;
	std::string explanation;
	int frei0rType = 0;// F0R_PARAM_*
	ParameterKind kind = ParameterKind::Number;
	uint32_t ffglType  = 0;
	float minimum      = 0.0f;
	float maximum      = 1.0f;
	std::vector< float > elementValues;// options
	std::vector< std::string > elementNames;
	float defaultValue = 0.0f;
	std::string defaultText;
};

MappedParameter MapParameter( const plughost::ParameterDescription& description, const std::string& displayName = {} );

// frei0r value (any double, NaN included) -> the float the plug-in gets.
float ToPlugin( const MappedParameter& parameter, double value );
// The plug-in's float -> frei0r value in 0..1.
double FromPlugin( const MappedParameter& parameter, float value );
}// namespace ffglfrei0r

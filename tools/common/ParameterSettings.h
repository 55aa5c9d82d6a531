// Turns --set NAME=VALUE pairs into values a plug-in's parameters accept.
#pragma once

#include "CliOptions.h"

#include <PluginDescription.h>

#include <string>
#include <vector>

namespace plughost::cli
{
struct ResolvedSetting
{
	uint32_t index = 0;
	std::string name;
	bool isText  = false;
	float number = 0.0f;
	std::string text;
	std::string warning;// non-empty when the value is outside the registered range
};

// Throws UsageError for an unknown name, an unparsable value or a missing
// option element; the message lists what is valid.
std::vector< ResolvedSetting > ResolveSettings( const std::vector< ParameterDescription >& parameters,
												const std::vector< Setting >& settings );

// Compact number text: 0.8, -12, 0.0001.
std::string FormatNumber( float value );
}// namespace plughost::cli

// --animate NAME=FROM:TO: a parameter moved linearly from its first value on
// the first frame of a sequence to its last on the last frame.
#pragma once

#include "ParameterSettings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plughost::cli
{
struct ResolvedAnimation
{
	uint32_t index = 0;
	std::string name;
	float from = 0.0f, to = 0.0f;
	// Options and booleans take only these values; the nearest is sent.
	std::vector< float > steps;
	bool whole = false;// integer parameters move in whole steps
	std::vector< std::string > warnings;

	// The value for frame k of `frames`.
	float At( uint32_t k, uint32_t frames ) const;
};

// Each text is NAME=FROM:TO. FROM and TO are what --set takes for the
// parameter (option elements by name). Throws UsageError; text parameters
// cannot be animated.
std::vector< ResolvedAnimation > ResolveAnimations( const std::vector< ParameterDescription >& parameters,
													const std::vector< std::string >& texts );
}// namespace plughost::cli

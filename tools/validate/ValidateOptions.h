// Command-line options of `plughost validate`, parsed without loading anything.
#pragma once

#include "validate/Check.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plughost::cli
{
struct ValidateOptions
{
	std::vector< std::string > plugins;
	int level = 5;
	std::optional< uint64_t > seed;
	double timeout = 30.0;
	std::vector< std::string > only, skip;// group names or check ids
	bool list = false;
	bool json = false;
	std::string junit;
	std::string preload;
	std::string child;// hidden: run this one check and report over the inherited channel
};

// Throws UsageError and HelpRequested.
ValidateOptions ParseValidateArgs( const std::vector< std::string >& args );

// The checks --only and --skip leave, in running order; throws UsageError
// for a name that is neither a group nor a check.
std::vector< const validate::CheckSpec* > SelectChecks( const std::vector< std::string >& only, const std::vector< std::string >& skip );

std::string ValidateUsage();
}// namespace plughost::cli

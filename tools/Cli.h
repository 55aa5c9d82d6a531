// The whole tool behind main(): find the command, run it, map failures to
// exit codes.
#pragma once

#include "Command.h"

#include <ostream>
#include <string>
#include <vector>

namespace plughost::cli
{
// `args` excludes the program name.
int RunCli( const std::vector< std::string >& args, std::ostream& out, std::ostream& err );

const std::vector< CommandSpec >& Commands();
std::string GeneralUsage();
}// namespace plughost::cli

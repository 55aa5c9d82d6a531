// The whole tool behind main(): parse, dispatch, map failures to exit codes.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace plughost::cli
{
// `args` excludes the program name.
int RunCli( const std::vector< std::string >& args, std::ostream& out, std::ostream& err );
}// namespace plughost::cli

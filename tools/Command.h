// One subcommand of the plughost tool. Each command lives in a folder of its
// own and is listed once in Cli.cpp.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace plughost::cli
{
struct CommandSpec
{
	const char* name;
	const char* synopsis;// "render PLUGIN.so", for the general help
	const char* summary; // one line
	std::string ( *usage )();
	// `args` are the arguments after the command's name. Throws UsageError
	// and HelpRequested; everything else it reports through its exit status.
	int ( *run )( const std::vector< std::string >& args, std::ostream& out, std::ostream& err );
};
}// namespace plughost::cli

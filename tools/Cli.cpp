#include "Cli.h"

#include "bench/BenchCommand.h"
#include "common/CliOptions.h"
#include "frei0r/Frei0rCommand.h"
#include "info/InfoCommand.h"
#include "render/RenderCommand.h"
#include "serve/ServeCommand.h"
#include "validate/ValidateCommand.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace plughost::cli
{
namespace
{
const CommandSpec* Find( const std::string& name )
{
	for( const auto& command : Commands() )
		if( name == command.name )
			return &command;
	return nullptr;
}

std::string CommandNames()
{
	std::string names;
	for( const auto& command : Commands() )
		names += std::string( names.empty() ? "" : ", " ) + command.name;
	return names + " and help";
}

int Usage( std::ostream& err, const std::string& message )
{
	err << "plughost: " << message << "\n\n" << GeneralUsage();
	return kExitUsage;
}
}// namespace

const std::vector< CommandSpec >& Commands()
{
	static const std::vector< CommandSpec > commands = {
		InfoCommand(),
		RenderCommand(),
		BenchCommand(),
		ValidateCommand(),
		ServeCommand(),
		Frei0rCommand(),
	};
	return commands;
}

std::string GeneralUsage()
{
	std::string text = "usage: plughost <command> [options]\n"
					   "\n"
					   "Loads an FFGL plug-in and drives it on a headless OpenGL 4.1 context.\n"
					   "\n"
					   "commands:\n";
	auto line = [ &text ]( std::string synopsis, const std::string& summary ) {
		synopsis.resize( std::max< std::size_t >( synopsis.size() + 2, 22 ), ' ' );
		text += "  " + synopsis + summary + "\n";
	};
	for( const auto& command : Commands() )
		line( command.synopsis, command.summary );
	line( "help [COMMAND]", "show this text or a command's options" );
	return text + "\n"
				  "exit status: 0 success, 1 the plug-in failed or could not be loaded, 2 usage error\n";
}

int RunCli( const std::vector< std::string >& args, std::ostream& out, std::ostream& err )
{
	if( args.empty() )
		return Usage( err, "no command given" );
	if( IsHelp( args[ 0 ] ) )
	{
		out << GeneralUsage();
		return kExitOk;
	}
	if( args[ 0 ] == "help" )
	{
		if( args.size() > 2 )
			return Usage( err, "help takes at most one command name" );
		if( args.size() == 1 )
		{
			out << GeneralUsage();
			return kExitOk;
		}
		const CommandSpec* command = Find( args[ 1 ] );
		if( !command )
			return Usage( err, "no help for unknown command \"" + args[ 1 ] + "\"; commands are " + CommandNames() );
		out << command->usage();
		return kExitOk;
	}
	const CommandSpec* command = Find( args[ 0 ] );
	if( !command )
		return Usage( err, "unknown command \"" + args[ 0 ] + "\"; commands are " + CommandNames() );
	try
	{
		const int status = command->run( std::vector< std::string >( args.begin() + 1, args.end() ), out, err );
		// A report that never arrived is not a success (a full disk, a closed pipe).
		errno = 0;
		if( !out.flush() )
		{
			err << "plughost: cannot write the report to standard output" << ( errno ? std::string( ": " ) + std::strerror( errno ) : "" ) << "\n";
			return kExitFailure;
		}
		return status;
	}
	catch( const HelpRequested& )
	{
		out << command->usage();
		return kExitOk;
	}
	catch( const UsageError& error )
	{
		err << "plughost " << command->name << ": " << error.what() << "\n\nsee: plughost help " << command->name << "\n";
		return kExitUsage;
	}
	catch( const Failure& failure )
	{
		err << "plughost: " << failure.message << "\n";
		return kExitFailure;
	}
	catch( const std::exception& error )
	{
		err << "plughost: " << error.what() << "\n";
		return kExitFailure;
	}
}
}// namespace plughost::cli

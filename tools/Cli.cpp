#include "Cli.h"

#include "CliOptions.h"
#include "InfoCommand.h"
#include "RenderCommand.h"

namespace plughost::cli
{
int RunCli( const std::vector< std::string >& args, std::ostream& out, std::ostream& err )
{
	Invocation invocation;
	try
	{
		invocation = ParseCommandLine( args );
	}
	catch( const UsageError& error )
	{
		err << "plughost: " << error.what() << "\n\n" << GeneralUsage();
		return kExitUsage;
	}
	switch( invocation.command )
	{
	case Command::Help:
		out << ( invocation.helpTopic == "info" ? InfoUsage() : invocation.helpTopic == "render" ? RenderUsage() : GeneralUsage() );
		return kExitOk;
	case Command::Info: return RunInfo( invocation, out, err );
	case Command::Render: return RunRender( invocation, out, err );
	}
	return kExitUsage;
}
}// namespace plughost::cli

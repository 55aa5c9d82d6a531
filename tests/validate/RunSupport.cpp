#include "RunSupport.h"

#include <ChildProcess.h>

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

using namespace plughost;

namespace validatetest
{
ToolRun Validate( const std::vector< std::string >& arguments )
{
	std::vector< std::string > argv = { PLUGHOST_TOOL, "validate" };
	argv.insert( argv.end(), arguments.begin(), arguments.end() );
	ChildOptions options;
	options.timeoutSeconds = 600;
	ChildProcess tool      = ChildProcess::Exec( argv, {}, options );
	const ChildExit& exit  = tool.Wait();
	ToolRun run{ exit.kind == ChildExit::Kind::Exited ? exit.status : -1, tool.Stdout(), tool.Stderr(), {}, {} };
	const std::regex line( R"(^  (FAIL|WARN)  (\S+)\s+(.*)$)" );
	std::istringstream lines( run.out );
	for( std::string text; std::getline( lines, text ); )
		if( std::smatch match; std::regex_match( text, match, line ) )
		{
			if( match[ 1 ] == "FAIL" )
				run.failed[ match[ 2 ] ] = match[ 3 ];
			else
				run.warned.insert( match[ 2 ] );
		}
	return run;
}

std::string Planted( const std::string& name )
{
	return std::string( PLANTED_DIR ) + "/" + name + ".so";
}

bool Contains( const std::string& text, const std::string& piece )
{
	return text.find( piece ) != std::string::npos;
}

void Expect( const Case& c )
{
	std::vector< std::string > arguments = { "--level", "1", "--seed", "7", c.plugin };
	arguments.insert( arguments.end(), c.extra.begin(), c.extra.end() );
	const ToolRun run = Validate( arguments );
	std::set< std::string > failing;
	for( const auto& [ id, message ] : run.failed )
	{
		failing.insert( id );
		EXPECT_TRUE( Contains( message, c.says ) ) << c.plugin << ": " << id << ": " << message;
	}
	EXPECT_EQ( failing, c.failing ) << c.plugin << "\n" << run.out << run.err;
	for( const auto& id : c.warned )
		EXPECT_EQ( run.warned.count( id ), 1u ) << c.plugin << ": no WARN from " << id;
	EXPECT_EQ( run.status, c.failing.empty() ? 0 : 1 ) << c.plugin;
	EXPECT_TRUE( Contains( run.out, std::to_string( c.failing.size() ) + " failed" ) ) << run.out;
	EXPECT_EQ( run.err, "" );// no progress line when standard error is no terminal
}

}// namespace validatetest

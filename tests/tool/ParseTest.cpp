#include <Cli.h>
#include <info/InfoCommand.h>
#include <render/RenderOptions.h>

#include <sstream>

#include <gtest/gtest.h>

using namespace plughost::cli;

namespace
{
using Args = std::vector< std::string >;

// What the tool prints on a usage error, or "accepted" when the arguments
// parse; the plug-in is never loaded.
std::string UsageMessage( const Args& args )
{
	try
	{
		if( !args.empty() && args[ 0 ] == "info" )
			ParseInfoArgs( Args( args.begin() + 1, args.end() ) );
		else if( !args.empty() && args[ 0 ] == "render" )
			ParseRenderArgs( Args( args.begin() + 1, args.end() ) );
		else
		{
			std::ostringstream out, err;
			return RunCli( args, out, err ) == kExitUsage ? err.str() : "accepted";
		}
	}
	catch( const UsageError& error )
	{
		return error.what();
	}
	return "accepted";
}

// Numbers that would overflow, or are not numbers, are refused before use.
TEST( Parse, UsageErrorsSayWhatIsWrong )
{
	const std::pair< Args, std::string > cases[] = {
		{ {}, "no command given" }, { { "frobnicate" }, "unknown command \"frobnicate\"" }, { { "info" }, "info needs a plug-in file" },
		{ { "render", "a.so", "b.so" }, "got a second: b.so" }, { { "info", "--verbose", "a.so" }, "unknown option --verbose" },
		{ { "render", "a.so", "--set", "=1" }, "NAME=VALUE" }, { { "render", "a.so", "--fps", "30" }, "add --frames" },
		{ { "render", "a.so", "--frames", "2", "--out", "x.png" }, "use --out-dir" }, { { "render", "a.so", "--input=" }, "--input needs" } };
	for( const auto& [ args, expected ] : cases )
		EXPECT_NE( UsageMessage( args ).find( expected ), std::string::npos ) << ::testing::PrintToString( args ) << UsageMessage( args );
	const std::tuple< std::string, std::string, Args > numbers[] = {
		{ "--size", "WIDTHxHEIGHT", { "0x10", "-5x10", "20000x10", "16385x1", "10x10x10", " 5x5" } },
		{ "--frames", "--frames expects", { "0", "three", "99999999999" } }, { "--fps", "--fps expects", { "0", "nan", "30fps" } } };
	for( const auto& [ option, expected, values ] : numbers )
		for( const auto& value : values )
			EXPECT_NE( UsageMessage( { "render", "a.so", option, value, "--frames", "2" } ).find( expected ), std::string::npos ) << value;
	EXPECT_TRUE( ParseSize( "640X360" ) == std::make_pair( 640u, 360u ) && ParseSize( "16384x16384" ) == std::make_pair( 16384u, 16384u ) );
}

// Help goes to stdout with success; only the first = separates a name from
// its value.
TEST( Parse, HelpFormsAndSettings )
{
	for( const auto& [ args, usage ] : { std::pair< Args, std::string >{ { "-h" }, "<command>" }, { { "help", "info" }, "info" },
										 { { "render", "a.so", "--help" }, "render" } } )
	{
		std::ostringstream out, err;
		EXPECT_EQ( RunCli( args, out, err ), kExitOk ) << args[ 0 ];
		EXPECT_EQ( out.str().rfind( "usage: plughost " + usage, 0 ), 0u ) << ::testing::PrintToString( args ) << out.str();
	}
	const RenderOptions options = ParseRenderArgs( { "--set", "Display Type=Digital 24h", "fx.so", "--set=Scale=0.5=x", "--input=b.png", "--frames=3" } );
	ASSERT_EQ( options.settings.size(), 2u );
	EXPECT_EQ( std::tuple( options.plugin, options.settings[ 0 ].name + "|" + options.settings[ 0 ].value, options.settings[ 1 ].name + "|" + options.settings[ 1 ].value,
						   options.inputs, options.frames.value_or( 0 ), options.width ),
			   std::tuple( "fx.so", "Display Type|Digital 24h", "Scale|0.5=x", Args{ "b.png" }, 3u, 1280u ) );
}
}// namespace

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

TEST( Parse, UsageErrorsSayWhatIsWrong )
{
	const std::pair< Args, std::string > cases[] = {
		{ {}, "no command given" },
		{ { "frobnicate" }, "unknown command \"frobnicate\"" },
		{ { "help", "frobnicate" }, "no help for unknown command" },
		{ { "info" }, "info needs a plug-in file" },
		{ { "render" }, "render needs a plug-in file" },
		{ { "info", "a.so", "b.so" }, "got a second: b.so" },
		{ { "render", "a.so", "b.so" }, "got a second: b.so" },
		{ { "info", "--verbose", "a.so" }, "unknown option --verbose" },
		{ { "render", "a.so", "--colour", "red" }, "unknown option --colour" },
		{ { "render", "a.so", "--size" }, "--size needs a value" },
		{ { "render", "a.so", "--set", "Scale" }, "NAME=VALUE" },
		{ { "render", "a.so", "--set", "=1" }, "NAME=VALUE" },
		{ { "render", "a.so", "--fps", "30" }, "add --frames" },
		{ { "render", "a.so", "--frames", "2", "--out", "x.png" }, "use --out-dir" },
		{ { "render", "a.so", "--out", "" }, "--out needs" },
		{ { "render", "a.so", "--input=" }, "--input needs" },
	};
	for( const auto& [ args, expected ] : cases )
		EXPECT_NE( UsageMessage( args ).find( expected ), std::string::npos ) << ::testing::PrintToString( args ) << UsageMessage( args );
	const std::tuple< std::string, std::string, Args > numbers[] = {
		{ "--size", "WIDTHxHEIGHT", { "640", "0x10", "-5x10", "20000x10", "16385x1", "10x10x10", "x", " 5x5" } },
		{ "--frames", "--frames expects", { "0", "three", "99999999999" } },
		{ "--fps", "--fps expects", { "0", "nan", "30fps" } },
	};
	for( const auto& [ option, expected, values ] : numbers )
		for( const auto& value : values )
		{
			const std::string message = UsageMessage( { "render", "a.so", option, value, "--frames", "2" } );
			EXPECT_NE( message.find( expected ), std::string::npos ) << value << ": " << message;
		}
	EXPECT_TRUE( ParseSize( "640X360" ) == std::make_pair( 640u, 360u ) && ParseSize( "16384x16384" ) == std::make_pair( 16384u, 16384u ) );
}

TEST( Parse, HelpForms )
{
	const std::pair< Args, std::string > cases[] = {
		{ { "--help" }, "usage: plughost <command>" }, { { "-h" }, "usage: plughost <command>" },
		{ { "help" }, "usage: plughost <command>" },   { { "help", "render" }, "usage: plughost render" },
		{ { "help", "info" }, "usage: plughost info" }, { { "info", "--help" }, "usage: plughost info" },
		{ { "render", "a.so", "--help" }, "usage: plughost render" }, { { "render", "-h" }, "usage: plughost render" },
	};
	for( const auto& [ args, usage ] : cases )
	{
		std::ostringstream out, err;
		EXPECT_EQ( RunCli( args, out, err ), kExitOk ) << args[ 0 ];
		EXPECT_EQ( out.str().rfind( usage, 0 ), 0u ) << ::testing::PrintToString( args ) << out.str();
	}
}

TEST( Parse, RenderDefaultsAndEveryOption )
{
	const RenderOptions defaults = ParseRenderArgs( { "clock.so" } );
	EXPECT_TRUE( defaults.width == 1280 && defaults.height == 720 && defaults.fps == 30.0 && !defaults.frames && !defaults.out &&
				 !defaults.outDir && defaults.settings.empty() && defaults.inputs.empty() );

	const RenderOptions options =
		ParseRenderArgs( { "--size", "320x200", "fx.so", "--set", "Display Type=Digital 24h", "--set=Scale=0.5=x",
						   "--input", "a.png", "--input=b.png", "--frames=3", "--fps", "12.5", "--out-dir", "frames" } );
	EXPECT_EQ( options.plugin, "fx.so" );
	EXPECT_EQ( options.width * 1000 + options.height, 320200u );
	ASSERT_EQ( options.settings.size(), 2u );
	EXPECT_EQ( options.settings[ 0 ].name + "|" + options.settings[ 0 ].value, "Display Type|Digital 24h" );
	EXPECT_EQ( options.settings[ 1 ].name + "|" + options.settings[ 1 ].value, "Scale|0.5=x" ) << "only the first = separates";
	EXPECT_EQ( options.inputs, ( Args{ "a.png", "b.png" } ) );
	EXPECT_TRUE( options.frames.value_or( 0 ) == 3 && options.fps == 12.5 && options.outDir.value_or( "" ) == "frames" );
}
}// namespace

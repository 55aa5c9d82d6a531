#include <CliOptions.h>

#include <gtest/gtest.h>

using namespace plughost::cli;

namespace
{
using Args = std::vector< std::string >;

struct BadCase
{
	Args args;
	std::string expected;// a piece of the message
};

TEST( Parse, UsageErrorsSayWhatIsWrong )
{
	const std::vector< BadCase > cases = {
		{ {}, "no command given" },
		{ { "frobnicate" }, "unknown command \"frobnicate\"" },
		{ { "help", "frobnicate" }, "no help for unknown command" },
		{ { "info" }, "info needs a plug-in file" },
		{ { "info", "a.so", "b.so" }, "got a second: b.so" },
		{ { "info", "--verbose", "a.so" }, "unknown option --verbose" },
		{ { "render" }, "render needs a plug-in file" },
		{ { "render", "a.so", "--size" }, "--size needs a value" },
		{ { "render", "a.so", "--size", "640" }, "WIDTHxHEIGHT" },
		{ { "render", "a.so", "--size", "0x10" }, "WIDTHxHEIGHT" },
		{ { "render", "a.so", "--size", "-5x10" }, "WIDTHxHEIGHT" },
		{ { "render", "a.so", "--size", "20000x10" }, "WIDTHxHEIGHT" },
		{ { "render", "a.so", "--size", "10x10x10" }, "WIDTHxHEIGHT" },
		{ { "render", "a.so", "--set", "Scale" }, "NAME=VALUE" },
		{ { "render", "a.so", "--set", "=1" }, "NAME=VALUE" },
		{ { "render", "a.so", "--frames", "0" }, "--frames expects" },
		{ { "render", "a.so", "--frames", "three" }, "--frames expects" },
		{ { "render", "a.so", "--frames", "99999999999" }, "--frames expects" },
		{ { "render", "a.so", "--frames", "2", "--fps", "0" }, "--fps expects" },
		{ { "render", "a.so", "--frames", "2", "--fps", "nan" }, "--fps expects" },
		{ { "render", "a.so", "--frames", "2", "--fps", "30fps" }, "--fps expects" },
		{ { "render", "a.so", "--fps", "30" }, "add --frames" },
		{ { "render", "a.so", "--frames", "2", "--out", "x.png" }, "use --out-dir" },
		{ { "render", "a.so", "--out", "" }, "--out needs" },
		{ { "render", "a.so", "--input=" }, "--input needs" },
		{ { "render", "a.so", "--colour", "red" }, "unknown option --colour" },
		{ { "render", "a.so", "b.so" }, "got a second: b.so" },
	};
	for( const auto& c : cases )
	{
		std::string joined;
		for( const auto& arg : c.args )
			joined += "[" + arg + "]";
		try
		{
			ParseCommandLine( c.args );
			ADD_FAILURE() << joined << " should be a usage error";
		}
		catch( const UsageError& error )
		{
			EXPECT_NE( std::string( error.what() ).find( c.expected ), std::string::npos ) << joined << ": " << error.what();
		}
	}
}

struct HelpCase
{
	Args args;
	std::string topic;
};

TEST( Parse, HelpForms )
{
	const std::vector< HelpCase > cases = {
		{ { "--help" }, "" },          { { "-h" }, "" },
		{ { "help" }, "" },            { { "help", "render" }, "render" },
		{ { "help", "info" }, "info" }, { { "info", "--help" }, "info" },
		{ { "render", "a.so", "--help" }, "render" }, { { "render", "-h" }, "render" },
	};
	for( const auto& c : cases )
	{
		const Invocation invocation = ParseCommandLine( c.args );
		EXPECT_EQ( invocation.command, Command::Help ) << c.args[ 0 ];
		EXPECT_EQ( invocation.helpTopic, c.topic ) << c.args[ 0 ];
	}
}

TEST( Parse, RenderDefaults )
{
	const Invocation invocation = ParseCommandLine( { "render", "clock.so" } );
	EXPECT_EQ( invocation.command, Command::Render );
	EXPECT_EQ( invocation.plugin, "clock.so" );
	EXPECT_EQ( invocation.render.width, 1280u );
	EXPECT_EQ( invocation.render.height, 720u );
	EXPECT_FALSE( invocation.render.frames );
	EXPECT_DOUBLE_EQ( invocation.render.fps, 30.0 );
	EXPECT_FALSE( invocation.render.out );
	EXPECT_FALSE( invocation.render.outDir );
	EXPECT_TRUE( invocation.render.settings.empty() );
	EXPECT_TRUE( invocation.render.inputs.empty() );
}

TEST( Parse, RenderEverything )
{
	const Invocation invocation =
		ParseCommandLine( { "render", "--size", "320x200", "fx.so", "--set", "Display Type=Digital 24h", "--set=Scale=0.5=x",
							"--input", "a.png", "--input=b.png", "--frames=3", "--fps", "12.5", "--out-dir", "frames" } );
	const RenderOptions& options = invocation.render;
	EXPECT_EQ( invocation.plugin, "fx.so" );
	EXPECT_EQ( options.width, 320u );
	EXPECT_EQ( options.height, 200u );
	ASSERT_EQ( options.settings.size(), 2u );
	EXPECT_EQ( options.settings[ 0 ].name, "Display Type" );
	EXPECT_EQ( options.settings[ 0 ].value, "Digital 24h" );
	EXPECT_EQ( options.settings[ 1 ].name, "Scale" );
	EXPECT_EQ( options.settings[ 1 ].value, "0.5=x" ) << "only the first = separates";
	EXPECT_EQ( options.inputs, ( std::vector< std::string >{ "a.png", "b.png" } ) );
	EXPECT_EQ( options.frames.value_or( 0 ), 3u );
	EXPECT_DOUBLE_EQ( options.fps, 12.5 );
	EXPECT_EQ( options.outDir.value_or( "" ), "frames" );
}

TEST( Parse, SizeForms )
{
	EXPECT_EQ( ParseSize( "1x1" ), std::make_pair( 1u, 1u ) );
	EXPECT_EQ( ParseSize( "640X360" ), std::make_pair( 640u, 360u ) );
	EXPECT_EQ( ParseSize( "16384x16384" ), std::make_pair( 16384u, 16384u ) );
	EXPECT_THROW( ParseSize( "16385x1" ), UsageError );
	EXPECT_THROW( ParseSize( "x" ), UsageError );
	EXPECT_THROW( ParseSize( " 5x5" ), UsageError );
}
}// namespace

#include "ToolTestSupport.h"

#include <PlugHost.h>

#include <gtest/gtest.h>

#include <filesystem>

using namespace tooltest;
using plughost::Image;

namespace
{
bool Contains( const std::string& text, const std::string& piece )
{
	return text.find( piece ) != std::string::npos;
}

struct ExitCase
{
	std::string arguments;
	int status;
	std::string where;// "out" or "err"
	std::string expected;
};

TEST( ToolRun, ExitStatusAndMessages )
{
	const std::string missing = "/nonexistent/Plugin.so";
	const std::vector< ExitCase > cases = {
		{ "--help", 0, "out", "usage: plughost <command>" },
		{ "help", 0, "out", "commands:" },
		{ "help render", 0, "out", "--frames N" },
		{ "render --help", 0, "out", "--set NAME=VALUE" },
		{ "info --help", 0, "out", "usage: plughost info" },
		{ "", 2, "err", "no command given" },
		{ "frobnicate", 2, "err", "unknown command" },
		{ "render", 2, "err", "render needs a plug-in file" },
		{ "info " + missing, 1, "err", "no such file: " + missing },
		{ "render " + missing, 1, "err", "no such file: " + missing },
		{ "info " + Quote( NOT_A_PLUGIN ), 1, "err", "is not an FFGL plug-in: it has no plugMain" },
		{ "render " + Quote( NOT_A_PLUGIN ), 1, "err", "is not an FFGL plug-in: it has no plugMain" },
		{ "render " + Quote( MOCK_PLUGIN ), 2, "err", "needs at least 1 --input" },
		{ "render " + Quote( MOCK_PLUGIN ) + " --input /nonexistent/in.png", 2, "err", "no such file: /nonexistent/in.png" },
		{ "render " + Quote( MOCK_PLUGIN ) + " --set Volume=1", 2, "err", "unknown parameter \"Volume\"" },
		{ "render " + Quote( MOCK_PLUGIN ) + " --set Mode=Blur", 2, "err", "2 \"Black\"" },
	};
	for( const auto& c : cases )
	{
		SCOPED_TRACE( c.arguments );
		const Result result = RunTool( c.arguments );
		EXPECT_EQ( result.status, c.status ) << result.err;
		EXPECT_TRUE( Contains( c.where == "out" ? result.out : result.err, c.expected ) ) << result.out << result.err;
	}
}

TEST( ToolRun, MockCopyRoundTripsThroughPngFiles )
{
	const std::string dir = ScratchDir( "mock" );
	const Image picture   = plughost::GradientImage( 48, 24 );
	plughost::WritePng( dir + "/in.png", picture );
	// The default name comes from the plug-in file, in the current directory.
	const Result result = RunTool( "render " + Quote( MOCK_PLUGIN ) + " --size 48x24 --input in.png", dir );
	ASSERT_EQ( result.status, 0 ) << result.err;
	EXPECT_EQ( result.out, "wrote MockPlugin.png (48x24)\n" );
	EXPECT_EQ( plughost::ReadPng( dir + "/MockPlugin.png" ), picture );
}

TEST( ToolRun, OutOfRangeValueWarnsAndStillRenders )
{
	const std::string dir = ScratchDir( "range" );
	plughost::WritePng( dir + "/in.png", plughost::SolidImage( 4, 4, plughost::Rgba{} ) );
	const Result result = RunTool( "render " + Quote( MOCK_PLUGIN ) + " --size 8x8 --input in.png --set Mode=Black --set Level=3 --out black.png", dir );
	ASSERT_EQ( result.status, 0 ) << result.err;
	EXPECT_TRUE( Contains( result.err, "warning: \"Level\" = 3 is outside its range 0 .. 1" ) ) << result.err;
	EXPECT_EQ( plughost::ReadPng( dir + "/black.png" ), plughost::SolidImage( 8, 8, plughost::Rgba{ 255, 0, 0, 255 } ) );
}

class ClockTool : public ::testing::Test
{
protected:
	void SetUp() override
	{
		if( !ClockBuilt() )
			GTEST_SKIP() << ClockPath() << " is not built yet";
	}
};

struct Row
{
	std::string line;// normalised table row
};

TEST_F( ClockTool, InfoMatchesTheParameterTable )
{
	const Result result = RunTool( "info " + Quote( ClockPath() ) );
	ASSERT_EQ( result.status, 0 ) << result.err;
	const std::string text = Normalised( result.out );
	const std::vector< std::string > expected = {
		"ID: KP50",
		"Name: Vavo Rozar",
		"Type: source",
		"Parameters (13):",
		"0 Display Type option 0 0 .. 1 yes -",
		"[0] Analog = 0",
		"[1] Analog (Smooth) = 1",
		"[2] Digital 12h = 2",
		"[3] Digital 24h = 3",
		"1 Show Seconds boolean 1 0 .. 1 yes -",
		"2 Scale standard 0.5 0 .. 1 yes -",
		"3 Red red 0.8 0 .. 1 yes -",
		"4 Green green 0.8 0 .. 1 yes -",
		"5 Blue blue 0.8 0 .. 1 yes -",
		"6 Manual Mode boolean 0 0 .. 1 yes -",
		"7 Hours standard 1 0 .. 1 yes -",
		"8 Minutes standard 1 0 .. 1 yes -",
		"9 Seconds standard 0 0 .. 1 yes -",
		"10 Timezone Offset integer 0 -12 .. 14 yes -",
		"11 Solid Background boolean 1 0 .. 1 yes -",
		"12 Red Seconds Hand boolean 0 0 .. 1 yes -",
	};
	for( const auto& line : expected )
		EXPECT_TRUE( Contains( text, "\n" + line + "\n" ) || text.rfind( line + "\n", 0 ) == 0 ) << "missing: " << line << "\n" << text;
}

TEST_F( ClockTool, ManualFrameMatchesTheLibrary )
{
	const std::string dir = ScratchDir( "clock" );
	const Result result   = RunTool( "render " + Quote( ClockPath() ) +
								 " --size 160x90 --set 'Manual Mode=on' --set Hours=0.3 --set Minutes=0.5 --set Seconds=0.25"
								 " --set 'Display Type=Analog' --set 'Solid Background=off' --out clock.png",
								 dir );
	ASSERT_EQ( result.status, 0 ) << result.err;
	EXPECT_EQ( result.out, "wrote clock.png (160x90)\n" );
	const Image written = plughost::ReadPng( dir + "/clock.png" );

	plughost::GLContext context;
	plughost::PluginLibrary library( ClockPath() );
	plughost::RenderTarget target( 160, 90 );
	Image direct;
	{
		plughost::Instance instance( library, 160, 90 );
		const std::vector< std::pair< uint32_t, float > > values = { { 6, 1.0f }, { 7, 0.3f }, { 8, 0.5f }, { 9, 0.25f }, { 0, 0.0f }, { 11, 0.0f } };
		for( const auto& [ index, value ] : values )
			ASSERT_EQ( instance.SetFloat( index, value ), FF_SUCCESS );
		instance.SetTime( 0.0 );
		direct = plughost::RenderImage( instance, target );
	}
	EXPECT_EQ( written, direct );
	// Drawn pixels exist and the cleared background stays transparent.
	bool opaque = false, transparent = false;
	for( std::size_t i = 3; i < written.pixels.size(); i += 4 )
		( written.pixels[ i ] == 0 ? transparent : opaque ) = true;
	EXPECT_TRUE( opaque );
	EXPECT_TRUE( transparent );
}

TEST_F( ClockTool, SequenceOfThreeFrames )
{
	const std::string dir = ScratchDir( "sequence" );
	const Result result   = RunTool( "render " + Quote( ClockPath() ) + " --size 64x48 --frames 3 --fps 24 --out-dir seq --set 'Manual Mode=1'", dir );
	ASSERT_EQ( result.status, 0 ) << result.err;
	EXPECT_TRUE( Contains( result.out, "wrote 3 frames" ) ) << result.out;
	EXPECT_TRUE( result.err.empty() ) << "no progress bar when stderr is not a terminal: " << result.err;
	for( const char* name : { "VavoRozar_0000.png", "VavoRozar_0001.png", "VavoRozar_0002.png" } )
	{
		const Image frame = plughost::ReadPng( dir + "/seq/" + name );
		EXPECT_EQ( frame.width, 64u );
		EXPECT_EQ( frame.height, 48u );
	}
	EXPECT_FALSE( std::filesystem::exists( dir + "/seq/VavoRozar_0003.png" ) );
}

TEST_F( ClockTool, BadValuesAreUsageErrors )
{
	const std::vector< std::pair< std::string, std::string > > cases = {
		{ "--set 'Display Type=Sundial'", "3 \"Digital 24h\"" },
		{ "--set 'Show Seconds=maybe'", "on, off, true, false, 1 or 0" },
		{ "--set Scale=big", "not a number" },
		{ "--set Colour=1", "\"Red Seconds Hand\" (boolean)" },
	};
	for( const auto& [ arguments, expected ] : cases )
	{
		const Result result = RunTool( "render " + Quote( ClockPath() ) + " --size 8x8 " + arguments, ScratchDir( "bad" ) );
		EXPECT_EQ( result.status, 2 ) << arguments;
		EXPECT_TRUE( Contains( result.err, expected ) ) << result.err;
	}
}
}// namespace

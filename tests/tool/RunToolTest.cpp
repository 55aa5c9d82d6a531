// The built tool run as a program, against the test plug-in and the clock.
#include "TestSupport.h"

#include <PlugHost.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sys/wait.h>

using namespace plughost;
using testsupport::Plugin;
using testsupport::ScratchDir;

namespace
{
struct Result
{
	int status = -1;
	std::string out, err;
};

std::string Quote( const std::string& text )
{
	std::string quoted = "'";
	for( char c : text )
		quoted += c == '\'' ? std::string( "'\\''" ) : std::string( 1, c );
	return quoted + "'";
}

Result RunTool( const std::string& arguments, const std::string& directory = "." )
{
	const std::string capture = ScratchDir( "capture" );
	const int raw = std::system( ( "cd " + Quote( directory ) + " && " + Quote( PLUGHOST_TOOL ) + " " + arguments + " >" +
								   Quote( capture + "/out" ) + " 2>" + Quote( capture + "/err" ) + " </dev/null" ).c_str() );
	auto slurp = [ & ]( const char* name ) { std::ifstream file( capture + name ); return std::string( std::istreambuf_iterator< char >( file ), {} ); };
	return { WIFEXITED( raw ) ? WEXITSTATUS( raw ) : -1, slurp( "/out" ), slurp( "/err" ) };
}

bool Contains( const std::string& text, const std::string& piece )
{
	return text.find( piece ) != std::string::npos;
}

const std::string kClock = Quote( Plugin( "VavoRozar" ) ), kProbe = Quote( Plugin( "Probe" ) );

// Loading errors are the host library's (LibraryTest); here the statuses.
TEST( ToolRun, ExitStatusAndMessages )
{
	const std::tuple< std::string, int, std::string > cases[] = {// a status of 0 means the message is on stdout
		{ "help render", 0, "--frames N" }, { "render", 2, "render needs a plug-in file" }, { "info /nonexistent/Plugin.so", 1, "no such file" },
		{ "render " + kProbe, 2, "needs at least 1 --input" }, { "render " + kProbe + " --input /nonexistent/in.png", 2, "no such file: /nonexistent/in.png" },
		{ "render " + kProbe + " --set Mode=Blur", 2, "2 \"Third\"" } };
	for( const auto& [ arguments, status, expected ] : cases )
	{
		const Result result = RunTool( arguments );
		EXPECT_TRUE( result.status == status && Contains( status == 0 ? result.out : result.err, expected ) ) << arguments << "\n" << result.out << result.err;
	}
}

// The whole table is checked through plugMain (ClockParametersTest); here its layout.
TEST( ToolRun, ClockInfoListsItsParameterTable )
{
	const Result result = RunTool( "info " + kClock );
	ASSERT_EQ( result.status, 0 ) << result.err;
	for( const std::regex& line : { std::regex( "\nID: +KP50\n" ), std::regex( "\nType: +source\n" ), std::regex( "\n +0 +Display Type +option +0 +0 \\.\\. 1 +yes +-\n" ),
								   std::regex( "\n +\\[1\\] Analog \\(Smooth\\) = 1\n" ), std::regex( "\n +10 +Timezone Offset +integer +0 +-12 \\.\\. 14 +yes +-\n" ) } )
		EXPECT_TRUE( std::regex_search( "\n" + result.out, line ) ) << result.out;
}

TEST( ToolRun, ClockManualFrameMatchesTheLibrary )
{
	const std::string dir = ScratchDir( "clock" );
	const Result result = RunTool( "render " + kClock + " --size 160x90 --set 'Manual Mode=on' --set Hours=0.3 --set Minutes=0.5"
								   " --set Seconds=0.25 --set 'Display Type=Analog' --set 'Solid Background=off' --out clock.png", dir );
	ASSERT_EQ( result.status, 0 ) << result.err;
	EXPECT_EQ( result.out, "wrote clock.png (160x90)\n" );
	const Image written = ReadPng( dir + "/clock.png" );

	testsupport::Context();
	PluginLibrary library( Plugin( "VavoRozar" ) );
	RenderTarget target( 160, 90 );
	Instance instance( library, 160, 90 );
	for( const auto& [ index, value ] : { std::pair{ 6u, 1.0f }, { 7u, 0.3f }, { 8u, 0.5f }, { 9u, 0.25f }, { 0u, 0.0f }, { 11u, 0.0f } } )
		ASSERT_EQ( instance.SetFloat( index, value ), FF_SUCCESS );
	instance.SetTime( 0.0 );
	EXPECT_EQ( written, RenderImage( instance, target ) );
	// Drawn pixels exist and the cleared background stays transparent.
	std::size_t transparent = 0;
	for( std::size_t i = 3; i < written.pixels.size(); i += 4 )
		transparent += written.pixels[ i ] == 0;
	EXPECT_TRUE( transparent > 0 && transparent < written.pixels.size() / 4 ) << transparent;
}

TEST( ToolRun, ClockSequenceOfThreeFramesWarnsOfAnOutOfRangeValue )
{
	const std::string dir = ScratchDir( "sequence" );
	const Result result = RunTool( "render " + kClock + " --size 64x48 --frames 3 --fps 24 --out-dir seq --set 'Manual Mode=1' --set Scale=1.5", dir );
	ASSERT_EQ( result.status, 0 ) << result.err;
	EXPECT_TRUE( Contains( result.out, "wrote 3 frames" ) ) << result.out;
	// Just the warning: no progress bar when stderr is not a terminal.
	EXPECT_EQ( result.err, "plughost: warning: \"Scale\" = 1.5 is outside its range 0 .. 1; sending it as given\n" );
	for( const char* number : { "0000", "0001", "0002" } )
		EXPECT_EQ( ReadPng( dir + "/seq/VavoRozar_" + number + ".png" ).height, 48u );
	EXPECT_FALSE( std::filesystem::exists( dir + "/seq/VavoRozar_0003.png" ) );
}
}// namespace

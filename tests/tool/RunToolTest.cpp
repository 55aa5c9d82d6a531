// The built tool run as a program, against the test plug-in and the clock.
#include "TestSupport.h"

#include <Cli.h>
#include <PlugHost.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
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
		{ "render " + kProbe + " --set Mode=Blur", 2, "2 \"Third\"" }, { "help bench", 0, "--warmup N" }, { "bench", 2, "bench needs a plug-in file" },
		{ "bench /nonexistent/Plugin.so", 1, "no such file" }, { "bench " + kProbe + " --input /nonexistent/in.png", 2, "no such file: /nonexistent/in.png" },
		{ "render " + kClock + " --size 8x8 --frames 2 --no-pacing --animate Hours=0:2", 0, "wrote 2 frames" },
		{ "render " + kClock + " --size 8x8 --time 12.5 --out t.png", 0, "wrote t.png" },
		{ "render " + kClock + " --size 8x8 --out /nonexistent/dir/clip.y4m", 1, "cannot write /nonexistent/dir/clip.y4m" } };
	for( const auto& [ arguments, status, expected ] : cases )
	{
		const Result result = RunTool( arguments );
		EXPECT_TRUE( result.status == status && Contains( status == 0 ? result.out : result.err, expected ) ) << arguments << "\n" << result.out << result.err;
	}
}

// A report that cannot be written is a failure, not a silent success.
TEST( ToolRun, UnwritableReportFails )
{
	std::ostream broken( nullptr );
	std::ostringstream err;
	EXPECT_EQ( cli::RunCli( { "info", Plugin( "VavoRozar" ) }, broken, err ), 1 );
	EXPECT_NE( err.str().find( "cannot write the report" ), std::string::npos ) << err.str();
}

// A plug-in that crashes the tool still leaves a line naming the request.
TEST( ToolRun, CrashNamesTheRequest )
{
	const Result result = RunTool( "render " + Quote( FRAGILE_PLUGIN ) + " --size 8x8 --set 'Fault=Abort on frame'" );
	EXPECT_TRUE( result.status != 0 && Contains( result.err, "the plug-in crashed (SIGABRT) during code 17 (process frame)" ) ) << result.err;
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
	const Result result = RunTool( "render " + kClock + " --size 64x48 --frames 3 --fps 24 --no-pacing --out-dir seq --set 'Manual Mode=1' --set Scale=1.5", dir );
	ASSERT_EQ( result.status, 0 ) << result.err;
	EXPECT_TRUE( Contains( result.out, "wrote 3 frames" ) ) << result.out;
	// Just the warning: no progress bar when stderr is not a terminal.
	EXPECT_EQ( result.err, "plughost: warning: \"Scale\" = 1.5 is outside its range 0 .. 1; sending it as given\n" );
	for( const char* number : { "0000", "0001", "0002" } )
		EXPECT_EQ( ReadPng( dir + "/seq/VavoRozar_" + number + ".png" ).height, 48u );
	EXPECT_FALSE( std::filesystem::exists( dir + "/seq/VavoRozar_0003.png" ) );
}

// Every number after `"key": ` in order of appearance.
std::vector< double > JsonNumbers( const std::string& json, const std::string& key )
{
	std::vector< double > numbers;
	const std::string marker = "\"" + key + "\": ";
	for( std::size_t at = json.find( marker ); at != std::string::npos; at = json.find( marker, at + 1 ) )
		numbers.push_back( std::strtod( json.c_str() + at + marker.size(), nullptr ) );
	return numbers;
}

TEST( ToolRun, BenchReportsEverySizeAndGivesEffectsATestPattern )
{
	const Result clock = RunTool( "bench " + kClock + " --size 48x32 --size 24x16 --frames 6 --warmup 1 --json --set 'Display Type=Digital 24h'" );
	ASSERT_EQ( clock.status, 0 ) << clock.err;
	EXPECT_EQ( clock.out.front(), '{' );
	EXPECT_EQ( clock.out.substr( clock.out.size() - 2 ), "}\n" );
	EXPECT_EQ( JsonNumbers( clock.out, "width" ), ( std::vector< double >{ 48, 24 } ) );
	EXPECT_EQ( JsonNumbers( clock.out, "frames" ), std::vector< double >{ 6 } );
	EXPECT_TRUE( Contains( clock.out, "\"settings\": [\"Display Type=Digital 24h\"]" ) ) << clock.out;
	const auto medians = JsonNumbers( clock.out, "median" ), p10 = JsonNumbers( clock.out, "p10" ), p90 = JsonNumbers( clock.out, "p90" );
	ASSERT_EQ( medians.size(), 10u );// instantiate, wall, cpu, trivial wall, trivial cpu per size
	for( std::size_t i = 0; i < medians.size(); ++i )
		EXPECT_TRUE( p10[ i ] <= medians[ i ] && medians[ i ] <= p90[ i ] && p10[ i ] >= 0.0 ) << i << clock.out;
	const auto ratios = JsonNumbers( clock.out, "ratio_to_trivial" );
	ASSERT_EQ( ratios.size(), 2u );
	EXPECT_NEAR( ratios[ 0 ], medians[ 1 ] / medians[ 3 ], 0.02 * ratios[ 0 ] + 0.01 );// the medians are rounded to 0.1 us

	const Result probe = RunTool( "bench " + kProbe + " --size 16x16 --frames 3 --warmup 0" );
	ASSERT_EQ( probe.status, 0 ) << probe.err;
	for( const char* piece :  { "(effect, ", "1 generated test pattern(s)", "16x16 ", "ratio" } )
		EXPECT_TRUE( Contains( probe.out, piece ) ) << piece << "\n" << probe.out;
}

TEST( ToolRun, InputIsReadAndTheDefaultNameComesFromThePlugin )
{
	const std::string dir = ScratchDir( "probe" );
	WritePng( dir + "/in.png", GradientImage( 4, 4 ) );
	const Result result = RunTool( "render " + kProbe + " --size 8x6 --input in.png", dir );
	ASSERT_EQ( result.status, 0 ) << result.err;
	EXPECT_EQ( result.out, "wrote Probe.png (8x6)\n" );
	EXPECT_EQ( ReadPng( dir + "/Probe.png" ), Image( 8, 6 ) );// it draws nothing on the cleared target
}

const std::string kBlank = " --set 'Manual Mode=on' --set 'Solid Background=off' --set Scale=0";// draws nothing

// Takes a YUV4MPEG2 stream apart: the header and each frame's planes.
struct Stream
{
	std::string header;
	std::vector< std::string > frames;
};

Stream ParseY4m( const std::string& bytes, std::size_t frameBytes )
{
	Stream stream;
	const std::size_t end = bytes.find( '\n' );
	if( end == std::string::npos )
		return stream;
	stream.header = bytes.substr( 0, end + 1 );
	for( std::size_t at = end + 1; at < bytes.size(); at += 6 + frameBytes )
	{
		if( bytes.compare( at, 6, "FRAME\n" ) != 0 || at + 6 + frameBytes > bytes.size() )
			return { "malformed at byte " + std::to_string( at ), {} };
		stream.frames.push_back( bytes.substr( at + 6, frameBytes ) );
	}
	return stream;
}

TEST( ToolRun, VideoOnStandardOutputIsTheStreamAlone )
{
	const std::tuple< std::string, std::string, std::size_t, int, int, int > cases[] = {
		// options, header, frame bytes, Y', Cb, Cr of every pixel
		{ " --background '#FF0000'", "YUV4MPEG2 W6 H4 F30:1 Ip A1:1 C420jpeg XCOLORRANGE=LIMITED\n", 24 + 2 * 6, 63, 102, 240 },
		{ " --chroma 444 --range full --fps 12.5", "YUV4MPEG2 W6 H4 F25:2 Ip A1:1 C444 XCOLORRANGE=FULL\n", 3 * 24, 0, 128, 128 },
	};
	for( const auto& [ options, header, frameBytes, y, cb, cr ] : cases )
	{
		const Result result = RunTool( "render " + kClock + " --size 6x4 --frames 3 --no-pacing --out -" + kBlank + options );
		ASSERT_EQ( result.status, 0 ) << result.err;
		EXPECT_EQ( result.err, "wrote 3 frames of video to standard output (6x4)\n" );
		const Stream stream = ParseY4m( result.out, frameBytes );
		EXPECT_EQ( stream.header, header );
		ASSERT_EQ( stream.frames.size(), 3u ) << stream.header;
		for( std::size_t i = 0; i < frameBytes; ++i )
			ASSERT_EQ( int( static_cast< uint8_t >( stream.frames[ 2 ][ i ] ) ), i < 24 ? y : i < 24 + ( frameBytes - 24 ) / 2 ? cb : cr ) << i;
	}
	const std::string dir = ScratchDir( "no-video" );// a failed run leaves no empty file
	EXPECT_EQ( RunTool( "render /nonexistent/Plugin.so --out clip.y4m", dir ).status, 1 );
	EXPECT_FALSE( std::filesystem::exists( dir + "/clip.y4m" ) );
}

TEST( ToolRun, FfmpegDecodesTheStream )
{
	if( std::system( "command -v ffmpeg >/dev/null 2>&1" ) != 0 )
		GTEST_SKIP() << "ffmpeg is not installed; the stream's layout is checked without it";
	const std::string dir = ScratchDir( "ffmpeg" );
	for( const std::string range : { "limited", "full" } )
	{
		// The stream cannot name its matrix: ffmpeg is told, as the guide says.
		const std::string command = Quote( PLUGHOST_TOOL ) + " render " + kClock + " --size 32x18 --frames 12 --fps 24 --no-pacing --out -" +
									kBlank + " --background '#2080FF' --range " + range + " 2>/dev/null | ffmpeg -nostdin -v error -i - " +
									"-vf scale=in_color_matrix=bt709 -f rawvideo -pix_fmt rgb24 -y " + Quote( dir + "/out.rgb" );
		ASSERT_EQ( std::system( command.c_str() ), 0 ) << command;
		std::ifstream file( dir + "/out.rgb", std::ios::binary );
		const std::string rgb( ( std::istreambuf_iterator< char >( file ) ), {} );
		EXPECT_EQ( rgb.size(), 12u * 32 * 18 * 3 ) << "frame count";
		ASSERT_GE( rgb.size(), 3u );
		const int expected[] = { 0x20, 0x80, 0xFF };
		for( int c = 0; c < 3; ++c )
			EXPECT_NEAR( static_cast< uint8_t >( rgb[ rgb.size() / 2 / 3 * 3 + c ] ), expected[ c ], 3 ) << range << " " << c;
	}
}

TEST( ToolRun, AnimatedSequenceMatchesTheLibraryAndPacingTakesRealTime )
{
	const std::string dir = ScratchDir( "animate" );
	const auto start = std::chrono::steady_clock::now();
	const Result result = RunTool( "render " + kClock + " --size 40x30 --frames 3 --fps 20 --out-dir seq --set 'Manual Mode=on'"
								   " --animate 'Display Type=Analog:Digital 12h' --animate Seconds=0:0.5 --animate Hours=0.2:0.2", dir );
	ASSERT_EQ( result.status, 0 ) << result.err;
	EXPECT_GE( std::chrono::duration< double >( std::chrono::steady_clock::now() - start ).count(), 0.1 ) << "frame 2 is due at 2/20 s";

	testsupport::Context();
	PluginLibrary library( Plugin( "VavoRozar" ) );
	RenderTarget target( 40, 30 );
	Instance instance( library, 40, 30 );
	// The middle frame: halfway from Analog to Digital 12h is Analog (Smooth), Seconds 0.25.
	for( const auto& [ index, value ] : { std::pair{ 6u, 1.0f }, { 0u, 1.0f }, { 9u, 0.25f }, { 7u, 0.2f } } )
		ASSERT_EQ( instance.SetFloat( index, value ), FF_SUCCESS );
	EXPECT_EQ( ReadPng( dir + "/seq/VavoRozar_0001.png" ), RenderImage( instance, target ) );
	EXPECT_NE( ReadPng( dir + "/seq/VavoRozar_0000.png" ), ReadPng( dir + "/seq/VavoRozar_0001.png" ) );
}

TEST( ToolRun, BackgroundShowsThroughTransparentPixels )
{
	const std::string dir = ScratchDir( "background" );
	const std::pair< std::string, std::vector< uint8_t > > cases[] = {// first two pixels of the top row, RGBA
		{ "checker", { kCheckerLight, kCheckerLight, kCheckerLight, 255, kCheckerLight, kCheckerLight, kCheckerLight, 255 } },
		{ "'#102030'", { 0x10, 0x20, 0x30, 255, 0x10, 0x20, 0x30, 255 } },
	};
	for( const auto& [ background, pixels ] : cases )
	{
		const Result result = RunTool( "render " + kClock + " --size 20x20 --out f.png" + kBlank + " --background " + background, dir );
		ASSERT_EQ( result.status, 0 ) << result.err;
		const Image image = ReadPng( dir + "/f.png" );
		EXPECT_EQ( std::vector< uint8_t >( image.pixels.begin(), image.pixels.begin() + 8 ), pixels ) << background;
		EXPECT_EQ( image.At( kCheckerCell, 0 )[ 0 ], background == "checker" ? kCheckerDark : 0x10 );
	}
}
}// namespace

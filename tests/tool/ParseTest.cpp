#include <Cli.h>
#include <bench/BenchOptions.h>
#include <bench/Statistics.h>
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
		else if( !args.empty() && args[ 0 ] == "bench" )
			ParseBenchArgs( Args( args.begin() + 1, args.end() ) );
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
		{ { "render", "a.so", "--frames", "2", "--out", "x.png" }, "use --out-dir" }, { { "render", "a.so", "--input=" }, "--input needs" },
		{ { "render", "a.so", "--frames", "2", "--out", "clip.mp4" }, "--out CLIP.y4m for video" }, { { "render", "a.so", "--no-pacing" }, "only applies to a sequence" },
		{ { "render", "a.so", "--animate", "Hours=0:1" }, "--animate moves a parameter across a sequence" }, { { "render", "a.so", "--chroma", "444" }, "--chroma applies to video" },
		{ { "render", "a.so", "--out", "-", "--chroma", "422" }, "--chroma expects 420 or 444" }, { { "render", "a.so", "--out", "a.y4m", "--range", "tv" }, "limited or full" },
		{ { "render", "a.so", "--out", "a.y4m", "--out-dir", "d" }, "give the video's path in --out" }, { { "render", "a.so", "--frames", "2", "--fps", "5000" }, "from 0.001 to 1000" },
		{ { "render", "a.so", "--frames", "2", "--fps", "1e-9" }, "from 0.001 to 1000" }, { { "render", "a.so", "--out", "a.jpg" }, "not \".jpg\"" },
		{ { "render", "a.so", "--background", "grey" }, "checker, black, white or #RRGGBB" }, { { "render", "a.so", "--background", "#12345g" }, "#RRGGBB" },
		{ { "bench" }, "bench needs a plug-in file" }, { { "bench", "a.so", "--frames", "0" }, "--frames expects a whole number from 1" },
		{ { "bench", "a.so", "--warmup", "-1" }, "--warmup expects" }, { { "bench", "a.so", "--fps", "30" }, "unknown option --fps" } };
	for( const auto& [ args, expected ] : cases )
		EXPECT_NE( UsageMessage( args ).find( expected ), std::string::npos ) << ::testing::PrintToString( args ) << UsageMessage( args );
	const std::tuple< std::string, std::string, Args > numbers[] = {
		{ "--size", "WIDTHxHEIGHT", { "0x10", "-5x10", "20000x10", "16385x1", "10x10x10", " 5x5" } },
		{ "--frames", "--frames expects", { "0", "three", "99999999999" } }, { "--fps", "--fps expects", { "0", "nan", "30fps" } },
		{ "--time", "--time expects", { "-1", "nan", "inf", "2s", "" } } };
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

TEST( Parse, VideoAndBenchOptions )
{
	const RenderOptions video = ParseRenderArgs( { "c.so", "--frames", "90", "--out", "-", "--no-pacing", "--chroma", "444", "--range", "full",
												   "--animate", "Seconds=0:0.05", "--background", "#FF8000" } );
	EXPECT_TRUE( video.Video() && video.VideoToStdout() && !video.pacing && video.chroma == plughost::ChromaFormat::Yuv444 &&
				 video.range == plughost::VideoRange::Full && video.animations == Args{ "Seconds=0:0.05" } );
	ASSERT_TRUE( video.background );
	EXPECT_EQ( std::tuple( video.background->colour.r, video.background->colour.g, video.background->colour.b ), std::tuple( 255, 128, 0 ) );
	const RenderOptions defaults = ParseRenderArgs( { "c.so", "--frames", "2" } );
	EXPECT_TRUE( defaults.pacing && !defaults.background && !defaults.Video() && defaults.range == plughost::VideoRange::Limited );
	EXPECT_TRUE( ParseRenderArgs( { "c.so", "--out", "Clip.Y4M", "--fps", "25" } ).Video() ) << "one frame of video, any case";
	EXPECT_EQ( ParseBackground( "Checker" ).kind, plughost::Background::Kind::Checker );

	using Sizes = std::vector< std::pair< uint32_t, uint32_t > >;
	const BenchOptions bench = ParseBenchArgs( { "fx.so" } );
	EXPECT_EQ( std::tuple( bench.frames, bench.warmup, bench.json, bench.sizes ), std::tuple( 100u, 10u, false, Sizes{ { 1280, 720 }, { 1920, 1080 } } ) );
	const BenchOptions options = ParseBenchArgs( { "--size", "64x32", "fx.so", "--size=8x8", "--set", "Amount=1", "--input", "a.png", "--frames", "7", "--warmup", "0", "--json" } );
	EXPECT_EQ( std::tuple( options.frames, options.warmup, options.json, options.sizes, options.inputs, options.settings.size() ),
			   std::tuple( 7u, 0u, true, Sizes{ { 64, 32 }, { 8, 8 } }, Args{ "a.png" }, std::size_t( 1 ) ) );
}

TEST( Parse, Quantiles )
{
	for( const auto& [ q, expected ] : { std::pair{ 0.0, 1.0 }, { 0.5, 3.0 }, { 0.1, 1.4 }, { 0.9, 4.6 }, { 1.0, 5.0 }, { 2.0, 5.0 } } )
		EXPECT_DOUBLE_EQ( Quantile( { 5, 1, 4, 2, 3 }, q ), expected ) << q;
	EXPECT_TRUE( Quantile( {}, 0.5 ) == 0.0 && Quantile( { 7 }, 0.9 ) == 7.0 );
	const Spread spread = SpreadOf( { 10, 20 } );
	EXPECT_TRUE( spread.median == 15 && spread.p10 == 11 && spread.p90 == 19 );
}
}// namespace

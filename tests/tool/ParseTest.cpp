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
		{ { "render", "a.so", "--frames", "2", "--out", "clip.mp4" }, "--out CLIP.y4m for video" },
		{ { "render", "a.so", "--no-pacing" }, "--no-pacing only applies to a sequence" },
		{ { "render", "a.so", "--animate", "Hours=0:1" }, "--animate moves a parameter across a sequence" },
		{ { "render", "a.so", "--chroma", "444" }, "--chroma applies to video" },
		{ { "render", "a.so", "--out", "-", "--chroma", "422" }, "--chroma expects 420 or 444" },
		{ { "render", "a.so", "--out", "a.y4m", "--range", "tv" }, "--range expects limited or full" },
		{ { "render", "a.so", "--out", "a.y4m", "--out-dir", "d" }, "give the video's path in --out" },
		{ { "render", "a.so", "--frames", "2", "--fps", "5000" }, "at most 1000" },
		{ { "render", "a.so", "--background", "grey" }, "checker, black, white or #RRGGBB" },
		{ { "render", "a.so", "--background", "#12345" }, "#RRGGBB" },
		{ { "render", "a.so", "--background", "#12345g" }, "#RRGGBB" },
		{ { "bench" }, "bench needs a plug-in file" },
		{ { "bench", "a.so", "--frames", "0" }, "--frames expects a whole number from 1" },
		{ { "bench", "a.so", "--warmup", "-1" }, "--warmup expects" },
		{ { "bench", "a.so", "--size", "10" }, "WIDTHxHEIGHT" },
		{ { "bench", "a.so", "--fps", "30" }, "unknown option --fps" },
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
	EXPECT_TRUE( options.pacing && !options.background && !options.Video() );

	const RenderOptions video = ParseRenderArgs( { "c.so", "--frames", "90", "--out", "-", "--no-pacing", "--chroma", "444", "--range", "full",
												   "--animate", "Seconds=0:0.05", "--background", "#FF8000" } );
	EXPECT_TRUE( video.Video() && video.VideoToStdout() && !video.pacing && video.chroma == plughost::ChromaFormat::Yuv444 &&
				 video.range == plughost::VideoRange::Full && video.animations == Args{ "Seconds=0:0.05" } );
	ASSERT_TRUE( video.background );
	EXPECT_TRUE( video.background->colour.r == 255 && video.background->colour.g == 128 && video.background->colour.b == 0 );
	EXPECT_TRUE( ParseRenderArgs( { "c.so", "--out", "Clip.Y4M", "--fps", "25" } ).Video() ) << "one frame of video, any case";
	EXPECT_EQ( ParseBackground( "Checker" ).kind, plughost::Background::Kind::Checker );
}

TEST( Parse, BenchDefaultsAndOptions )
{
	const BenchOptions defaults = ParseBenchArgs( { "fx.so" } );
	EXPECT_TRUE( defaults.frames == 100 && defaults.warmup == 10 && !defaults.json && defaults.inputs.empty() );
	EXPECT_EQ( defaults.sizes, ( std::vector< std::pair< uint32_t, uint32_t > >{ { 1280, 720 }, { 1920, 1080 } } ) );
	const BenchOptions options = ParseBenchArgs( { "--size", "64x32", "fx.so", "--size=8x8", "--set", "Amount=1", "--input", "a.png",
												  "--frames", "7", "--warmup", "0", "--json" } );
	EXPECT_EQ( options.sizes, ( std::vector< std::pair< uint32_t, uint32_t > >{ { 64, 32 }, { 8, 8 } } ) );
	EXPECT_TRUE( options.frames == 7 && options.warmup == 0 && options.json && options.inputs == Args{ "a.png" } &&
				 options.settings.size() == 1 );
}

TEST( Parse, Quantiles )
{
	const std::vector< double > values = { 5, 1, 4, 2, 3 };// 1..5 unsorted
	const std::pair< double, double > cases[] = { { 0.0, 1 }, { 0.5, 3 }, { 0.1, 1.4 }, { 0.9, 4.6 }, { 1.0, 5 }, { 2.0, 5 } };
	for( const auto& [ q, expected ] : cases )
		EXPECT_DOUBLE_EQ( Quantile( values, q ), expected ) << q;
	EXPECT_EQ( Quantile( {}, 0.5 ), 0.0 );
	EXPECT_EQ( Quantile( { 7 }, 0.9 ), 7.0 );
	const Spread spread = SpreadOf( { 10, 20 } );
	EXPECT_TRUE( spread.median == 15 && spread.p10 == 11 && spread.p90 == 19 );
}
}// namespace

// Bridged frames against the host library's own renders, byte for byte, and
// what the module tells a host about the clock.
#include "Frei0rModule.h"
#include "Reference.h"

#include <Image.h>

#include <gtest/gtest.h>

#include <cmath>
#include <dlfcn.h>

using namespace frei0rtest;

namespace
{
constexpr unsigned kWidth  = 64;
constexpr unsigned kHeight = 48;

// Clock parameters by frei0r index, which is the FFGL index.
enum Clock
{
	DisplayType,
	ShowSeconds,
	Scale,
	Red,
	Green,
	Blue,
	ManualMode,
	Hours,
	Minutes,
	Seconds,
	TimezoneOffset,
	SolidBackground,
	RedSecondsHand,
};

std::vector< uint32_t > Picture( const plughost::Image& image )
{
	return Words( image.pixels );
}

class ClockModule : public ::testing::Test
{
protected:
	static void SetUpTestSuite() { path = MakeModule( PluginPath( "VavoRozar" ), "vavo_rozar.so" ); }
	void SetUp() override
	{
		module = std::make_unique< Frei0rModule >( path );
		ASSERT_TRUE( module->Loaded() );
		ASSERT_EQ( module->init(), 1 );
	}
	void TearDown() override
	{
		module->deinit();
		module.reset();
	}
	static inline std::string path;
	std::unique_ptr< Frei0rModule > module;
};
}// namespace

TEST_F( ClockModule, DescribesTheClockAsASourceWithItsThirteenParametersInOrder )
{
	f0r_plugin_info_t info{};
	module->getPluginInfo( &info );
	EXPECT_STREQ( info.name, "Vavo Rozar" );
	EXPECT_EQ( info.plugin_type, F0R_PLUGIN_TYPE_SOURCE );
	EXPECT_EQ( info.color_model, F0R_COLOR_MODEL_RGBA8888 );
	EXPECT_EQ( info.frei0r_version, 1 );
	ASSERT_EQ( info.num_params, 13 );

	const std::vector< std::pair< std::string, int > > expected = {
		{ "Display Type", F0R_PARAM_DOUBLE }, { "Show Seconds", F0R_PARAM_BOOL }, { "Scale", F0R_PARAM_DOUBLE },
		{ "Red", F0R_PARAM_DOUBLE },          { "Green", F0R_PARAM_DOUBLE },      { "Blue", F0R_PARAM_DOUBLE },
		{ "Manual Mode", F0R_PARAM_BOOL },    { "Hours", F0R_PARAM_DOUBLE },      { "Minutes", F0R_PARAM_DOUBLE },
		{ "Seconds", F0R_PARAM_DOUBLE },      { "Timezone Offset", F0R_PARAM_DOUBLE },
		{ "Solid Background", F0R_PARAM_BOOL }, { "Red Seconds Hand", F0R_PARAM_BOOL },
	};
	for( int i = 0; i < info.num_params; ++i )
	{
		f0r_param_info_t param{};
		module->getParamInfo( &param, i );
		ASSERT_NE( param.name, nullptr );
		EXPECT_EQ( param.name, expected[ i ].first );
		EXPECT_EQ( param.type, expected[ i ].second ) << param.name;
		ASSERT_NE( param.explanation, nullptr );
	}
	f0r_param_info_t display{};
	module->getParamInfo( &display, DisplayType );
	EXPECT_STREQ( display.explanation, "Display Type: 0 Analog, 0.333333 Analog (Smooth), 0.666667 Digital 12h, 1 Digital 24h" );
	f0r_param_info_t offset{};
	module->getParamInfo( &offset, TimezoneOffset );
	EXPECT_STREQ( offset.explanation, "Timezone Offset (0..1 is -12 to 14)" );

	// Out of range: the record is left alone.
	f0r_param_info_t untouched{ "x", 99, "y" };
	module->getParamInfo( &untouched, 13 );
	module->getParamInfo( &untouched, -1 );
	EXPECT_STREQ( untouched.name, "x" );
	EXPECT_EQ( untouched.type, 99 );
}

TEST_F( ClockModule, DigitalFrameEqualsTheHostLibrarysRenderByteForByte )
{
	f0r_instance_t instance = module->construct( kWidth, kHeight );
	ASSERT_NE( instance, nullptr );
	module->SetDouble( instance, ManualMode, 1.0 );
	module->SetDouble( instance, DisplayType, 1.0 );// Digital 24h
	module->SetDouble( instance, Hours, 0.92222 );
	module->SetDouble( instance, Minutes, 0.13333 );
	module->SetDouble( instance, Seconds, 0.6 );
	module->SetDouble( instance, TimezoneOffset, 0.5 );
	std::vector< uint32_t > frame( kWidth * kHeight, 0xdeadbeef );
	module->update( instance, 12.5, nullptr, frame.data() );

	ReferenceFrame reference{ PluginPath( "VavoRozar" ), kWidth, kHeight,
							  { { ManualMode, 1.0f }, { DisplayType, 3.0f }, { Hours, 0.92222f }, { Minutes, 0.13333f },
								{ Seconds, 0.6f }, { TimezoneOffset, 1.0f } } };
	EXPECT_EQ( Bytes( frame ), RenderReference( reference ).pixels );

	// What a host reads back is what the plug-in holds, in frei0r's terms.
	EXPECT_DOUBLE_EQ( module->GetDouble( instance, DisplayType ), 1.0 );
	EXPECT_DOUBLE_EQ( module->GetDouble( instance, ManualMode ), 1.0 );
	EXPECT_DOUBLE_EQ( module->GetDouble( instance, TimezoneOffset ), 0.5 );
	EXPECT_NEAR( module->GetDouble( instance, Hours ), 0.92222, 1e-6 );
	EXPECT_DOUBLE_EQ( module->GetDouble( instance, RedSecondsHand ), 0.0 );
	module->destruct( instance );
}

TEST_F( ClockModule, AnalogFacesAreUprightAndParametersSetBeforeTheFirstFrameArrive )
{
	f0r_instance_t instance = module->construct( 96, 96 );
	ASSERT_NE( instance, nullptr );
	// Readable before any frame: the defaults, mapped.
	EXPECT_DOUBLE_EQ( module->GetDouble( instance, DisplayType ), 0.0 );
	EXPECT_NEAR( module->GetDouble( instance, TimezoneOffset ), 12.0 / 26.0, 1e-9 );
	module->SetDouble( instance, ManualMode, 0.7 );   // >= 0.5 is on
	module->SetDouble( instance, DisplayType, 0.4 );  // nearest of 0, 1/3, 2/3, 1: Analog (Smooth)
	module->SetDouble( instance, Hours, 0.84444 );
	module->SetDouble( instance, Minutes, 0.13333 );
	module->SetDouble( instance, Seconds, 0.6 );
	module->SetDouble( instance, RedSecondsHand, 1.0 );
	EXPECT_NEAR( module->GetDouble( instance, DisplayType ), 1.0 / 3.0, 1e-9 );
	std::vector< uint32_t > frame( 96 * 96 );
	module->update( instance, 0.0, nullptr, frame.data() );
	ReferenceFrame reference{ PluginPath( "VavoRozar" ), 96, 96,
							  { { ManualMode, 1.0f }, { DisplayType, 1.0f }, { Hours, 0.84444f }, { Minutes, 0.13333f },
								{ Seconds, 0.6f }, { RedSecondsHand, 1.0f } } };
	EXPECT_EQ( Bytes( frame ), RenderReference( reference ).pixels );
	module->destruct( instance );
}

// Large frames are read back by two threads, each into its part of the host's
// picture; an odd height leaves them unequal parts.
TEST_F( ClockModule, LargeFramesReadBackInTwoPartsEqualTheHostLibrarysRender )
{
	constexpr unsigned w = 801, h = 601;
	f0r_instance_t instance = module->construct( w, h );
	ASSERT_NE( instance, nullptr );
	module->SetDouble( instance, ManualMode, 1.0 );
	module->SetDouble( instance, Hours, 0.3 );
	module->SetDouble( instance, Minutes, 0.7 );
	module->SetDouble( instance, Seconds, 0.1 );
	std::vector< uint32_t > frame( w * h, 0xdeadbeef );
	for( int i = 0; i < 2; ++i )
		module->update( instance, i, nullptr, frame.data() );
	ReferenceFrame reference{ PluginPath( "VavoRozar" ), w, h,
							  { { ManualMode, 1.0f }, { Hours, 0.3f }, { Minutes, 0.7f }, { Seconds, 0.1f } } };
	EXPECT_TRUE( Bytes( frame ) == RenderReference( reference ).pixels );
	module->destruct( instance );
}

TEST( EffectModule, ToneGradeGradesAKnownPictureAsTheHostLibraryDoes )
{
	Frei0rModule module( MakeModule( PluginPath( "ToneGrade" ), "tonegrade.so" ) );
	ASSERT_EQ( module.init(), 1 );
	f0r_plugin_info_t info{};
	module.getPluginInfo( &info );
	EXPECT_EQ( info.plugin_type, F0R_PLUGIN_TYPE_FILTER );
	f0r_instance_t instance = module.construct( kWidth, kHeight );
	ASSERT_NE( instance, nullptr );
	module.SetDouble( instance, 0, 0.6 );// gain 1.2 of 0..2
	module.SetDouble( instance, 1, 0.4 );// contrast 0.8
	const plughost::Image input = plughost::GradientImage( kWidth, kHeight );
	std::vector< uint32_t > frame( kWidth * kHeight );
	module.update( instance, 0.0, Picture( input ).data(), frame.data() );
	ReferenceFrame reference{ PluginPath( "ToneGrade" ), kWidth, kHeight, { { 0, 1.2f }, { 1, 0.8f } }, { input } };
	EXPECT_EQ( Bytes( frame ), RenderReference( reference ).pixels );

	// Inverted, through f0r_update2, the call GStreamer prefers.
	module.SetDouble( instance, 2, 1.0 );
	module.update2( instance, 0.04, Picture( input ).data(), nullptr, nullptr, frame.data() );
	reference.values.push_back( { 2, 1.0f } );
	EXPECT_EQ( Bytes( frame ), RenderReference( reference ).pixels );
	module.destruct( instance );
	module.deinit();
}

TEST( MixerModule, CrossFadeMixesTwoKnownPicturesAsTheHostLibraryDoes )
{
	Frei0rModule module( MakeModule( PluginPath( "CrossFade" ), "crossfade.so" ) );
	ASSERT_EQ( module.init(), 1 );
	f0r_plugin_info_t info{};
	module.getPluginInfo( &info );
	EXPECT_EQ( info.plugin_type, F0R_PLUGIN_TYPE_MIXER2 );
	f0r_instance_t instance = module.construct( kWidth, kHeight );
	ASSERT_NE( instance, nullptr );
	module.SetDouble( instance, 0, 0.25 );
	const plughost::Image first  = plughost::CheckerImage( kWidth, kHeight, 8, { 255, 0, 0, 255 }, { 0, 0, 255, 128 } );
	const plughost::Image second = plughost::GradientImage( kWidth, kHeight );
	std::vector< uint32_t > frame( kWidth * kHeight );
	module.update2( instance, 0.0, Picture( first ).data(), Picture( second ).data(), nullptr, frame.data() );
	ReferenceFrame reference{ PluginPath( "CrossFade" ), kWidth, kHeight, { { 0, 0.25f } }, { first, second } };
	EXPECT_EQ( Bytes( frame ), RenderReference( reference ).pixels );
	module.destruct( instance );
	module.deinit();
}

TEST( HostTime, MillisecondsFromLibavfilterAndSecondsFromOthersReachThePluginAsSeconds )
{
	Frei0rModule module( MakeModule( TIME_PROBE_PLUGIN, "time_probe.so" ) );
	ASSERT_EQ( module.init(), 1 );
	void* fake = dlopen( FAKE_AVFILTER, RTLD_NOW | RTLD_LOCAL );
	ASSERT_NE( fake, nullptr ) << dlerror();
	using Construct  = f0r_instance_t ( * )( f0r_instance_t ( * )( unsigned, unsigned ), unsigned, unsigned );
	auto viaFfmpeg   = reinterpret_cast< Construct >( dlsym( fake, "FakeAvfilterConstruct" ) );
	ASSERT_NE( viaFfmpeg, nullptr );

	auto red = [ &module ]( f0r_instance_t instance, double time ) {
		std::vector< uint32_t > frame( 16 * 16 );
		module.update( instance, time, nullptr, frame.data() );
		return reinterpret_cast< const uint8_t* >( frame.data() )[ 0 ];
	};
	f0r_instance_t direct = module.construct( 16, 16 );
	f0r_instance_t ffmpeg = viaFfmpeg( module.construct, 16, 16 );
	ASSERT_NE( direct, nullptr );
	ASSERT_NE( ffmpeg, nullptr );
	EXPECT_EQ( red( direct, 2.0 ), 51 );     // 2 s of 10
	EXPECT_EQ( red( ffmpeg, 2000.0 ), 51 );  // 2000 ms
	EXPECT_EQ( red( ffmpeg, 4000.0 ), 102 ); // 4 s
	// Times no clock can show become 0, or stop at the latest.
	EXPECT_EQ( red( direct, std::nan( "" ) ), 0 );
	EXPECT_EQ( red( direct, -3.0 ), 0 );
	EXPECT_EQ( red( direct, -INFINITY ), 0 );
	EXPECT_EQ( red( direct, INFINITY ), 255 );
	module.destruct( direct );
	module.destruct( ffmpeg );
	dlclose( fake );
	module.deinit();
}

TEST( Frames, PixelsAPlugInLeavesUntouchedAreTransparentNotTheLastFrame )
{
	Frei0rModule module( MakeModule( BAND_PROBE_PLUGIN, "band_probe.so" ) );
	ASSERT_EQ( module.init(), 1 );
	f0r_instance_t instance = module.construct( 16, 4 );
	ASSERT_NE( instance, nullptr );
	std::vector< uint32_t > frame( 16 * 4 );
	// Each frame paints one column, 4 pixels wide, at 4 * seconds.
	for( double seconds : { 0.0, 2.0, 1.0 } )
	{
		module.update( instance, seconds, nullptr, frame.data() );
		for( unsigned y = 0; y < 4; ++y )
			for( unsigned x = 0; x < 16; ++x )
				EXPECT_EQ( frame[ y * 16 + x ], x / 4 == static_cast< unsigned >( seconds ) ? 0xFFFFFFFFu : 0u )
					<< "at " << x << "," << y << " after " << seconds << " s";
	}
	module.destruct( instance );
	module.deinit();
}

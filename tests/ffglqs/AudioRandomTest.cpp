// Spectrum analysis, smoothing, random numbers and the snippet table.
#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include <set>
#include <vector>
#include <ffglqs/FFGLAudio.h>
#include <ffglqs/FFGLRandom.h>
#include <ffglqs/FFGLShaderSnippets.h>

using namespace ffglqs;

TEST( SmoothValue, StepResponseAndExtremes )
{
	SmoothValue smooth;
	EXPECT_EQ( smooth.GetValue(), 0.0f );
	double expected = 0.0;
	for( int n = 1; n <= 5; ++n )
	{
		smooth.Update( 1.0f );
		expected = 1.0 - std::pow( 0.8, n );
		EXPECT_NEAR( smooth.GetValue(), expected, 1e-6 );
	}

	SmoothValue follow;
	follow.SetSmoothness( 0.0f );
	follow.Update( 3.5f );
	EXPECT_EQ( follow.GetValue(), 3.5f );
	follow.Update( -1.0f );
	EXPECT_EQ( follow.GetValue(), -1.0f );

	SmoothValue frozen;
	frozen.SetSmoothness( 1.0f );
	frozen.Update( 100.0f );
	EXPECT_EQ( frozen.GetValue(), 0.0f );
}

TEST( Audio, StartsSilentAndAtZero )
{
	Audio audio;
	EXPECT_EQ( audio.GetGain(), 0.0f );
	EXPECT_EQ( audio.GetMaxFreq(), 0.0f );
	EXPECT_EQ( audio.GetFreqStep(), 0.0f );
	EXPECT_EQ( audio.GetSampleRate(), 0 );
	audio.Update( std::vector< float >( 30, 1.0f ) );
	EXPECT_EQ( audio.GetVolume(), 0.0f );
	EXPECT_EQ( audio.GetBass(), 0.0f );
	EXPECT_EQ( audio.GetMed(), 0.0f );
	EXPECT_EQ( audio.GetHigh(), 0.0f );
}

TEST( Audio, GainInDecibels )
{
	Audio audio;
	audio.SetGain( 0.0f );
	EXPECT_FLOAT_EQ( audio.GetGain(), 1.0f );
	audio.SetGain( 20.0f );
	EXPECT_FLOAT_EQ( audio.GetGain(), 10.0f );
	audio.SetGain( -20.0f );
	EXPECT_FLOAT_EQ( audio.GetGain(), 0.1f );
}

TEST( Audio, AllOnesGiveOneFifthAfterOneUpdate )
{
	Audio audio;
	audio.SetGain( 0.0f );
	audio.Update( std::vector< float >( 2048, 1.0f ) );
	EXPECT_FLOAT_EQ( audio.GetVolume(), 0.2f );
	EXPECT_FLOAT_EQ( audio.GetBass(), 0.2f );
	EXPECT_FLOAT_EQ( audio.GetMed(), 0.2f );
	EXPECT_FLOAT_EQ( audio.GetHigh(), 0.2f );
}

// Each band gets a different constant level; the bins at exactly n/3 and
// 2n/3 belong to no band. Expected levels are the plain RMS of the band.
TEST( Audio, BandsSplitTheSpectrumInThirds )
{
	const int n = 2048, third = 682, twoThirds = 1364;
	std::vector< float > spectrum( n );
	for( int i = 0; i < n; ++i )
		spectrum[ i ] = i < third ? 1.0f : ( i < twoThirds ? 2.0f : 3.0f );
	// The boundary bins carry a huge value that must not reach any band.
	spectrum[ third ] = 100.0f;
	spectrum[ twoThirds ] = 100.0f;

	Audio audio;
	audio.SetGain( 0.0f );
	audio.SetSmoothness( 0.0f );
	audio.Update( spectrum );
	EXPECT_FLOAT_EQ( audio.GetBass(), 1.0f );
	EXPECT_FLOAT_EQ( audio.GetMed(), 2.0f );
	EXPECT_FLOAT_EQ( audio.GetHigh(), 3.0f );

	double total = 0.0;
	for( float bin : spectrum )
		total += double( bin ) * bin;
	EXPECT_NEAR( audio.GetVolume(), std::sqrt( total / n ), 1e-3 );
	EXPECT_EQ( audio.GetFFT().size(), size_t( n ) );
}

TEST( Audio, GainScalesEnergy )
{
	Audio audio;
	audio.SetGain( 20.0f );// energy times 10: levels times sqrt(10)
	audio.SetSmoothness( 0.0f );
	audio.Update( std::vector< float >( 9, 0.5f ) );
	EXPECT_NEAR( audio.GetVolume(), 0.5 * std::sqrt( 10.0 ), 1e-5 );
	EXPECT_NEAR( audio.GetBass(), 0.5 * std::sqrt( 10.0 ), 1e-5 );
}

// Short or empty spectra leave bands without bins; those read as silence
// and never poison the smoothed levels.
TEST( Audio, EmptyBandsContributeZeroAndNothingSticksAtNaN )
{
	for( size_t bins : { size_t( 0 ), size_t( 1 ), size_t( 2 ) } )
	{
		Audio audio;
		audio.SetGain( 0.0f );
		audio.Update( std::vector< float >( bins, 1.0f ) );
		EXPECT_FALSE( std::isnan( audio.GetVolume() ) ) << bins;
		EXPECT_FALSE( std::isnan( audio.GetBass() ) ) << bins;
		EXPECT_FALSE( std::isnan( audio.GetMed() ) ) << bins;
		EXPECT_FALSE( std::isnan( audio.GetHigh() ) ) << bins;
		EXPECT_EQ( audio.GetBass(), 0.0f ) << bins;

		audio.Update( std::vector< float >( 2048, 1.0f ) );
		EXPECT_GT( audio.GetBass(), 0.0f ) << bins;
		EXPECT_GT( audio.GetVolume(), 0.0f ) << bins;
	}

	Audio two;
	two.SetGain( 0.0f );
	two.SetSmoothness( 0.0f );
	two.Update( { 1.0f, 1.0f } );// third = 0: bins 0 and 1 are high, none low or mid
	EXPECT_FLOAT_EQ( two.GetVolume(), 1.0f );
	EXPECT_EQ( two.GetBass(), 0.0f );
	EXPECT_EQ( two.GetMed(), 0.0f );
	EXPECT_FLOAT_EQ( two.GetHigh(), 1.0f );
}

TEST( Audio, NonFiniteBinsAreIgnored )
{
	Audio audio;
	audio.SetGain( 0.0f );
	audio.SetSmoothness( 0.5f );
	std::vector< float > spectrum( 30, 1.0f );
	spectrum[ 3 ] = std::numeric_limits< float >::quiet_NaN();
	spectrum[ 25 ] = std::numeric_limits< float >::infinity();
	audio.Update( spectrum );
	EXPECT_TRUE( std::isfinite( audio.GetVolume() ) );
	EXPECT_TRUE( std::isfinite( audio.GetBass() ) );
	EXPECT_TRUE( std::isfinite( audio.GetHigh() ) );
}

TEST( Audio, SampleRateAndBinWidth )
{
	Audio audio;
	audio.SetSampleRate( 44100 );
	EXPECT_EQ( audio.GetSampleRate(), 44100 );
	EXPECT_EQ( audio.GetMaxFreq(), 22050.0f );
	EXPECT_EQ( audio.GetFreqStep(), 0.0f );// no bins yet

	audio.Update( std::vector< float >( 2048, 0.0f ) );
	audio.SetSampleRate( 48000 );
	EXPECT_EQ( audio.GetMaxFreq(), 24000.0f );
	EXPECT_FLOAT_EQ( audio.GetFreqStep(), 24000.0f / 2048.0f );
}

TEST( Audio, ToDBAndVolumeFromTo )
{
	EXPECT_FLOAT_EQ( Audio::ToDB( 1.0f ), 1.0f );
	EXPECT_NEAR( Audio::ToDB( 0.001f ), 0.375f, 1e-5 );
	EXPECT_EQ( Audio::ToDB( 0.0f ), 0.0f );
	EXPECT_EQ( Audio::ToDB( 10.0f ), 1.0f );
	Audio audio;
	EXPECT_EQ( audio.GetVolumeFromTo( 0, 10 ), 0.0f );
	EXPECT_EQ( audio.GetVolumeFromTo( -5, 5000 ), 0.0f );
}

TEST( Audio, CopiesAreIndependent )
{
	Audio audio;
	audio.SetGain( 0.0f );
	audio.Update( std::vector< float >( 12, 1.0f ) );
	Audio copy = audio;
	EXPECT_EQ( copy.GetVolume(), audio.GetVolume() );
	copy.Update( std::vector< float >( 12, 1.0f ) );
	EXPECT_NE( copy.GetVolume(), audio.GetVolume() );
}

TEST( Random, IntegersCoverTheInclusiveRange )
{
	Random random;
	ASSERT_TRUE( random.IsSeeded() );
	for( int i = 0; i < 20; ++i )
		EXPECT_EQ( random.GetRandomInt( 3, 3 ), 3 );
	std::set< int > seen;
	for( int i = 0; i < 600; ++i )
	{
		int value = random.GetRandomInt( 1, 6 );
		ASSERT_GE( value, 1 );
		ASSERT_LE( value, 6 );
		seen.insert( value );
	}
	EXPECT_EQ( seen.size(), 6u );
	int reversed = random.GetRandomInt( 6, 1 );
	EXPECT_GE( reversed, 1 );
	EXPECT_LE( reversed, 6 );
}

TEST( Random, FloatsStayInRange )
{
	Random random;
	for( int i = 0; i < 500; ++i )
	{
		float value = random.GetRandomFloat( -2.0f, 3.0f );
		ASSERT_GE( value, -2.0f );
		ASSERT_LE( value, 3.0f );
	}
	float reversed = random.GetRandomFloat( 3.0f, -2.0f );
	EXPECT_GE( reversed, -2.0f );
	EXPECT_LE( reversed, 3.0f );
	EXPECT_TRUE( std::isnan( random.GetRandomFloat( std::numeric_limits< float >::quiet_NaN(), 1.0f ) ) );
}

TEST( Random, UnusableDeviceIsReportedNotThrown )
{
	std::unique_ptr< Random > random;
	ASSERT_NO_THROW( random = std::make_unique< Random >( "/nonexistent/entropy-device" ) );
	EXPECT_FALSE( random->IsSeeded() );
	// Still usable: the engine keeps its fixed default seed.
	int value = random->GetRandomInt( 1, 6 );
	EXPECT_GE( value, 1 );
	EXPECT_LE( value, 6 );
	EXPECT_TRUE( random->Open( Random::DEFAULT_DEVICE ) );
	EXPECT_TRUE( random->IsSeeded() );
	EXPECT_FALSE( random->Open( "no such device" ) );
	EXPECT_FALSE( random->IsSeeded() );
}

TEST( Snippets, TableHoldsThreeTextsAndOneDependencyEntry )
{
	using namespace ffglqs::shader;
	namespace shader = ffglqs::shader;
	EXPECT_EQ( static_cast< int32_t >( shader::random ), 0 );
	EXPECT_EQ( static_cast< int32_t >( map ), 1 );
	EXPECT_EQ( static_cast< int32_t >( noise ), 2 );
	EXPECT_EQ( sizeof( snippet_id ), 4u );

	ASSERT_EQ( snippets.size(), 3u );
	EXPECT_EQ( snippets.at( shader::random ).size(), 507u );
	EXPECT_EQ( snippets.at( map ).size(), 553u );
	EXPECT_EQ( snippets.at( noise ).size(), 1260u );
	for( const auto& entry : snippets )
	{
		const std::string& text = entry.second;
		ASSERT_GE( text.size(), 3u );
		EXPECT_EQ( text.front(), '\n' );
		EXPECT_EQ( text.substr( text.size() - 2 ), "}\n" );
	}

	ASSERT_EQ( dependencies.size(), 1u );
	ASSERT_EQ( dependencies.count( noise ), 1u );
	EXPECT_TRUE( dependencies.at( noise ).empty() );
}

TEST( Snippets, DeclareTheAdvertisedNames )
{
	using namespace ffglqs::shader;
	namespace shader = ffglqs::shader;
	const std::string& randomText = snippets.at( shader::random );
	EXPECT_NE( randomText.find( "const uint random_k = 1103515245U; // GLIB C" ), std::string::npos );
	EXPECT_NE( randomText.find( "float random( uvec2 x )" ), std::string::npos );
	EXPECT_NE( randomText.find( "vec3 random3( uvec3 x )" ), std::string::npos );
	EXPECT_NE( randomText.find( "float random()" ), std::string::npos );

	const std::string& mapText = snippets.at( map );
	EXPECT_NE( mapText.find( "float map( float t, float a, float b )" ), std::string::npos );
	EXPECT_NE( mapText.find( "vec2 map( vec2 t, vec2 a, vec2 b )" ), std::string::npos );
	EXPECT_NE( mapText.find( "float map( float value, float low, float high, float newLow, float newHigh )" ), std::string::npos );
	EXPECT_NE( mapText.find( "vec2 map(vec2 value, vec2 low, vec2 high, vec2 newLow, vec2 newHigh)" ), std::string::npos );

	const std::string& noiseText = snippets.at( noise );
	for( const char* declaration : { "vec3 random3( vec3 c )", "const float F3 = 0.3333333;", "const float G3 = 0.1666667;",
									 "float simplex3d(vec3 p)", "const mat3 rot1", "const mat3 rot2", "const mat3 rot3",
									 "float fractal_noise(vec3 m, vec4 coef)" } )
		EXPECT_NE( noiseText.find( declaration ), std::string::npos ) << declaration;
}

// Parameter objects, spectrum analysis, random numbers and the snippet table.
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <set>
#include <tuple>
#include <vector>
#include <ffglqs/FFGLAudio.h>
#include <ffglqs/FFGLParam.h>
#include <ffglqs/FFGLRandom.h>
#include <ffglqs/FFGLShaderSnippets.h>

using namespace ffglqs;

namespace
{
const float nan_ = std::numeric_limits< float >::quiet_NaN(), inf_ = std::numeric_limits< float >::infinity();

// Factories and ranges are checked as the plug-in registers them
// (PluginTest); the normalised value is ffglex::map (UtilitiesTest).
// Inside the list the index is truncated and the value kept; beyond it (NaN
// and infinities included) the value becomes 0 and the first option is current.
TEST( ParamOption, SelectionFollowsTheValue )
{
	const struct { float set, value; const char* name; float real; } cases[] = {
		{ 2.0f, 2.0f, "C", 30 }, { 1.5f, 1.5f, "B", 20 }, { 2.999f, 2.999f, "C", 30 }, { -0.5f, -0.5f, "A", 10 }, { 3.0f, 0, "A", 10 },
		{ -1.0f, 0, "A", 10 },   { -1e30f, 0, "A", 10 },  { 1e30f, 0, "A", 10 },        { nan_, 0, "A", 10 },       { inf_, 0, "A", 10 },
		{ -inf_, 0, "A", 10 } };
	const ParamOption::Options three = { { "A", 10.0f }, { "B", 20.0f }, { "C", 30.0f } };
	for( const auto& c : cases )
	{
		auto option = ParamOption::Create( "o", three, 1 );
		std::shared_ptr< Param > base = option;// SetValue must be virtual
		base->SetValue( c.set );
		EXPECT_EQ( std::tuple( option->GetValue(), option->GetRealValue(), option->IsCurrentOption( "A" ), option->IsCurrentOption( "B" ),
							   option->IsCurrentOption( "C" ) ),
				   std::tuple( c.value, c.real, c.name[ 0 ] == 'A', c.name[ 0 ] == 'B', c.name[ 0 ] == 'C' ) )
			<< c.set;
	}
	auto fromDefault = ParamOption::Create( "o", three, 9 ), empty = ParamOption::Create( "o", {} );
	empty->SetValue( 0.0f );
	EXPECT_EQ( std::tuple( fromDefault->GetValue(), fromDefault->GetRealValue(), empty->GetValue(), empty->IsCurrentOption( "" ), empty->GetRealValue() ),
			   std::tuple( 0.0f, 10.0f, 0.0f, true, 0.0f ) );
}

void ExpectLevels( const Audio& audio, std::vector< float > want, const char* what )
{
	const float got[] = { audio.GetVolume(), audio.GetBass(), audio.GetMed(), audio.GetHigh() };
	for( size_t i = 0; i < 4; ++i )
		EXPECT_NEAR( got[ i ], want[ i ], 1e-5 * std::max( 1.0f, want[ i ] ) ) << what << ", level " << i;
}

// The gain factor starts at 0, so all stays silent until SetGain.
TEST( Audio, StartsSilentWithoutRateAndConvertsDecibels )
{
	Audio audio;
	auto state = [ & ] { return std::tuple( audio.GetGain(), audio.GetSampleRate(), audio.GetMaxFreq(), audio.GetFreqStep() ); };
	audio.SetSampleRate( 44100 );
	EXPECT_EQ( state(), std::tuple( 0.0f, 44100, 22050.0f, 0.0f ) );// no bins yet
	audio.Update( std::vector< float >( 2048, 1.0f ) );
	ExpectLevels( audio, { 0, 0, 0, 0 }, "gain factor 0" );
	audio.SetSampleRate( 48000 );
	EXPECT_EQ( state(), std::tuple( 0.0f, 48000, 24000.0f, 24000.0f / 2048.0f ) );
	for( auto [ dB, factor ] : { std::pair{ 0.0f, 1.0f }, { 20.0f, 10.0f }, { -20.0f, 0.1f } } )
		EXPECT_FLOAT_EQ( ( audio.SetGain( dB ), audio.GetGain() ), factor ) << dB;
	for( auto [ x, db ] : { std::pair{ 1.0f, 1.0f }, { 0.001f, 0.375f }, { 0.0f, 0.0f }, { 10.0f, 1.0f } } )
		EXPECT_NEAR( Audio::ToDB( x ), db, 1e-5 ) << x;
}

// Levels are band RMS values smoothed by 0.8 by default; the bins at exactly
// n/3 and 2n/3 belong to no band, only to the volume.
TEST( Audio, BandsGainAndSmoothing )
{
	Audio audio;
	audio.SetGain( 0.0f );
	for( int n = 1; n <= 3; ++n )
	{
		audio.Update( std::vector< float >( 2048, 1.0f ) );
		const float level = float( 1.0 - std::pow( 0.8, n ) );
		ExpectLevels( audio, { level, level, level, level }, "smoothed step" );
	}
	std::vector< float > spectrum( 2048 );
	double total = 0.0;
	for( int i = 0; i < 2048; ++i )
	{
		spectrum[ i ] = i == 682 || i == 1364 ? 100.0f : ( i < 682 ? 1.0f : ( i < 1364 ? 2.0f : 3.0f ) );
		total += double( spectrum[ i ] ) * spectrum[ i ];
	}
	audio.SetSmoothness( 0.0f );
	audio.Update( spectrum );
	ExpectLevels( audio, { float( std::sqrt( total / 2048 ) ), 1, 2, 3 }, "thirds" );
	EXPECT_EQ( audio.GetFFT(), spectrum );
	audio.SetGain( 20.0f );// energy times 10
	audio.Update( std::vector< float >( 9, 0.5f ) );
	const float scaled = float( 0.5 * std::sqrt( 10.0 ) );
	ExpectLevels( audio, { scaled, scaled, scaled, scaled }, "gain" );
	audio.SetSmoothness( 1.0f );// frozen
	audio.Update( spectrum );
	ExpectLevels( audio, { scaled, scaled, scaled, scaled }, "frozen" );
}

// Bands without bins read as silence, non-finite bins are ignored, and a
// huge but finite signal saturates at the largest float instead of turning
// into an infinity that the smoother would keep forever.
TEST( Audio, LevelsStayFiniteWhateverTheSpectrum )
{
	for( size_t bins : { size_t( 0 ), size_t( 1 ), size_t( 2 ) } )
	{
		Audio audio;
		audio.SetGain( 0.0f );
		audio.Update( std::vector< float >( bins, 1.0f ) );
		audio.Update( std::vector< float >( 2048, 1.0f ) );
		ExpectLevels( audio, { bins ? 0.36f : 0.2f, 0.2f, 0.2f, bins == 2 ? 0.36f : 0.2f }, "after a short spectrum" );
	}
	Audio two;
	two.SetGain( 0.0f );
	two.SetSmoothness( 0.0f );
	two.Update( { 1.0f, 1.0f } );// third = 0: both bins are high
	ExpectLevels( two, { 1, 0, 0, 1 }, "two bins" );
	std::vector< float > spectrum( 30, 1.0f );
	spectrum[ 3 ] = nan_;
	spectrum[ 25 ] = inf_;
	two.Update( spectrum );// silent bins, still counted
	ExpectLevels( two, { std::sqrt( 28.0f / 30 ), std::sqrt( 0.9f ), 1, std::sqrt( 8.0f / 9 ) }, "non-finite bins" );
	const double largest = std::numeric_limits< float >::max();
	for( auto [ bin, dB ] : { std::pair{ 1e30f, 0.0f }, { 1e19f, 0.0f }, { 1.0f, 1e6f }, { 1e20f, -200.0f } } )
	{
		Audio loud;// 30 bins: 10 low, 9 middle, 9 high
		loud.SetSmoothness( 0.0f );
		loud.SetGain( dB );
		loud.Update( std::vector< float >( 30, bin ) );
		const double energy = std::min( double( bin ) * bin * loud.GetGain(), largest );
		auto level = [ & ]( int count ) { return float( std::sqrt( std::min( energy * count, largest ) / count ) ); };
		ExpectLevels( loud, { level( 30 ), level( 10 ), level( 9 ), level( 9 ) }, "loud" );
		loud.SetSmoothness( 0.5f );
		loud.Update( std::vector< float >( 30, 0.0f ) );
		EXPECT_TRUE( std::isfinite( loud.GetVolume() ) && loud.GetVolume() > 0.0f ) << bin << " " << dB;
	}
}

// Reversed bounds work too; a device that cannot be opened is reported, not
// thrown, and the generator stays usable with its default seed.
TEST( Random, StaysInTheInclusiveRangeAndSurvivesABadDevice )
{
	Random random, bad( "/nonexistent/entropy-device" );
	std::set< int > seen;
	for( int i = 0; i < 600; ++i )
	{
		const int value = i % 2 ? random.GetRandomInt( 6, 1 ) : bad.GetRandomInt( 1, 6 );
		const float real = random.GetRandomFloat( i % 2 ? 3.0f : -2.0f, i % 2 ? -2.0f : 3.0f );
		ASSERT_TRUE( value >= 1 && value <= 6 && real >= -2.0f && real <= 3.0f ) << value << " " << real;
		seen.insert( value );
	}
	EXPECT_EQ( ( std::tuple{ seen.size(), random.GetRandomInt( 3, 3 ), random.IsSeeded(), bad.IsSeeded(), std::isnan( random.GetRandomFloat( nan_, 1.0f ) ),
							 bad.Open( Random::DEFAULT_DEVICE ), bad.IsSeeded(), bad.Open( "no such device" ), bad.IsSeeded() } ),
			   std::tuple( 6u, 3, true, false, true, true, true, false, false ) );
}

// The compile test in PluginTest covers the functions; these the constants
// that decide the values, and the one dependency entry.
TEST( Snippets, ConstantsAndDependencies )
{
	namespace shader = ffglqs::shader;
	for( auto [ id, text ] : { std::pair{ shader::random, "const uint random_k = 1103515245U; // GLIB C" },
							   { shader::noise, "const float F3 = 0.3333333;" }, { shader::noise, "const float G3 = 0.1666667;" } } )
		EXPECT_NE( shader::snippets.at( id ).find( text ), std::string::npos ) << text;
	EXPECT_EQ( std::tuple( shader::snippets.size(), shader::dependencies.size(), shader::dependencies.at( shader::noise ).empty() ),
			   std::tuple( 3u, 1u, true ) );
}
}// namespace

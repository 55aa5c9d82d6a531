// Parameter objects, spectrum analysis, random numbers and the snippet table.
#include <gtest/gtest.h>
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
ParamOption::Options ThreeOptions() { return { { "A", 10.0f }, { "B", 20.0f }, { "C", 30.0f } }; }
}// namespace

TEST( Param, FactoriesGiveNameTypeAndValue )
{
	// The other kinds are checked as the plug-in registers them (PluginTest).
	const struct { std::shared_ptr< Param > param; const char* name; uint32_t type; float value; } cases[] = {
		{ Param::Create(), "", 10, 0 }, { Param::Create( "l" ), "l", 10, 0 }, { Param::Create( "l", 0.75f ), "l", 10, 0.75f },
		{ ParamBool::Create( "b" ), "b", 0, 0 }, { ParamBool::Create( "b", false ), "b", 0, 0 }, { ParamFFT::Create( "f" ), "f", 12, 0 } };
	for( const auto& c : cases )
		EXPECT_EQ( std::tuple( c.param->GetName(), c.param->GetType(), c.param->GetValue() ), std::tuple( c.name, c.type, c.value ) );
	cases[ 1 ].param->SetValue( -3.0f );
	EXPECT_EQ( cases[ 1 ].param->GetValue(), -3.0f );
	EXPECT_EQ( std::tuple( ParamText::create( "x" )->text, ParamText::create( "x", "hello" )->text ), std::tuple( "", "hello" ) );
	auto trigger = ParamTrigger::Create( "t" );
	trigger->SetValue( 0.6f );
	trigger->Consume();
	EXPECT_EQ( trigger->GetValue(), 0.0f );
	auto fft = ParamFFT::Create( "spectrum" );
	EXPECT_EQ( std::tuple( fft->index, fft->fftData ), std::tuple( 0u, std::vector< float >( 2048, 0.0f ) ) );
	EXPECT_EQ( ParamFFT::Create( "small", 16 )->fftData.size(), 16u );
}

// The value is kept as given; only the normalised value is clamped.
TEST( Param, RangeNormalisesLinearly )
{
	const struct { float value, min, max, normalised; } cases[] = {
		{ 5, 0, 10, 0.5f }, { 15, 0, 10, 1 }, { -2, 0, 10, 0 }, { 2, 10, 0, 0.8f }, { 12, 10, 0, 0 } };
	for( const auto& c : cases )
	{
		auto range = ParamRange::Create( "r", c.value, { c.min, c.max } );
		EXPECT_EQ( std::tuple( range->GetValue(), range->GetRange().min, range->GetRange().max ), std::tuple( c.value, c.min, c.max ) );
		EXPECT_FLOAT_EQ( range->GetNormalizedValue(), c.normalised ) << c.value << " in " << c.min << ".." << c.max;
	}
}

// Inside the list the index is truncated and the value kept; beyond it (NaN
// and infinities included) the value becomes 0 and the first option is current.
TEST( ParamOption, SelectionFollowsTheValue )
{
	const struct { float set, value; const char* name; float real; } cases[] = {
		{ 2.0f, 2.0f, "C", 30 }, { 1.5f, 1.5f, "B", 20 }, { 2.999f, 2.999f, "C", 30 }, { -0.5f, -0.5f, "A", 10 },
		{ 3.0f, 0, "A", 10 }, { 7.0f, 0, "A", 10 }, { -1.0f, 0, "A", 10 }, { -1e30f, 0, "A", 10 }, { 1e30f, 0, "A", 10 },
		{ nan_, 0, "A", 10 }, { inf_, 0, "A", 10 }, { -inf_, 0, "A", 10 } };
	for( const auto& c : cases )
	{
		auto option = ParamOption::Create( "o", ThreeOptions(), 1 );
		ASSERT_EQ( option->GetRealValue(), 20.0f );
		std::shared_ptr< Param > base = option;// SetValue must be virtual
		base->SetValue( c.set );
		EXPECT_EQ( std::tuple( option->GetValue(), option->GetRealValue() ), std::tuple( c.value, c.real ) ) << c.set;
		for( const char* name : { "A", "B", "C" } )
			EXPECT_EQ( option->IsCurrentOption( name ), std::string( name ) == c.name ) << c.set << " " << name;
	}
	auto fromDefault = ParamOption::Create( "o", ThreeOptions(), 9 ), empty = ParamOption::Create( "o", {} );
	EXPECT_EQ( std::tuple( fromDefault->GetValue(), fromDefault->GetRealValue() ), std::tuple( 0.0f, 10.0f ) );
	empty->SetValue( 0.0f );
	EXPECT_EQ( std::tuple( empty->GetValue(), empty->IsCurrentOption( "" ), empty->GetRealValue() ), std::tuple( 0.0f, true, 0.0f ) );
}

namespace
{
void ExpectLevels( const Audio& audio, std::vector< float > want, const char* what )
{
	const float got[] = { audio.GetVolume(), audio.GetBass(), audio.GetMed(), audio.GetHigh() };
	for( size_t i = 0; i < 4; ++i )
		EXPECT_NEAR( got[ i ], want[ i ], 1e-5 ) << what << ", level " << i;
}
}// namespace

TEST( Audio, StartsSilentWithoutRateAndConvertsDecibels )
{
	Audio audio;
	auto state = [ & ] { return std::tuple( audio.GetGain(), audio.GetSampleRate(), audio.GetMaxFreq(), audio.GetFreqStep() ); };
	EXPECT_EQ( state(), std::tuple( 0.0f, 0, 0.0f, 0.0f ) );
	audio.SetSampleRate( 44100 );
	EXPECT_EQ( state(), std::tuple( 0.0f, 44100, 22050.0f, 0.0f ) );// no bins yet
	audio.Update( std::vector< float >( 2048, 1.0f ) );
	ExpectLevels( audio, { 0, 0, 0, 0 }, "gain factor 0" );
	audio.SetSampleRate( 48000 );
	EXPECT_EQ( state(), std::tuple( 0.0f, 48000, 24000.0f, 24000.0f / 2048.0f ) );
	for( auto [ dB, factor ] : { std::pair{ 0.0f, 1.0f }, { 20.0f, 10.0f }, { -20.0f, 0.1f } } )
	{
		audio.SetGain( dB );
		EXPECT_FLOAT_EQ( audio.GetGain(), factor ) << dB;
	}
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

// Short or empty spectra leave bands without bins: those read as silence and
// never poison the smoothed levels; non-finite bins are ignored.
TEST( Audio, EmptyBandsAndNonFiniteBinsNeverGiveNaN )
{
	for( size_t bins : { size_t( 0 ), size_t( 1 ), size_t( 2 ) } )
	{
		Audio audio;
		audio.SetGain( 0.0f );
		audio.Update( std::vector< float >( bins, 1.0f ) );
		EXPECT_FALSE( std::isnan( audio.GetVolume() ) || std::isnan( audio.GetHigh() ) ) << bins;
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
	two.Update( spectrum );
	for( float level : { two.GetVolume(), two.GetBass(), two.GetMed(), two.GetHigh() } )
		EXPECT_TRUE( std::isfinite( level ) );
}

TEST( Random, StaysInTheInclusiveRangeAndSurvivesABadDevice )
{
	Random random, bad( "/nonexistent/entropy-device" );// reported, not thrown
	std::set< int > seen;
	for( int i = 0; i < 600; ++i )
	{
		const bool swap = i % 2;// reversed bounds work too
		int value = random.GetRandomInt( swap ? 6 : 1, swap ? 1 : 6 );
		float real = random.GetRandomFloat( swap ? 3.0f : -2.0f, swap ? -2.0f : 3.0f );
		ASSERT_TRUE( value >= 1 && value <= 6 && real >= -2.0f && real <= 3.0f ) << value << " " << real;
		seen.insert( value );
	}
	EXPECT_EQ( std::tuple( seen.size(), random.GetRandomInt( 3, 3 ), random.IsSeeded(), bad.IsSeeded() ), std::tuple( 6u, 3, true, false ) );
	EXPECT_TRUE( std::isnan( random.GetRandomFloat( nan_, 1.0f ) ) );
	const int value = bad.GetRandomInt( 1, 6 );// still usable with the default seed
	EXPECT_TRUE( value >= 1 && value <= 6 );
	EXPECT_EQ( ( std::tuple{ bad.Open( Random::DEFAULT_DEVICE ), bad.IsSeeded() } ), std::tuple( true, true ) );
	EXPECT_EQ( ( std::tuple{ bad.Open( "no such device" ), bad.IsSeeded() } ), std::tuple( false, false ) );
}

// Sizes pin the texts; the compile test in PluginTest covers the functions,
// these the constants that decide the values.
TEST( Snippets, TableTextsAndDependencies )
{
	namespace shader = ffglqs::shader;
	ASSERT_EQ( shader::snippets.size(), 3u );
	for( auto [ id, size ] : { std::pair{ shader::random, size_t( 507 ) }, { shader::map, 553 }, { shader::noise, 1260 } } )
		EXPECT_EQ( shader::snippets.at( id ).size(), size ) << id;
	for( auto [ id, text ] : { std::pair{ shader::random, "const uint random_k = 1103515245U; // GLIB C" },
							   { shader::noise, "const float F3 = 0.3333333;" }, { shader::noise, "const float G3 = 0.1666667;" } } )
		EXPECT_NE( shader::snippets.at( id ).find( text ), std::string::npos ) << text;
	ASSERT_EQ( shader::dependencies.size(), 1u );
	EXPECT_TRUE( shader::dependencies.at( shader::noise ).empty() );
}

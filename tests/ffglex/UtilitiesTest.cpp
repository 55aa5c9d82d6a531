#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <limits>
#include "ffglex/FFGLUtilities.h"

using namespace ffglex;

namespace
{
// The textbook chroma form of HSV to RGB, for hues in [0, 1).
void ReferenceHSV( double h, double s, double v, double& r, double& g, double& b )
{
	double c = v * s;
	double hp = h * 6.0;
	double x = c * ( 1.0 - std::fabs( std::fmod( hp, 2.0 ) - 1.0 ) );
	double m = v - c;
	double rgb[ 6 ][ 3 ] = { { c, x, 0 }, { x, c, 0 }, { 0, c, x }, { 0, x, c }, { x, 0, c }, { c, 0, x } };
	int sextant = static_cast< int >( hp );
	r = rgb[ sextant ][ 0 ] + m;
	g = rgb[ sextant ][ 1 ] + m;
	b = rgb[ sextant ][ 2 ] + m;
}

const float nan_ = std::numeric_limits< float >::quiet_NaN();
}// namespace

TEST( PowerOfTwo, RecognisesExactlyTheSingleBitValues )
{
	EXPECT_EQ( is_power_of_2( 0u ), 0 );
	EXPECT_EQ( is_power_of_2( 6u ), 0 );
	EXPECT_EQ( is_power_of_2( 0xFFFFFFFFu ), 0 );
	for( int bit = 0; bit < 32; ++bit )
	{
		uint32_t single = uint32_t( 1 ) << bit;
		EXPECT_EQ( is_power_of_2( single ), 1 ) << bit;
		if( bit > 0 )
		{
			EXPECT_EQ( is_power_of_2( single | 1u ), 0 ) << bit;
		}
	}
}

TEST( PowerOfTwo, NextPowerMatchesDoublingSearch )
{
	for( int32_t x = 1; x <= 70000; ++x )
	{
		int64_t expected = 1;
		while( expected < x )
			expected *= 2;
		ASSERT_EQ( npot( x ), expected ) << x;
	}
	EXPECT_EQ( npot( 0 ), 0 );
	EXPECT_EQ( npot( 1025 ), 2048 );
	EXPECT_EQ( npot( 1 << 30 ), 1 << 30 );
}

TEST( PowerOfTwo, NextPowerAtThe32BitLimitsStaysDefined )
{
	const int32_t bit31 = std::numeric_limits< int32_t >::min();
	EXPECT_EQ( npot( ( 1 << 30 ) + 1 ), bit31 );
	EXPECT_EQ( npot( std::numeric_limits< int32_t >::max() ), bit31 );
	EXPECT_EQ( npot( bit31 ), bit31 );
	// Bit 31 shifted out of 32 bits: must not overflow.
	EXPECT_EQ( npot( -1 ), 0 );
	EXPECT_EQ( npot( -1000 ), 0 );
}

TEST( HSVtoRGB, ZeroSaturationIsGreyAtTheValue )
{
	for( float h : { 0.0f, 0.3f, 0.99f, 7.0f, -2.0f } )
	{
		float r = -1, g = -1, b = -1;
		HSVtoRGB( h, 0.0f, 0.4f, r, g, b );
		EXPECT_EQ( r, 0.4f );
		EXPECT_EQ( g, 0.4f );
		EXPECT_EQ( b, 0.4f );
	}
}

TEST( HSVtoRGB, PrimaryHues )
{
	struct Case
	{
		float h, r, g, b;
	};
	for( Case c : { Case{ 0.0f, 1, 0, 0 }, Case{ 0.25f, 0.5f, 1, 0 }, Case{ 0.5f, 0, 1, 1 }, Case{ 1.0f / 3.0f, 0, 1, 0 },
	                Case{ 2.0f / 3.0f, 0, 0, 1 } } )
	{
		float r, g, b;
		HSVtoRGB( c.h, 1.0f, 1.0f, r, g, b );
		EXPECT_NEAR( r, c.r, 1e-6 ) << c.h;
		EXPECT_NEAR( g, c.g, 1e-6 ) << c.h;
		EXPECT_NEAR( b, c.b, 1e-6 ) << c.h;
	}
}

TEST( HSVtoRGB, BothPrecisionsFollowTheChromaFormAcrossTheCircle )
{
	for( int step = 0; step < 600; ++step )
	{
		double h = step / 600.0;
		double s = 0.3 + 0.7 * ( step % 7 ) / 6.0;
		double v = 0.2 + 0.8 * ( step % 5 ) / 4.0;
		double er, eg, eb;
		ReferenceHSV( h, s, v, er, eg, eb );

		double dr, dg, db;
		HSVtoRGB( h, s, v, &dr, &dg, &db );
		EXPECT_NEAR( dr, er, 1e-9 ) << h;
		EXPECT_NEAR( dg, eg, 1e-9 ) << h;
		EXPECT_NEAR( db, eb, 1e-9 ) << h;

		float fr, fg, fb;
		HSVtoRGB( float( h ), float( s ), float( v ), fr, fg, fb );
		EXPECT_NEAR( fr, er, 1e-5 ) << h;
		EXPECT_NEAR( fg, eg, 1e-5 ) << h;
		EXPECT_NEAR( fb, eb, 1e-5 ) << h;
	}
}

TEST( HSVtoRGB, HuesOutsideTheCircleTakeTheLastSextant )
{
	float r, g, b;
	HSVtoRGB( 1.0f, 1.0f, 1.0f, r, g, b );
	EXPECT_EQ( r, 1.0f );
	EXPECT_EQ( g, 0.0f );
	EXPECT_EQ( b, 1.0f );

	// -0.1: sextant -1, fraction 0.4, so blue is 1 - 0.4.
	HSVtoRGB( -0.1f, 1.0f, 1.0f, r, g, b );
	EXPECT_EQ( r, 1.0f );
	EXPECT_EQ( g, 0.0f );
	EXPECT_NEAR( b, 0.6f, 1e-6 );

	// Huge and NaN hues must not be turned into an integer sextant.
	HSVtoRGB( 3e38f, 1.0f, 0.5f, r, g, b );
	EXPECT_EQ( r, 0.5f );
	HSVtoRGB( nan_, 1.0f, 0.5f, r, g, b );
	EXPECT_EQ( r, 0.5f );
	EXPECT_EQ( g, 0.0f );
}

TEST( HSVtoRGB, DoubleFormSkipsNullOutputs )
{
	double g = -1;
	HSVtoRGB( 1.0 / 3.0, 1.0, 1.0, nullptr, &g, nullptr );
	EXPECT_NEAR( g, 1.0, 1e-12 );
}

TEST( Random, StaysInsideTheRangeAndCoversIt )
{
	srand( 12345 );
	double sum = 0;
	float low = 10, high = 0;
	const int draws = 20000;
	for( int i = 0; i < draws; ++i )
	{
		float x = random( 2.0f, 6.0f );
		ASSERT_GE( x, 2.0f );
		ASSERT_LE( x, 6.0f );
		sum += x;
		low = std::fmin( low, x );
		high = std::fmax( high, x );
	}
	EXPECT_NEAR( sum / draws, 4.0, 0.05 );
	EXPECT_LT( low, 2.01f );
	EXPECT_GT( high, 5.99f );
}

TEST( Random, DegenerateAndReversedRanges )
{
	srand( 7 );
	for( int i = 0; i < 100; ++i )
	{
		EXPECT_EQ( random( 3.0f, 3.0f ), 3.0f );
		float x = random( 1.0f, -1.0f );
		EXPECT_LE( x, 1.0f );
		EXPECT_GE( x, -1.0f );
	}
}

TEST( Clamp, UnitRange )
{
	EXPECT_EQ( clamp01( -0.5f ), 0.0f );
	EXPECT_EQ( clamp01( 0.25f ), 0.25f );
	EXPECT_EQ( clamp01( 3.0f ), 1.0f );
	EXPECT_TRUE( std::isnan( clamp01( nan_ ) ) );
}

TEST( Clamp, UpperBoundIsAppliedFirst )
{
	EXPECT_EQ( clamp( 5.0f, 0.0f, 1.0f ), 1.0f );
	EXPECT_EQ( clamp( -5.0f, 0.0f, 1.0f ), 0.0f );
	EXPECT_EQ( clamp( 0.5f, 0.0f, 1.0f ), 0.5f );
	// Reversed bounds: the lower one always wins.
	EXPECT_EQ( clamp( 0.5f, 1.0f, 0.0f ), 1.0f );
	EXPECT_EQ( clamp( -9.0f, 1.0f, 0.0f ), 1.0f );
	EXPECT_EQ( clamp( 9.0f, 1.0f, 0.0f ), 1.0f );
	EXPECT_TRUE( std::isnan( clamp( nan_, 0.0f, 1.0f ) ) );
}

TEST( Map, LinearInsideAndSaturatingOutside )
{
	EXPECT_FLOAT_EQ( map( 0.5f, 0.0f, 1.0f, 10.0f, 20.0f ), 15.0f );
	EXPECT_FLOAT_EQ( map( 2.0f, 0.0f, 1.0f, 10.0f, 20.0f ), 20.0f );
	EXPECT_FLOAT_EQ( map( -2.0f, 0.0f, 1.0f, 10.0f, 20.0f ), 10.0f );
	EXPECT_FLOAT_EQ( map( 15.0f, 10.0f, 20.0f, -1.0f, 1.0f ), 0.0f );
	// A reversed input range turns the mapping round.
	EXPECT_FLOAT_EQ( map( 0.25f, 1.0f, 0.0f, 0.0f, 100.0f ), 75.0f );
	// A reversed output range saturates to its first end.
	EXPECT_EQ( map( 0.5f, 0.0f, 1.0f, 20.0f, 10.0f ), 20.0f );
}

TEST( Map, EmptyInputRangeDoesNotTrap )
{
	EXPECT_EQ( map( 1.0f, 0.0f, 0.0f, 10.0f, 20.0f ), 20.0f );
	EXPECT_EQ( map( -1.0f, 0.0f, 0.0f, 10.0f, 20.0f ), 10.0f );
	EXPECT_TRUE( std::isnan( map( 0.0f, 0.0f, 0.0f, 10.0f, 20.0f ) ) );
}

TEST( ReplaceAll, ReplacesEveryOccurrence )
{
	std::string s = "x+x";
	ReplaceAll( s, "x", "yz" );
	EXPECT_EQ( s, "yz+yz" );

	s = "uniform float a; uniform float b;";
	ReplaceAll( s, "float", "vec2" );
	EXPECT_EQ( s, "uniform vec2 a; uniform vec2 b;" );

	s = "none here";
	ReplaceAll( s, "xyz", "q" );
	EXPECT_EQ( s, "none here" );

	s = "abc";
	ReplaceAll( s, "b", "" );
	EXPECT_EQ( s, "ac" );
}

TEST( ReplaceAll, OccurrencesFormedByTheReplacementAreReplacedToo )
{
	std::string s = "abb";
	ReplaceAll( s, "ab", "a" );
	EXPECT_EQ( s, "a" );

	s = "abbbc";
	ReplaceAll( s, "ab", "a" );
	EXPECT_EQ( s, "ac" );

	// The search never looks back before the replacement.
	s = "aab";
	ReplaceAll( s, "ab", "b" );
	EXPECT_EQ( s, "ab" );
}

TEST( ReplaceAll, FinishesWhenTheSearchCouldNeverEnd )
{
	std::string s = "same";
	ReplaceAll( s, "same", "same" );
	EXPECT_EQ( s, "same" );

	s = "a-a";
	ReplaceAll( s, "a", "aa" );
	EXPECT_EQ( s, "aa-aa" );

	s = "xbx";
	ReplaceAll( s, "b", "abc" );
	EXPECT_EQ( s, "xabcx" );

	s = "text";
	ReplaceAll( s, "", "!" );
	EXPECT_EQ( s, "text" );
}

#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <limits>
#include "ffglex/FFGLUtilities.h"

using namespace ffglex;

namespace
{
const float nan_ = std::numeric_limits< float >::quiet_NaN();
const int32_t bit31_ = std::numeric_limits< int32_t >::min();

// The textbook chroma form of HSV to RGB, for hues in [0, 1).
void ReferenceHSV( double h, double s, double v, double rgb[ 3 ] )
{
	double c = v * s, x = c * ( 1.0 - std::fabs( std::fmod( h * 6.0, 2.0 ) - 1.0 ) ), m = v - c;
	const double table[ 6 ][ 3 ] = { { c, x, 0 }, { x, c, 0 }, { 0, c, x }, { 0, x, c }, { x, 0, c }, { c, 0, x } };
	for( int k = 0; k < 3; ++k )
		rgb[ k ] = table[ static_cast< int >( h * 6.0 ) ][ k ] + m;
}
}// namespace

TEST( Utilities, PowersOfTwo )
{
	EXPECT_EQ( is_power_of_2( 0u ), 0 );
	EXPECT_EQ( is_power_of_2( 6u ), 0 );
	EXPECT_EQ( is_power_of_2( 0x80000000u ), 1 );
	for( int32_t x = 1; x <= 70000; ++x )
	{
		int64_t expected = 1;
		while( expected < x )
			expected *= 2;
		ASSERT_EQ( npot( x ), expected ) << x;
		ASSERT_EQ( is_power_of_2( uint32_t( x ) ), expected == x ) << x;
	}
	EXPECT_EQ( npot( 0 ), 0 );
	// Beyond 2^30 the answer is bit 31 alone; negative inputs shift bit 31
	// out of 32 bits, which must wrap rather than overflow.
	EXPECT_EQ( npot( ( 1 << 30 ) + 1 ), bit31_ );
	EXPECT_EQ( npot( bit31_ ), bit31_ );
	EXPECT_EQ( npot( -1 ), 0 );
	EXPECT_EQ( npot( -1000 ), 0 );
}

TEST( Utilities, HSVtoRGBFollowsTheChromaFormInBothPrecisions )
{
	for( int step = 0; step < 600; ++step )
	{
		double h = step / 600.0, s = 0.3 + 0.7 * ( step % 7 ) / 6.0, v = 0.2 + 0.8 * ( step % 5 ) / 4.0;
		double expected[ 3 ], d[ 3 ];
		float f[ 3 ];
		ReferenceHSV( h, s, v, expected );
		HSVtoRGB( h, s, v, &d[ 0 ], &d[ 1 ], &d[ 2 ] );
		HSVtoRGB( float( h ), float( s ), float( v ), f[ 0 ], f[ 1 ], f[ 2 ] );
		for( int k = 0; k < 3; ++k )
		{
			ASSERT_NEAR( d[ k ], expected[ k ], 1e-9 ) << h;
			ASSERT_NEAR( f[ k ], expected[ k ], 1e-5 ) << h;
		}
	}
	double g = -1;
	HSVtoRGB( 1.0 / 3.0, 1.0, 1.0, nullptr, &g, nullptr );// null outputs are skipped
	EXPECT_NEAR( g, 1.0, 1e-12 );
}

TEST( Utilities, HSVtoRGBEdges )
{
	float r, g, b;
	HSVtoRGB( 0.7f, 0.0f, 0.4f, r, g, b );
	EXPECT_TRUE( r == 0.4f && g == 0.4f && b == 0.4f );
	HSVtoRGB( 0.25f, 1.0f, 1.0f, r, g, b );
	EXPECT_TRUE( r == 0.5f && g == 1.0f && b == 0.0f );
	// Unwrapped hues take the last sextant: 1 is magenta, -0.1 has fraction 0.4.
	HSVtoRGB( 1.0f, 1.0f, 1.0f, r, g, b );
	EXPECT_TRUE( r == 1.0f && g == 0.0f && b == 1.0f );
	HSVtoRGB( -0.1f, 1.0f, 1.0f, r, g, b );
	EXPECT_NEAR( b, 0.6f, 1e-6 );
	// Huge and NaN hues must never be converted to an integer sextant.
	HSVtoRGB( 3e38f, 1.0f, 0.5f, r, g, b );
	EXPECT_EQ( r, 0.5f );
	HSVtoRGB( nan_, 1.0f, 0.5f, r, g, b );
	EXPECT_TRUE( r == 0.5f && g == 0.0f );
}

TEST( Utilities, RandomStaysInRange )
{
	srand( 12345 );
	double sum = 0;
	for( int i = 0; i < 20000; ++i )
	{
		float x = random( 2.0f, 6.0f );
		ASSERT_TRUE( x >= 2.0f && x <= 6.0f ) << x;
		sum += x;
	}
	EXPECT_NEAR( sum / 20000, 4.0, 0.05 );
	EXPECT_EQ( random( 3.0f, 3.0f ), 3.0f );
	float reversed = random( 1.0f, -1.0f );
	EXPECT_TRUE( reversed >= -1.0f && reversed <= 1.0f );
}

TEST( Utilities, ClampAndMap )
{
	EXPECT_EQ( clamp01( -0.5f ), 0.0f );
	EXPECT_EQ( clamp01( 3.0f ), 1.0f );
	EXPECT_TRUE( std::isnan( clamp01( nan_ ) ) );
	EXPECT_EQ( clamp( 5.0f, 0.0f, 1.0f ), 1.0f );
	EXPECT_EQ( clamp( -5.0f, 0.0f, 1.0f ), 0.0f );
	EXPECT_EQ( clamp( 0.5f, 1.0f, 0.0f ), 1.0f );// reversed bounds: lower wins
	EXPECT_EQ( clamp( 9.0f, 1.0f, 0.0f ), 1.0f );
	EXPECT_TRUE( std::isnan( clamp( nan_, 0.0f, 1.0f ) ) );

	EXPECT_FLOAT_EQ( map( 0.5f, 0.0f, 1.0f, 10.0f, 20.0f ), 15.0f );
	EXPECT_FLOAT_EQ( map( 2.0f, 0.0f, 1.0f, 10.0f, 20.0f ), 20.0f );
	EXPECT_FLOAT_EQ( map( -2.0f, 0.0f, 1.0f, 10.0f, 20.0f ), 10.0f );
	EXPECT_FLOAT_EQ( map( 0.25f, 1.0f, 0.0f, 0.0f, 100.0f ), 75.0f );
	EXPECT_EQ( map( 0.5f, 0.0f, 1.0f, 20.0f, 10.0f ), 20.0f );
	EXPECT_EQ( map( 1.0f, 0.0f, 0.0f, 10.0f, 20.0f ), 20.0f );// empty input range
}

TEST( Utilities, ReplaceAll )
{
	auto replaced = []( std::string s, const std::string& from, const std::string& to ) {
		ReplaceAll( s, from, to );
		return s;
	};
	EXPECT_EQ( replaced( "x+x", "x", "yz" ), "yz+yz" );
	EXPECT_EQ( replaced( "abc", "b", "" ), "ac" );
	EXPECT_EQ( replaced( "same", "same", "same" ), "same" );
	// The search resumes at the replacement, so forward formations go too,
	// but it never looks back before it.
	EXPECT_EQ( replaced( "abb", "ab", "a" ), "a" );
	EXPECT_EQ( replaced( "aab", "ab", "b" ), "ab" );
	// These would never finish if the search resumed inside the replacement.
	EXPECT_EQ( replaced( "a-a", "a", "aa" ), "aa-aa" );
	EXPECT_EQ( replaced( "xbx", "b", "abc" ), "xabcx" );
	EXPECT_EQ( replaced( "text", "", "!" ), "text" );
}

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

TEST( Utilities, PowersOfTwo )
{
	EXPECT_EQ( is_power_of_2( 0u ) + is_power_of_2( 6u ), 0 );
	EXPECT_EQ( is_power_of_2( 0x80000000u ), 1 );
	for( int32_t x = 1; x <= 70000; ++x )
	{
		int64_t expected = 1;
		while( expected < x )
			expected *= 2;
		ASSERT_EQ( npot( x ), expected ) << x;
		ASSERT_EQ( is_power_of_2( uint32_t( x ) ), expected == x ) << x;
	}
	// Beyond 2^30 the answer is bit 31 alone; negative inputs shift bit 31
	// out of 32 bits, which must wrap rather than overflow.
	const std::pair< int32_t, int32_t > edges[] = { { 0, 0 }, { ( 1 << 30 ) + 1, bit31_ }, { bit31_, bit31_ }, { -1, 0 }, { -1000, 0 } };
	for( const auto& [ x, expected ] : edges )
		EXPECT_EQ( npot( x ), expected ) << x;
}

TEST( Utilities, HSVtoRGBFollowsTheChromaFormInBothPrecisions )
{
	for( int step = 0; step < 600; ++step )
	{
		const double h = step / 600.0, s = 0.3 + 0.7 * ( step % 7 ) / 6.0, v = 0.2 + 0.8 * ( step % 5 ) / 4.0;
		// The textbook chroma form, for hues in [0, 1).
		const double c = v * s, x = c * ( 1.0 - std::fabs( std::fmod( h * 6.0, 2.0 ) - 1.0 ) ), m = v - c;
		const double table[ 6 ][ 3 ] = { { c, x, 0 }, { x, c, 0 }, { 0, c, x }, { 0, x, c }, { x, 0, c }, { c, 0, x } };
		double d[ 3 ];
		float f[ 3 ];
		HSVtoRGB( h, s, v, &d[ 0 ], &d[ 1 ], &d[ 2 ] );
		HSVtoRGB( float( h ), float( s ), float( v ), f[ 0 ], f[ 1 ], f[ 2 ] );
		for( int k = 0; k < 3; ++k )
		{
			ASSERT_NEAR( d[ k ], table[ int( h * 6.0 ) ][ k ] + m, 1e-9 ) << h;
			ASSERT_NEAR( f[ k ], table[ int( h * 6.0 ) ][ k ] + m, 1e-5 ) << h;
		}
	}
	double g = -1;
	HSVtoRGB( 1.0 / 3.0, 1.0, 1.0, nullptr, &g, nullptr );// null outputs are skipped
	EXPECT_NEAR( g, 1.0, 1e-12 );
	// Exact cases; unwrapped hues take the last sextant (1 is magenta, -0.1 has
	// fraction 0.4); huge and NaN hues must never become an integer sextant.
	const std::array< float, 6 > cases[] = { { 0.7f, 0, 0.4f, 0.4f, 0.4f, 0.4f }, { 0.25f, 1, 1, 0.5f, 1, 0 }, { 1, 1, 1, 1, 0, 1 }, { -0.1f, 1, 1, 1, 0, 0.6f },
											 { 3e38f, 1, 0.5f, 0.5f, 0, nan_ },    { nan_, 1, 0.5f, 0.5f, 0, nan_ } };
	for( const auto& c : cases )
	{
		float r, g, b;
		HSVtoRGB( c[ 0 ], c[ 1 ], c[ 2 ], r, g, b );
		EXPECT_TRUE( r == c[ 3 ] && g == c[ 4 ] && ( b == c[ 5 ] || std::isnan( c[ 5 ] ) ) ) << c[ 0 ] << ": " << r << " " << g << " " << b;
	}
}

TEST( Utilities, RandomClampAndMap )
{
	srand( 12345 );
	float lowest = 6.0f, highest = 2.0f;
	for( int i = 0; i < 20000; ++i )
	{
		lowest = std::min( lowest, random( 2.0f, 6.0f ) );
		highest = std::max( highest, random( 2.0f, 6.0f ) );
	}
	EXPECT_TRUE( lowest >= 2.0f && lowest < 2.01f && highest > 5.99f && highest <= 6.0f ) << lowest << " " << highest;
	EXPECT_EQ( random( 3.0f, 3.0f ), 3.0f );
	const float reversed = random( 1.0f, -1.0f );
	EXPECT_TRUE( reversed >= -1.0f && reversed <= 1.0f );

	EXPECT_TRUE( clamp01( -0.5f ) == 0.0f && clamp01( 3.0f ) == 1.0f && std::isnan( clamp01( nan_ ) ) );
	EXPECT_TRUE( clamp( 5.0f, 0.0f, 1.0f ) == 1.0f && clamp( -5.0f, 0.0f, 1.0f ) == 0.0f && std::isnan( clamp( nan_, 0.0f, 1.0f ) ) );
	EXPECT_TRUE( clamp( 0.5f, 1.0f, 0.0f ) == 1.0f && clamp( 9.0f, 1.0f, 0.0f ) == 1.0f ) << "reversed bounds: lower wins";
	const std::array< float, 6 > maps[] = {// x, in range, out range, expected
		{ 0.5f, 0, 1, 10, 20, 15 }, { 2, 0, 1, 10, 20, 20 }, { -2, 0, 1, 10, 20, 10 }, { 0.25f, 1, 0, 0, 100, 75 },
		{ 0.5f, 0, 1, 20, 10, 20 }, { 1, 0, 0, 10, 20, 20 },// reversed output range; empty input range
	};
	for( const auto& m : maps )
		EXPECT_FLOAT_EQ( map( m[ 0 ], m[ 1 ], m[ 2 ], m[ 3 ], m[ 4 ] ), m[ 5 ] ) << m[ 0 ] << " " << m[ 1 ] << ".." << m[ 2 ];
}

TEST( Utilities, ReplaceAll )
{
	const std::array< std::string, 4 > cases[] = {// text, find, replacement, result
		{ "x+x", "x", "yz", "yz+yz" }, { "abc", "b", "", "ac" }, { "same", "same", "same", "same" },
		// The search resumes at the replacement, so forward formations go too, but it never looks back before it.
		{ "abb", "ab", "a", "a" }, { "aab", "ab", "b", "ab" },
		// These would never finish if the search resumed inside the replacement.
		{ "a-a", "a", "aa", "aa-aa" }, { "xbx", "b", "abc", "xabcx" }, { "text", "", "!", "text" },
	};
	for( auto [ text, find, replacement, result ] : cases )
	{
		ReplaceAll( text, find, replacement );
		EXPECT_EQ( text, result ) << find << " -> " << replacement;
	}
}
}// namespace

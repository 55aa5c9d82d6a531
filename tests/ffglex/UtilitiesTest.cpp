#include <gtest/gtest.h>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include "ffglex/FFGLUtilities.h"

using namespace ffglex;

namespace
{
const float nan_ = std::numeric_limits< float >::quiet_NaN();
const int32_t bit31_ = std::numeric_limits< int32_t >::min();

// Beyond 2^30 the answer is bit 31 alone; negative inputs shift bit 31 out
// of 32 bits, which must wrap rather than overflow.
TEST( Utilities, PowersOfTwo )
{
	const std::pair< int32_t, int32_t > cases[] = { { 0, 0 },   { 1, 1 },   { 3, 4 },   { 64, 64 }, { 65, 128 }, { 69999, 131072 }, { 1 << 30, 1 << 30 },
													 { ( 1 << 30 ) + 1, bit31_ }, { bit31_, bit31_ }, { -1, 0 }, { -1000, 0 } };
	for( const auto& [ x, expected ] : cases )
		EXPECT_EQ( std::tuple( npot( x ), is_power_of_2( uint32_t( x ) ) ), std::tuple( expected, x == expected && x != 0 ? 1 : 0 ) ) << x;
}

// The textbook chroma form for hues in [0, 1), in both precisions; unwrapped
// hues take the last sextant (1 is magenta, -0.1 has fraction 0.4); huge and
// NaN hues must never become an integer sextant.
TEST( Utilities, HSVtoRGBFollowsTheChromaForm )
{
	for( int step = 0; step < 60; ++step )
	{
		const double h = step / 60.0, s = 0.3 + 0.7 * ( step % 7 ) / 6.0, v = 0.2 + 0.8 * ( step % 5 ) / 4.0;
		const double c = v * s, x = c * ( 1.0 - std::fabs( std::fmod( h * 6.0, 2.0 ) - 1.0 ) ), m = v - c;
		const double table[ 6 ][ 3 ] = { { c, x, 0 }, { x, c, 0 }, { 0, c, x }, { 0, x, c }, { x, 0, c }, { c, 0, x } };
		double d[ 3 ];
		float f[ 3 ];
		HSVtoRGB( h, s, v, &d[ 0 ], &d[ 1 ], &d[ 2 ] );
		HSVtoRGB( float( h ), float( s ), float( v ), f[ 0 ], f[ 1 ], f[ 2 ] );
		for( int k = 0; k < 3; ++k )
			ASSERT_TRUE( std::fabs( d[ k ] - table[ int( h * 6.0 ) ][ k ] - m ) < 1e-9 && std::fabs( f[ k ] - table[ int( h * 6.0 ) ][ k ] - m ) < 1e-5 ) << h;
	}
	double g = -1;
	HSVtoRGB( 1.0 / 3.0, 1.0, 1.0, nullptr, &g, nullptr );// null outputs are skipped
	EXPECT_NEAR( g, 1.0, 1e-12 );
	for( const auto& c : { std::array< float, 6 >{ 1, 1, 1, 1, 0, 1 }, { -0.1f, 1, 1, 1, 0, 0.6f }, { 3e38f, 1, 0.5f, 0.5f, 0, nan_ }, { nan_, 1, 0.5f, 0.5f, 0, nan_ } } )
	{
		float r, g, b;
		HSVtoRGB( c[ 0 ], c[ 1 ], c[ 2 ], r, g, b );
		EXPECT_TRUE( r == c[ 3 ] && g == c[ 4 ] && ( b == c[ 5 ] || std::isnan( c[ 5 ] ) ) ) << c[ 0 ] << ": " << r << " " << g << " " << b;
	}
}

// Reversed bounds: the lower one wins in clamp, random stays between them.
TEST( Utilities, RandomClampAndMap )
{
	srand( 12345 );
	for( int i = 0; i < 1000; ++i )
	{
		const float value = random( 2.0f, 6.0f ), reversed = random( 1.0f, -1.0f );
		ASSERT_TRUE( value >= 2.0f && value <= 6.0f && reversed >= -1.0f && reversed <= 1.0f ) << value << " " << reversed;
	}
	EXPECT_TRUE( clamp01( -0.5f ) == 0.0f && clamp01( 3.0f ) == 1.0f && std::isnan( clamp01( nan_ ) ) && std::isnan( clamp( nan_, 0.0f, 1.0f ) ) );
	EXPECT_TRUE( clamp( 5.0f, 0.0f, 1.0f ) == 1.0f && clamp( 0.5f, 1.0f, 0.0f ) == 1.0f && clamp( 9.0f, 1.0f, 0.0f ) == 1.0f );
	for( const auto& m : { std::array< float, 6 >{ 0.5f, 0, 1, 10, 20, 15 }, { 2, 0, 1, 10, 20, 20 }, { -2, 0, 1, 10, 20, 10 }, { 0.25f, 1, 0, 0, 100, 75 },
						   { 0.5f, 0, 1, 20, 10, 20 }, { 1, 0, 0, 10, 20, 20 } } )// x, in range, out range (reversed; empty input), expected
		EXPECT_FLOAT_EQ( map( m[ 0 ], m[ 1 ], m[ 2 ], m[ 3 ], m[ 4 ] ), m[ 5 ] ) << m[ 0 ] << " " << m[ 1 ] << ".." << m[ 2 ];
}

// The search resumes at the replacement, so forward formations go too, but
// never looks back before it; a replacement holding the pattern, or an empty
// pattern, would otherwise never finish.
TEST( Utilities, ReplaceAll )
{
	for( auto [ text, find, replacement, result ] : { std::array< std::string, 4 >{ "x+x", "x", "yz", "yz+yz" }, { "abc", "b", "", "ac" },
													  { "same", "same", "same", "same" }, { "abb", "ab", "a", "a" }, { "aab", "ab", "b", "ab" },
													  { "a-a", "a", "aa", "aa-aa" }, { "xbx", "b", "abc", "xabcx" }, { "text", "", "!", "text" } } )
	{
		ReplaceAll( text, find, replacement );
		EXPECT_EQ( text, result ) << find << " -> " << replacement;
	}
}
}// namespace

#include "Bt709.h"

#include <cmath>

namespace plughost
{
namespace
{
constexpr float kRed   = 0.2126f;
constexpr float kBlue  = 0.0722f;
constexpr float kGreen = 1.0f - kRed - kBlue;

// Each channel's share of Y', Pb and Pr for every 8-bit value: a frame is
// millions of pixels, and three look-ups and adds are cheaper than the sums.
struct Shares
{
	float y[ 3 ][ 256 ], pb[ 3 ][ 256 ], pr[ 3 ][ 256 ];
	Shares()
	{
		const float weights[ 3 ] = { kRed, kGreen, kBlue };
		for( int c = 0; c < 3; ++c )
			for( int v = 0; v < 256; ++v )
			{
				const float value = v / 255.0f;
				y[ c ][ v ]       = weights[ c ] * value;
				// Pb = (B' - Y') / (2 (1 - Kb)), Pr = (R' - Y') / (2 (1 - Kr)).
				pb[ c ][ v ] = ( ( c == 2 ? value : 0.0f ) - y[ c ][ v ] ) / ( 2.0f * ( 1.0f - kBlue ) );
				pr[ c ][ v ] = ( ( c == 0 ? value : 0.0f ) - y[ c ][ v ] ) / ( 2.0f * ( 1.0f - kRed ) );
			}
	}
};

const Shares& TheShares()
{
	static const Shares shares;
	return shares;
}

uint8_t Clamp8( float value )
{
	// Rounds half up; the value is finite by construction.
	const float rounded = std::floor( value + 0.5f );
	return static_cast< uint8_t >( rounded < 0.0f ? 0.0f : rounded > 255.0f ? 255.0f : rounded );
}
}// namespace

YPbPr ToYPbPr( uint8_t r, uint8_t g, uint8_t b )
{
	const Shares& s = TheShares();
	return { s.y[ 0 ][ r ] + s.y[ 1 ][ g ] + s.y[ 2 ][ b ], s.pb[ 0 ][ r ] + s.pb[ 1 ][ g ] + s.pb[ 2 ][ b ],
			 s.pr[ 0 ][ r ] + s.pr[ 1 ][ g ] + s.pr[ 2 ][ b ] };
}

uint8_t QuantiseLuma( float y, VideoRange range )
{
	return Clamp8( range == VideoRange::Full ? 255.0f * y : 16.0f + 219.0f * y );
}

uint8_t QuantiseChroma( float difference, VideoRange range )
{
	return Clamp8( 128.0f + ( range == VideoRange::Full ? 255.0f : 224.0f ) * difference );
}

YCbCr ToYCbCr( uint8_t r, uint8_t g, uint8_t b, VideoRange range )
{
	const YPbPr v = ToYPbPr( r, g, b );
	return { QuantiseLuma( v.y, range ), QuantiseChroma( v.pb, range ), QuantiseChroma( v.pr, range ) };
}
}// namespace plughost

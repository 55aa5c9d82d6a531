#include "Bt709.h"

#include <algorithm>
#include <cmath>

namespace plughost
{
namespace
{
constexpr float kRed  = 0.2126f;
constexpr float kBlue = 0.0722f;
constexpr float kGreen = 1.0f - kRed - kBlue;

uint8_t Clamp8( float value )
{
	return static_cast< uint8_t >( std::clamp( std::lround( value ), 0L, 255L ) );
}
}// namespace

YPbPr ToYPbPr( uint8_t r, uint8_t g, uint8_t b )
{
	const float rf = r / 255.0f, gf = g / 255.0f, bf = b / 255.0f;
	const float y = kRed * rf + kGreen * gf + kBlue * bf;
	return { y, ( bf - y ) / ( 2.0f * ( 1.0f - kBlue ) ), ( rf - y ) / ( 2.0f * ( 1.0f - kRed ) ) };
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

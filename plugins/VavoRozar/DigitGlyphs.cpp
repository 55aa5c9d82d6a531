#include "DigitGlyphs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace clockglyphs
{
namespace
{
// Segment layout in normalised glyph coordinates (y = 0 on the top row).
constexpr float kCentre = 0.5f;
constexpr float kHalfWidth = 0.3125f;
constexpr float kHalfHeight = 0.46f;
constexpr float kMiddleGap = 0.02f;
constexpr float kEndInset = 0.03f;
constexpr float kStroke = 0.08f;

// Bit s set: segment s lit.
constexpr unsigned char kSegmentMasks[ 10 ] = {
	0x3F,// 0: all but the middle
	0x06,// 1: the two right columns
	0x5B,// 2
	0x4F,// 3
	0x66,// 4
	0x6D,// 5
	0x7D,// 6
	0x07,// 7
	0x7F,// 8
	0x6F,// 9
};

// 16 bytes of ink then 16 of none: the 16 bytes read from offset 16 - n
// hold n bytes of ink.
const unsigned char kInkMask_[ 48 ] = {
	255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
	255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
	0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

// Sets texels x0..x1 (inclusive) of a row, clipped to the image. Strokes
// are short (a few to a few dozen texels), so short spans avoid a memset
// call: up to 16 texels are or-ed in as one 16-byte window with a mask
// (no branch on the length, whose pointed ends vary row by row); up to 32
// take two overlapping 16-byte stores.
inline void FillRow( const GlyphImage& image, int row, int x0, int x1 )
{
	if( row < 0 || row >= image.height )
		return;
	x0 = std::max( x0, 0 );
	x1 = std::min( x1, image.width - 1 );
	if( x0 > x1 )
		return;
	const size_t offset = static_cast< size_t >( row ) * static_cast< size_t >( image.width ) + static_cast< size_t >( x0 );
	const size_t n      = static_cast< size_t >( x1 - x0 + 1 );
	const size_t total  = static_cast< size_t >( image.width ) * static_cast< size_t >( image.height );
	unsigned char* p    = image.data + offset;
	if( n <= 16 && offset + 16 <= total )
	{
		uint64_t lo, hi, maskLo, maskHi;
		std::memcpy( &lo, p, 8 );
		std::memcpy( &hi, p + 8, 8 );
		std::memcpy( &maskLo, kInkMask_ + 32 - n, 8 );
		std::memcpy( &maskHi, kInkMask_ + 40 - n, 8 );
		lo |= maskLo;
		hi |= maskHi;
		std::memcpy( p, &lo, 8 );
		std::memcpy( p + 8, &hi, 8 );
	}
	else if( n >= 16 && n <= 32 )
	{
		std::memcpy( p, kInkMask_, 16 );
		std::memcpy( p + n - 16, kInkMask_, 16 );
	}
	else
	{
		std::memset( p, 255, n );
	}
}
}// namespace

GlyphSize ComputeGlyphSize( uint32_t viewportWidth, int bound )
{
	const float f = static_cast< float >( viewportWidth ) * 0.114f;
	const float doubled = 2.0f * f;
	// Clamp while still in float: a very wide viewport would overflow int.
	int w = doubled >= static_cast< float >( bound ) ? bound : static_cast< int >( doubled );
	w = std::max( 64, w );
	if( w % 2 == 0 )
		++w;
	return GlyphSize{ w, 2 * w + 1 };
}

bool SegmentLit( int digit, int segment )
{
	if( digit < 0 || digit > 9 || segment < 0 || segment > 6 )
		return false;
	return ( kSegmentMasks[ digit ] >> segment ) & 1u;
}

void FillHorizontalSegment( const GlyphImage& image, float centreX, float centreY, float length, float thickness )
{
	const float fw = static_cast< float >( image.width );
	const float fh = static_cast< float >( image.height );
	const int px   = static_cast< int >( centreX * fw );
	const int py   = static_cast< int >( centreY * fh );
	const int len  = static_cast< int >( length * fw );
	const int th   = static_cast< int >( thickness * fh );
	const int half = th / 2;
	for( int i = 0; i < th; ++i )
	{
		const int d = std::abs( i - half );
		FillRow( image, py + i - half, px - len / 2 + d, px + len / 2 - d );
	}
}

void FillVerticalSegment( const GlyphImage& image, float centreX, float centreY, float thickness, float length )
{
	const float fw = static_cast< float >( image.width );
	const float fh = static_cast< float >( image.height );
	const int px  = static_cast< int >( centreX * fw );
	const int py  = static_cast< int >( centreY * fh );
	const int tw  = static_cast< int >( thickness * fw );
	const int len = static_cast< int >( length * fh );
	const int hw  = tw / 2;
	const int hl  = len / 2;
	for( int i = 0; i < len; ++i )
	{
		int inset = 0;
		if( i < hw )
			inset = hw - i;
		else if( i >= len - hw )
			inset = i - ( len - hw );
		FillRow( image, py + i - hl, px - hw + inset, px + hw - inset );
	}
}

void FillDisc( const GlyphImage& image, int centreX, int centreY, int radius )
{
	if( radius <= 0 )
		return;
	const long long r2 = static_cast< long long >( radius ) * radius;
	for( int y = centreY - radius; y < centreY + radius; ++y )
	{
		const long long dy    = y - centreY;
		const long long room  = r2 - dy * dy;// need dx^2 < room
		if( room <= 0 )
			continue;
		// Largest m with m^2 < room; never more than radius - 1, so the
		// span stays inside cx - r .. cx + r - 1.
		long long m = static_cast< long long >( std::sqrt( static_cast< double >( room ) ) );
		while( m > 0 && m * m >= room )
			--m;
		while( ( m + 1 ) * ( m + 1 ) < room )
			++m;
		FillRow( image, y, centreX - static_cast< int >( m ), centreX + static_cast< int >( m ) );
	}
}

void RasteriseGlyph( const GlyphImage& image, int glyph )
{
	if( image.data == nullptr || image.width <= 0 || image.height <= 0 )
		return;
	const float fw = static_cast< float >( image.width );
	const float fh = static_cast< float >( image.height );

	if( glyph == kColonGlyph )
	{
		const int r  = static_cast< int >( 0.125f * fw );
		const int cx = static_cast< int >( 0.5f * fw );
		FillDisc( image, cx, static_cast< int >( 0.33333334f * fh ), r );
		FillDisc( image, cx, static_cast< int >( 0.6666667f * fh ), r );
		return;
	}

	const float aspect      = fw / fh;
	const float columnThick = kStroke / aspect;
	const float p           = kEndInset / aspect;
	const float barLength   = 2.0f * kHalfWidth - ( p + p );

	const float topY    = kCentre - kHalfHeight;
	const float bottomY = kCentre + kHalfHeight;
	const float leftX   = kCentre - kHalfWidth;
	const float rightX  = kCentre + kHalfWidth;

	const float upperStart  = topY + kEndInset;
	const float upperEnd    = kCentre - kMiddleGap;
	const float upperCentre = ( upperStart + upperEnd ) * 0.5f;
	const float upperLength = upperEnd - upperStart;
	const float lowerStart  = kCentre + kMiddleGap;
	const float lowerEnd    = bottomY - kEndInset;
	const float lowerCentre = ( lowerStart + lowerEnd ) * 0.5f;
	const float lowerLength = lowerEnd - lowerStart;

	for( int s = 0; s < 7; ++s )
	{
		if( !SegmentLit( glyph, s ) )
			continue;
		switch( s )
		{
		case 0: FillHorizontalSegment( image, kCentre, topY, barLength, kStroke ); break;
		case 1: FillVerticalSegment( image, rightX, upperCentre, columnThick, upperLength ); break;
		case 2: FillVerticalSegment( image, rightX, lowerCentre, columnThick, lowerLength ); break;
		case 3: FillHorizontalSegment( image, kCentre, bottomY, barLength, kStroke ); break;
		case 4: FillVerticalSegment( image, leftX, lowerCentre, columnThick, lowerLength ); break;
		case 5: FillVerticalSegment( image, leftX, upperCentre, columnThick, upperLength ); break;
		case 6: FillHorizontalSegment( image, kCentre, kCentre, barLength, kStroke ); break;
		}
	}
}
}// namespace clockglyphs

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

const unsigned char kInk_[ 32 ] = {
	255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
	255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
};

// Sets n >= 1 bytes to 255. Strokes are short (a few to a few dozen
// texels), so fixed-size overlapping stores replace a memset call per row.
inline void Ink( unsigned char* p, size_t n )
{
	if( n >= 64 )
		std::memset( p, 255, n );
	else if( n >= 32 )
	{
		std::memcpy( p, kInk_, 32 );
		std::memcpy( p + n - 32, kInk_, 32 );
	}
	else if( n >= 16 )
	{
		std::memcpy( p, kInk_, 16 );
		std::memcpy( p + n - 16, kInk_, 16 );
	}
	else if( n >= 8 )
	{
		std::memcpy( p, kInk_, 8 );
		std::memcpy( p + n - 8, kInk_, 8 );
	}
	else if( n >= 4 )
	{
		std::memcpy( p, kInk_, 4 );
		std::memcpy( p + n - 4, kInk_, 4 );
	}
	else
	{
		p[ 0 ]     = 255;
		p[ n / 2 ] = 255;
		p[ n - 1 ] = 255;
	}
}

// The same n bytes on `rows` rows `stride` apart: the size class is chosen
// once for the whole run of rows.
inline void InkRows( unsigned char* p, size_t n, int rows, size_t stride )
{
	if( n >= 64 )
		for( int r = 0; r < rows; ++r, p += stride )
			std::memset( p, 255, n );
	else if( n >= 32 )
		for( int r = 0; r < rows; ++r, p += stride )
		{
			std::memcpy( p, kInk_, 32 );
			std::memcpy( p + n - 32, kInk_, 32 );
		}
	else if( n >= 16 )
		for( int r = 0; r < rows; ++r, p += stride )
		{
			std::memcpy( p, kInk_, 16 );
			std::memcpy( p + n - 16, kInk_, 16 );
		}
	else if( n >= 8 )
		for( int r = 0; r < rows; ++r, p += stride )
		{
			std::memcpy( p, kInk_, 8 );
			std::memcpy( p + n - 8, kInk_, 8 );
		}
	else
		for( int r = 0; r < rows; ++r, p += stride )
			Ink( p, n );
}

// Texels x0..x1 (inclusive) of a row, clipped to the image.
inline void FillRowClipped( const GlyphImage& image, int row, int x0, int x1 )
{
	if( row < 0 || row >= image.height )
		return;
	x0 = std::max( x0, 0 );
	x1 = std::min( x1, image.width - 1 );
	if( x0 > x1 )
		return;
	Ink( image.data + static_cast< size_t >( row ) * static_cast< size_t >( image.width ) + static_cast< size_t >( x0 ),
	     static_cast< size_t >( x1 - x0 + 1 ) );
}

// Whether rows row0..row1 and columns x0..x1 all lie inside the image, so
// rows can be written without clipping.
inline bool Inside( const GlyphImage& image, int row0, int row1, int x0, int x1 )
{
	return row0 >= 0 && row1 < image.height && x0 >= 0 && x1 < image.width;
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

HorizontalSegment MakeHorizontalSegment( const GlyphImage& image, float centreX, float centreY, float length, float thickness )
{
	const float fw = static_cast< float >( image.width );
	const float fh = static_cast< float >( image.height );
	return HorizontalSegment{ static_cast< int >( centreX * fw ), static_cast< int >( centreY * fh ),
		                      static_cast< int >( length * fw ), static_cast< int >( thickness * fh ) };
}

VerticalSegment MakeVerticalSegment( const GlyphImage& image, float centreX, float centreY, float thickness, float length )
{
	const float fw = static_cast< float >( image.width );
	const float fh = static_cast< float >( image.height );
	return VerticalSegment{ static_cast< int >( centreX * fw ), static_cast< int >( centreY * fh ),
		                    static_cast< int >( thickness * fw ), static_cast< int >( length * fh ) };
}

void FillHorizontalSegment( const GlyphImage& image, const HorizontalSegment& s )
{
	const int half    = s.th / 2;
	const int halfLen = s.len / 2;
	// Row i is shortened by |i - half| at each end.
	if( s.th > 0 && Inside( image, s.py - half, s.py - half + s.th - 1, s.px - halfLen, s.px + halfLen ) )
	{
		const size_t width = static_cast< size_t >( image.width );
		unsigned char* row = image.data + static_cast< size_t >( s.py - half ) * width;
		for( int i = 0; i < s.th; ++i, row += width )
		{
			const int d = std::abs( i - half );
			if( halfLen - d >= 0 )
				Ink( row + ( s.px - halfLen + d ), static_cast< size_t >( 2 * ( halfLen - d ) + 1 ) );
		}
		return;
	}
	for( int i = 0; i < s.th; ++i )
	{
		const int d = std::abs( i - half );
		FillRowClipped( image, s.py + i - half, s.px - halfLen + d, s.px + halfLen - d );
	}
}

void FillVerticalSegment( const GlyphImage& image, const VerticalSegment& s )
{
	const int hw = s.tw / 2;
	const int hl = s.len / 2;
	// Row i is inset by hw - i at the top end, by i - (len - hw) at the
	// bottom end, and not at all in between.
	auto inset = [ & ]( int i ) { return i < hw ? hw - i : ( i >= s.len - hw ? i - ( s.len - hw ) : 0 ); };
	if( s.len > 0 && Inside( image, s.py - hl, s.py - hl + s.len - 1, s.px - hw, s.px + hw ) )
	{
		const size_t width = static_cast< size_t >( image.width );
		unsigned char* row = image.data + static_cast< size_t >( s.py - hl ) * width;
		const int topEnd      = std::min( hw, s.len );
		const int bottomStart = std::max( topEnd, s.len - hw );
		int i = 0;
		for( ; i < topEnd; ++i, row += width )
			Ink( row + ( s.px - hw + inset( i ) ), static_cast< size_t >( 2 * ( hw - inset( i ) ) + 1 ) );
		if( bottomStart > i )
		{
			InkRows( row + ( s.px - hw ), static_cast< size_t >( 2 * hw + 1 ), bottomStart - i, width );
			row += static_cast< size_t >( bottomStart - i ) * width;
			i = bottomStart;
		}
		for( ; i < s.len; ++i, row += width )
		{
			const int in = inset( i );
			if( hw - in >= 0 )
				Ink( row + ( s.px - hw + in ), static_cast< size_t >( 2 * ( hw - in ) + 1 ) );
		}
		return;
	}
	for( int i = 0; i < s.len; ++i )
		FillRowClipped( image, s.py + i - hl, s.px - hw + inset( i ), s.px + hw - inset( i ) );
}

void FillDisc( const GlyphImage& image, int centreX, int centreY, int radius )
{
	if( radius <= 0 )
		return;
	const long long r2 = static_cast< long long >( radius ) * radius;
	for( int y = centreY - radius; y < centreY + radius; ++y )
	{
		const long long dy   = y - centreY;
		const long long room = r2 - dy * dy;// need dx^2 < room
		if( room <= 0 )
			continue;
		// Largest m with m^2 < room; never more than radius - 1, so the
		// span stays inside cx - r .. cx + r - 1.
		long long m = static_cast< long long >( std::sqrt( static_cast< double >( room ) ) );
		while( m > 0 && m * m >= room )
			--m;
		while( ( m + 1 ) * ( m + 1 ) < room )
			++m;
		FillRowClipped( image, y, centreX - static_cast< int >( m ), centreX + static_cast< int >( m ) );
	}
}

GlyphSetRasteriser::GlyphSetRasteriser( int width_, int height_ ) :
	width( std::max( width_, 0 ) ),
	height( std::max( height_, 0 ) ),
	bars{},
	columns{},
	colonRadius( 0 ),
	colonX( 0 ),
	colonUpperY( 0 ),
	colonLowerY( 0 )
{
	if( width == 0 || height == 0 )
		return;
	const GlyphImage image{ nullptr, width, height };
	const float fw = static_cast< float >( width );
	const float fh = static_cast< float >( height );

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

	bars[ 0 ]    = MakeHorizontalSegment( image, kCentre, topY, barLength, kStroke );
	bars[ 1 ]    = MakeHorizontalSegment( image, kCentre, bottomY, barLength, kStroke );
	bars[ 2 ]    = MakeHorizontalSegment( image, kCentre, kCentre, barLength, kStroke );
	columns[ 0 ] = MakeVerticalSegment( image, rightX, upperCentre, columnThick, upperLength );
	columns[ 1 ] = MakeVerticalSegment( image, rightX, lowerCentre, columnThick, lowerLength );
	columns[ 2 ] = MakeVerticalSegment( image, leftX, lowerCentre, columnThick, lowerLength );
	columns[ 3 ] = MakeVerticalSegment( image, leftX, upperCentre, columnThick, upperLength );

	colonRadius = static_cast< int >( 0.125f * fw );
	colonX      = static_cast< int >( 0.5f * fw );
	colonUpperY = static_cast< int >( 0.33333334f * fh );
	colonLowerY = static_cast< int >( 0.6666667f * fh );
}

void GlyphSetRasteriser::Rasterise( unsigned char* zeroed, int glyph ) const
{
	if( zeroed == nullptr || width == 0 || height == 0 )
		return;
	const GlyphImage image{ zeroed, width, height };
	if( glyph == kColonGlyph )
	{
		FillDisc( image, colonX, colonUpperY, colonRadius );
		FillDisc( image, colonX, colonLowerY, colonRadius );
		return;
	}
	// Segments in order: top, upper right, lower right, bottom, lower left,
	// upper left, middle.
	if( SegmentLit( glyph, 0 ) ) FillHorizontalSegment( image, bars[ 0 ] );
	if( SegmentLit( glyph, 1 ) ) FillVerticalSegment( image, columns[ 0 ] );
	if( SegmentLit( glyph, 2 ) ) FillVerticalSegment( image, columns[ 1 ] );
	if( SegmentLit( glyph, 3 ) ) FillHorizontalSegment( image, bars[ 1 ] );
	if( SegmentLit( glyph, 4 ) ) FillVerticalSegment( image, columns[ 2 ] );
	if( SegmentLit( glyph, 5 ) ) FillVerticalSegment( image, columns[ 3 ] );
	if( SegmentLit( glyph, 6 ) ) FillHorizontalSegment( image, bars[ 2 ] );
}

void RasteriseGlyph( const GlyphImage& image, int glyph )
{
	if( image.data == nullptr || image.width <= 0 || image.height <= 0 )
		return;
	GlyphSetRasteriser( image.width, image.height ).Rasterise( image.data, glyph );
}
}// namespace clockglyphs

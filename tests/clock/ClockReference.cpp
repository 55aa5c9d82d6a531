#include "ClockReference.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace clockref
{
namespace
{
constexpr double kTau = 6.28318530718;

struct Vec { double x, y; };
Vec operator-( Vec a, Vec b ) { return { a.x - b.x, a.y - b.y }; }
Vec operator*( Vec a, double k ) { return { a.x * k, a.y * k }; }
double Dot( Vec a, Vec b ) { return a.x * b.x + a.y * b.y; }
double Len( Vec a ) { return std::sqrt( a.x * a.x + a.y * a.y ); }
Vec Direction( double f ) { return { std::sin( f * kTau ), std::cos( f * kTau ) }; }

double Hermite( double t )
{
	t = std::clamp( t, 0.0, 1.0 );
	return t * t * ( 3.0 - 2.0 * t );
}
double Cover( double d, double a ) { return Hermite( ( a - d ) / ( 2.0 * a ) ); }

// Bar from a to b, full width w, flat ends at a and b.
double BarDistance( Vec p, Vec a, Vec b, double w )
{
	const double L = Len( b - a );
	if( L < 0.0001 )
		return Len( p - a ) - w / 2.0;
	const Vec u{ ( b.x - a.x ) / L, ( b.y - a.y ) / L };
	const double qx = std::fabs( Dot( p - a, u ) - L / 2.0 ) - L / 2.0;
	const double qy = std::fabs( Dot( p - a, Vec{ -u.y, u.x } ) ) - w / 2.0;
	return std::hypot( std::max( qx, 0.0 ), std::max( qy, 0.0 ) ) + std::min( std::max( qx, qy ), 0.0 );
}

// Face-space position of a pixel centre, the face-space size of one pixel
// step along x and along y, and the viewport aspect.
struct FaceSpace { Vec p; double stepX, stepY, aspect; };
FaceSpace ToFace( int width, int height, int x, int y, double scale )
{
	const double aspect = static_cast< double >( static_cast< float >( width ) / static_cast< float >( height ) );
	Vec p{ ( x + 0.5 ) / width - 0.5, ( y + 0.5 ) / height - 0.5 };
	double sx = 1.0 / width, sy = 1.0 / height;
	if( aspect > 1.0 )
		p.x *= aspect, sx *= aspect;
	else
		p.y /= aspect, sy /= aspect;
	return { p * ( 1.0 / scale ), sx / scale, sy / scale, aspect };
}

struct Glyph { int width, height; std::vector< uint8_t > texels; };

// Glyph width for a viewport width, with the per-frame bound of 512; the height is 2w + 1.
int GlyphWidthFor( int viewportWidth )
{
	const double twoF = 2.0 * static_cast< double >( static_cast< float >( viewportWidth ) * 0.114f );
	return std::max( static_cast< int >( std::min( std::floor( twoF ), 512.0 ) ), 64 ) | 1;
}

// Bilinear, clamp-to-edge read of a glyph at (s, t), t = 0 on the top row;
// `inked` tells whether any of the four texels read is lit.
double SampleGlyph( const Glyph& glyph, double s, double t, bool& inked )
{
	const double u = s * glyph.width - 0.5, v = t * glyph.height - 0.5;
	const double fu = std::floor( u ), fv = std::floor( v ), wu = u - fu, wv = v - fv;
	auto at = [ & ]( int x, int row ) {
		x   = std::clamp( x, 0, glyph.width - 1 );
		row = std::clamp( row, 0, glyph.height - 1 );
		return glyph.texels[ static_cast< size_t >( row ) * glyph.width + x ] / 255.0;
	};
	const int x0 = static_cast< int >( fu ), r0 = static_cast< int >( fv );
	inked = at( x0, r0 ) + at( x0 + 1, r0 ) + at( x0, r0 + 1 ) + at( x0 + 1, r0 + 1 ) > 0;
	const double top    = at( x0, r0 ) * ( 1 - wu ) + at( x0 + 1, r0 ) * wu;
	const double bottom = at( x0, r0 + 1 ) * ( 1 - wu ) + at( x0 + 1, r0 + 1 ) * wu;
	return top * ( 1 - wv ) + bottom * wv;
}

// One pixel, x from the left, y from the bottom (GL window coordinates).
Pixel AnalogPixel( const FaceInputs& in, int width, int height, int x, int y )
{
	const FaceSpace f = ToFace( width, height, x, y, in.scale );
	const Vec p = f.p, centre{ 0, 0 };
	const double R = f.aspect > 1.0 ? 0.5 * f.aspect : 0.5;
	// Sum of absolute derivatives per axis; the mapping is axis-aligned.
	const double s = std::hypot( f.stepX, f.stepY );
	const double T = std::min( std::max( 0.001, 2.0 * s ), 0.02 ), a = 1.1 * s;

	const double Sa = in.showSeconds ? Cover( BarDistance( p, centre, Direction( in.seconds ) * ( R * 0.9 ), 0.75 * T ), a ) : 0.0;
	double M = 0.0;
	for( int i = 0; i < 12; ++i )
	{
		const Vec d = Direction( i / 12.0 );
		M           = std::max( M, Cover( BarDistance( p, d * ( R - 0.08 * R ), d * R, T ), a ) );
	}
	M = std::max( M, Hermite( ( T + a - std::fabs( Len( p ) - R ) ) / ( 2.0 * a ) ) );
	M = std::max( M, Cover( BarDistance( p, centre, Direction( in.hours ) * ( R * 0.6 ), 4.0 * T ), a ) );
	M = std::max( M, Cover( BarDistance( p, centre, Direction( in.minutes ) * ( R * 0.8 ), 2.0 * T ), a ) );
	M = std::max( M, Cover( Len( p ) - 4.0 * T, a ) );

	const double col[ 3 ] = { in.red, in.green, in.blue };
	const double sec[ 3 ] = { in.redSeconds ? 1.0 : in.red, in.redSeconds ? 0.0 : in.green, in.redSeconds ? 0.0 : in.blue };
	const double A        = M + Sa * ( 1.0 - M );
	double C[ 3 ]         = { 0, 0, 0 };
	if( A > 0.0001 )
		for( int c = 0; c < 3; ++c )
			C[ c ] = ( col[ c ] * M + sec[ c ] * Sa * ( 1.0 - M ) ) / A;
	Pixel out = in.solidBackground ? Pixel{ C[ 0 ] * A, C[ 1 ] * A, C[ 2 ] * A, 1.0 } : Pixel{ C[ 0 ], C[ 1 ], C[ 2 ], A };
	// Straight colour jumps at the composite threshold.
	out.ambiguous = !in.solidBackground && std::fabs( A - 0.0001 ) < 0.00005;
	return out;
}

Pixel DigitalPixel( const FaceInputs& in, const std::vector< Glyph >& glyphs, int width, int height, int x, int y )
{
	const FaceSpace f  = ToFace( width, height, x, y, in.scale );
	const int maxHours = in.hourFormat24h ? 24 : 12;
	const int hours    = std::min( static_cast< int >( in.hours * static_cast< float >( maxHours ) ), maxHours - 1 );
	const int minutes  = std::min( static_cast< int >( in.minutes * 60.0f ), 59 );
	const int seconds  = std::min( static_cast< int >( in.seconds * 60.0f ), 59 );

	const double k  = ( f.aspect > 1.0 ? f.aspect : 1.0 ) / 0.70;
	const double dw = 0.08 * k, dh = 0.15 * k, sp = 0.02 * k, cw = 0.04 * k;
	// Glyph value, or -1 for a colon.
	std::vector< int > row = { hours / 10, hours % 10, -1, minutes / 10, minutes % 10 };
	if( in.showSeconds )
		row.insert( row.end(), { -1, seconds / 10, seconds % 10 } );
	double total = 0.0;
	for( size_t i = 0; i < row.size(); ++i )
		total += ( row[ i ] < 0 ? cw : dw ) + ( i ? sp : 0.0 );

	double mask = 0.0, left = -total / 2.0;
	bool ambiguous = false;
	// Borders closer than this to a pixel centre could fall either way in single precision.
	const double edgeX = 0.01 * f.stepX, edgeY = 0.01 * f.stepY;
	for( int value : row )
	{
		const double bw = value < 0 ? cw : dw, cx = left + bw / 2.0;
		left += bw + sp;
		const double qx = f.p.x - cx, qy = f.p.y;
		const double ex = std::fabs( std::fabs( qx ) - bw / 2.0 ), ey = std::fabs( std::fabs( qy ) - dh / 2.0 );
		ambiguous = ambiguous || ( ex < edgeX && std::fabs( qy ) <= dh / 2.0 + edgeY ) ||
		            ( ey < edgeY && std::fabs( qx ) <= bw / 2.0 + edgeX );
		bool inked = false;
		if( std::fabs( qx ) < bw / 2.0 && std::fabs( qy ) < dh / 2.0 )
			mask = std::max( mask, SampleGlyph( glyphs[ value < 0 ? 10 : value ], ( qx + bw / 2.0 ) / bw, 1.0 - ( qy + dh / 2.0 ) / dh, inked ) );
		// Transparent colour jumps where the mask leaves 0; the GPU's filter
		// weights are coarser than these.
		ambiguous = ambiguous || ( !in.solidBackground && inked && mask < 2.0 / 255.0 );
	}
	if( in.solidBackground )
		return { in.red * mask, in.green * mask, in.blue * mask, 1.0, ambiguous };
	return mask > 0.0 ? Pixel{ in.red, in.green, in.blue, mask, ambiguous } : Pixel{ 0, 0, 0, 0, ambiguous };
}
}// namespace

std::vector< uint8_t > MakeGlyph( int glyph, int width, int height )
{
	std::vector< uint8_t > texels( static_cast< size_t >( width ) * height, 0 );
	const float fw = static_cast< float >( width ), fh = static_cast< float >( height );
	auto set       = [ & ]( int x, int row ) {
        if( x >= 0 && x < width && row >= 0 && row < height )
            texels[ static_cast< size_t >( row ) * width + x ] = 255;
	};
	if( glyph == 10 )
	{
		const int r = static_cast< int >( 0.125f * fw ), cx = static_cast< int >( 0.5f * fw );
		for( int cy : { static_cast< int >( 0.33333334f * fh ), static_cast< int >( 0.6666667f * fh ) } )
			for( int row = cy - r; row <= cy + r - 1; ++row )
				for( int x = cx - r; x <= cx + r - 1; ++x )
					if( ( x - cx ) * ( x - cx ) + ( row - cy ) * ( row - cy ) < r * r )
						set( x, row );
		return texels;
	}
	// Segments: top, upper right, lower right, bottom, lower left, upper left, middle.
	static const char* const lit[ 10 ] = { "1111110", "0110000", "1101101", "1111001", "0110011",
		                                   "1011011", "1011111", "1110000", "1111111", "1111011" };
	const float aspect = fw / fh, colThick = 0.08f / aspect, inset = 0.03f / aspect;
	const float barLength = 0.625f - ( inset + inset );
	const float topY = 0.5f - 0.46f, bottomY = 0.5f + 0.46f;
	const float upperA = topY + 0.03f, upperB = 0.5f - 0.02f, lowerA = 0.5f + 0.02f, lowerB = bottomY - 0.03f;
	const float upperC = ( upperA + upperB ) * 0.5f, upperL = upperB - upperA;
	const float lowerC = ( lowerA + lowerB ) * 0.5f, lowerL = lowerB - lowerA;
	auto bar = [ & ]( float cy ) {
		const int px = static_cast< int >( 0.5f * fw ), py = static_cast< int >( cy * fh );
		const int len = static_cast< int >( barLength * fw ), th = static_cast< int >( 0.08f * fh );
		for( int i = 0; i < th; ++i )
			for( int d = std::abs( i - th / 2 ), x = px - len / 2 + d; x <= px + len / 2 - d; ++x )
				set( x, py + i - th / 2 );
	};
	auto column = [ & ]( float cx, float cy, float length ) {
		const int px = static_cast< int >( cx * fw ), py = static_cast< int >( cy * fh );
		const int hw = static_cast< int >( colThick * fw ) / 2, len = static_cast< int >( length * fh );
		for( int i = 0; i < len; ++i )
		{
			const int in = i < hw ? hw - i : ( i >= len - hw ? i - ( len - hw ) : 0 );
			for( int x = px - hw + in; x <= px + hw - in; ++x )
				set( x, py + i - len / 2 );
		}
	};
	const char* segs = lit[ glyph ];
	if( segs[ 0 ] == '1' ) bar( topY );
	if( segs[ 1 ] == '1' ) column( 0.8125f, upperC, upperL );
	if( segs[ 2 ] == '1' ) column( 0.8125f, lowerC, lowerL );
	if( segs[ 3 ] == '1' ) bar( bottomY );
	if( segs[ 4 ] == '1' ) column( 0.1875f, lowerC, lowerL );
	if( segs[ 5 ] == '1' ) column( 0.1875f, upperC, upperL );
	if( segs[ 6 ] == '1' ) bar( 0.5f );
	return texels;
}

std::vector< Pixel > Frame( const FaceInputs& in, bool digital, int width, int height )
{
	std::vector< Pixel > frame;
	if( !( in.scale > 0.0f ) || !std::isfinite( in.scale ) )
		return std::vector< Pixel >( static_cast< size_t >( width ) * height, Pixel{ 0, 0, 0, in.solidBackground ? 1.0 : 0.0 } );
	std::vector< Glyph > glyphs;
	const int w = GlyphWidthFor( width );
	for( int g = 0; digital && g < 11; ++g )
		glyphs.push_back( { w, 2 * w + 1, MakeGlyph( g, w, 2 * w + 1 ) } );
	for( int y = 0; y < height; ++y )
		for( int x = 0; x < width; ++x )
			frame.push_back( digital ? DigitalPixel( in, glyphs, width, height, x, y ) : AnalogPixel( in, width, height, x, y ) );
	return frame;
}
}// namespace clockref

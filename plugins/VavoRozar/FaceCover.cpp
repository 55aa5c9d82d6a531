#include "FaceCover.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace facecover
{
namespace
{
constexpr double kTau = 6.28318530718;
constexpr int kMaxRingSegments = 256;
// Past this share of the viewport a cover saves nothing over the full quad.
constexpr double kMostOfTheViewport = 0.5;
// Pieces reaching further than this beyond the viewport (in viewports) are
// replaced by their bounding box cut to the viewport.
constexpr double kFar = 4.0;
// Beyond the exact bounds, in pixels: far more than the rounding of the
// programs, of this arithmetic and of the rasteriser's vertex snapping.
constexpr double kMarginPixels = 0.125;

// Face space (the programs' p) to texture coordinate, the inverse of the
// programs' prologue, and the sizes of one pixel.
struct Mapping
{
	double kx, ky;        // texture units per face unit
	double pixelU, pixelV;// one pixel in texture units
	double coarsePixel;   // one pixel in face units, the coarser axis
	double finePixel;     // the finer axis
	double s;             // the analog program's length( fwidth( p ) )
};

bool MakeMapping( const View& view, Mapping& m )
{
	const float aspect = view.aspectRatio, scale = view.scale;
	if( !( scale > 0.0f ) || !std::isfinite( scale ) || !( aspect > 0.0f ) || !std::isfinite( aspect ) ||
		view.width <= 0 || view.height <= 0 )
		return false;
	if( int64_t{ view.width } * view.height < kSmallestCovered )// the viewport GL draws into
		return false;
	m.kx     = aspect > 1.0f ? static_cast< double >( scale ) / aspect : scale;
	m.ky     = aspect > 1.0f ? static_cast< double >( scale ) : static_cast< double >( scale ) * aspect;
	m.pixelU = 1.0 / view.width;
	m.pixelV = 1.0 / view.height;
	const double dx = m.pixelU / m.kx, dy = m.pixelV / m.ky;
	// The program squares these in single precision; far from that range
	// its anti-aliasing width overflows or vanishes, so draw everything.
	const double squared = dx * dx + dy * dy;
	if( !( squared > 1e-24 && squared < 1e24 ) )
		return false;
	m.s           = std::sqrt( squared );
	m.coarsePixel = std::max( dx, dy );
	m.finePixel   = std::min( dx, dy );
	return true;
}

// Collects convex quads as triangles, drops those outside the viewport and
// keeps count of the area covered.
class Emitter
{
public:
	Emitter( const Mapping& m_, Vertex* out_ ) : m( m_ ), out( out_ ) {}

	// Corners in order around the quad, in face space.
	void FaceQuad( const double ( &x )[ 4 ], const double ( &y )[ 4 ] )
	{
		double u[ 4 ], v[ 4 ];
		for( int i = 0; i < 4; ++i )
		{
			u[ i ] = 0.5 + x[ i ] * m.kx;
			v[ i ] = 0.5 + y[ i ] * m.ky;
		}
		const double u0 = std::min( { u[ 0 ], u[ 1 ], u[ 2 ], u[ 3 ] } ), u1 = std::max( { u[ 0 ], u[ 1 ], u[ 2 ], u[ 3 ] } );
		const double v0 = std::min( { v[ 0 ], v[ 1 ], v[ 2 ], v[ 3 ] } ), v1 = std::max( { v[ 0 ], v[ 1 ], v[ 2 ], v[ 3 ] } );
		// A NaN anywhere makes the sum NaN (min and max could pass it by).
		if( !std::isfinite( u[ 0 ] + u[ 1 ] + u[ 2 ] + u[ 3 ] + v[ 0 ] + v[ 1 ] + v[ 2 ] + v[ 3 ] ) )
			failed = true;
		else if( u1 < -m.pixelU || u0 > 1.0 + m.pixelU || v1 < -m.pixelV || v0 > 1.0 + m.pixelV )
			return;
		else if( u0 < -kFar || u1 > 1.0 + kFar || v0 < -kFar || v1 > 1.0 + kFar )
			Rect( u0, v0, u1, v1 );
		else
			Emit( u, v );
	}

	// An axis-aligned rectangle in texture coordinates; cutting it to the
	// viewport changes no covered pixel.
	void Rect( double u0, double v0, double u1, double v1 )
	{
		if( !std::isfinite( u1 - u0 ) || !std::isfinite( v1 - v0 ) )
		{
			failed = true;
			return;
		}
		u0 = std::max( u0, -m.pixelU ), v0 = std::max( v0, -m.pixelV );
		u1 = std::min( u1, 1.0 + m.pixelU ), v1 = std::min( v1, 1.0 + m.pixelV );
		if( u0 >= u1 || v0 >= v1 )
			return;
		const double u[ 4 ] = { u0, u1, u1, u0 }, v[ 4 ] = { v0, v0, v1, v1 };
		Emit( u, v );
	}

	int Finish() const { return failed || area > kMostOfTheViewport ? -1 : count; }

private:
	const Mapping& m;
	Vertex* out;
	int count   = 0;
	double area = 0.0;
	bool failed = false;

	void Emit( const double ( &u )[ 4 ], const double ( &v )[ 4 ] )
	{
		if( count + 6 > kMaxVertices )
		{
			failed = true;
			return;
		}
		area += 0.5 * std::fabs( ( u[ 2 ] - u[ 0 ] ) * ( v[ 3 ] - v[ 1 ] ) - ( u[ 3 ] - u[ 1 ] ) * ( v[ 2 ] - v[ 0 ] ) );
		for( int i : { 0, 1, 2, 0, 2, 3 } )
		{
			const float fu = static_cast< float >( u[ i ] ), fv = static_cast< float >( v[ i ] );
			out[ count++ ] = { fu, fv, 2.0f * fu - 1.0f, 2.0f * fv - 1.0f, 0.0f };
		}
	}
};

// The points t u + s n for t in [from, to] and |s| <= half, where u is a
// unit direction from the centre and n its normal.
void Strip( Emitter& e, double ux, double uy, double from, double to, double half )
{
	const double nx = -uy, ny = ux;
	e.FaceQuad( { ux * from - nx * half, ux * to - nx * half, ux * to + nx * half, ux * from + nx * half },
				{ uy * from - ny * half, uy * to - ny * half, uy * to + ny * half, uy * from + ny * half } );
}

// The annulus between radii r0 and r1 around the centre: the inner polygon
// lies inside r0, the outer one outside r1, each edge at most a quarter
// pixel from its circle (up to the segment limit).
void Ring( Emitter& e, const Mapping& m, double r0, double r1 )
{
	const double radiusInPixels = r1 / m.finePixel;
	double segments             = 8.0;
	if( radiusInPixels > 0.25 )
		segments = kTau / ( 2.0 * std::acos( 1.0 - 0.25 / radiusInPixels ) );
	const int n        = static_cast< int >( std::ceil( std::clamp( segments, 8.0, static_cast< double >( kMaxRingSegments ) ) ) );
	const double step  = kTau / n;
	const double outer = r1 / std::cos( 0.5 * step );
	const double c = std::cos( step ), s = std::sin( step );
	double dx = 0.0, dy = 1.0;
	for( int i = 0; i < n; ++i )
	{
		const double nx = dx * c + dy * s, ny = dy * c - dx * s;
		e.FaceQuad( { dx * r0, dx * outer, nx * outer, nx * r0 }, { dy * r0, dy * outer, ny * outer, ny * r0 } );
		dx = nx, dy = ny;
	}
}

// Cells [first, first + count) of a row as a bit mask (count >= 1).
uint64_t Span( int first, int count )
{
	return ( count >= 64 ? ~uint64_t{ 0 } : ( uint64_t{ 1 } << count ) - 1 ) << first;
}

// Length of the run of set bits starting at bit `first`.
int RunLength( uint64_t bits, int first )
{
	const uint64_t rest = ~( bits >> first );
	return rest == 0 ? 64 - first : __builtin_ctzll( rest );
}

// The rasteriser shades 4 x 4 pixel blocks, a partly covered block as
// dearly as a full one. Marks snapped outwards to a grid of such blocks
// (or of multiples, for large boxes) and merged into rectangles never pay
// for one block twice, except along each rectangle's diagonal.
class BlockGrid
{
public:
	// The window-pixel area all marks will fall in.
	bool Start( double x0, double y0, double x1, double y1 )
	{
		if( !std::isfinite( x1 - x0 ) || !std::isfinite( y1 - y0 ) || x1 < x0 || y1 < y0 )
			return false;
		block = 4.0;
		while( ( x1 - x0 ) / block + 2.0 > kColumns || ( y1 - y0 ) / block + 2.0 > kRows )
			if( ( block *= 2.0 ) > 1e9 )
				return false;
		originX = std::floor( x0 / block ) * block;
		originY = std::floor( y0 / block ) * block;
		used    = Index( y1 - originY, kRows ) + 1;
		std::fill( rows, rows + used, uint64_t{ 0 } );
		return true;
	}

	// Every block holding a pixel centre of the area.
	void Mark( double x0, double y0, double x1, double y1 )
	{
		const double first = std::ceil( x0 - 0.5 ), last = std::floor( x1 - 0.5 );
		const double bottom = std::ceil( y0 - 0.5 ), top = std::floor( y1 - 0.5 );
		if( !( first <= last && bottom <= top ) )
			return;
		const int c0 = Index( first - originX, kColumns ), c1 = Index( last - originX, kColumns );
		const int r0 = Index( bottom - originY, used ), r1 = Index( top - originY, used );
		const uint64_t bits = Span( c0, c1 - c0 + 1 );
		for( int r = r0; r <= r1; ++r )
			rows[ r ] |= bits;
	}

	// Each band of equal rows, each run of blocks in it: one rectangle.
	template< class Sink > void Rects( Sink sink ) const
	{
		for( int r = 0; r < used; )
		{
			const uint64_t bits = rows[ r ];
			int end             = r + 1;
			while( end < used && rows[ end ] == bits )
				++end;
			for( uint64_t rest = bits; rest != 0; )
			{
				const int c = __builtin_ctzll( rest ), n = RunLength( rest, c );
				sink( originX + c * block, originY + r * block, originX + ( c + n ) * block, originY + end * block );
				rest &= ~Span( c, n );
			}
			r = end;
		}
	}

private:
	static constexpr int kColumns = 64;
	static constexpr int kRows    = 128;
	double block = 4.0, originX = 0.0, originY = 0.0;
	int used = 0;
	uint64_t rows[ kRows ];

	// Block index of a window-pixel offset from the origin, clamped to the
	// grid before the conversion (which then truncates a non-negative value).
	int Index( double pixels, int count ) const
	{
		const double index = pixels / block;
		return index > 0.0 ? static_cast< int >( std::min( index, count - 0.5 ) ) : 0;
	}
};

// Rows of equal cells become one band, each run of cells in a band one
// rectangle; too many, and their bounding box stands for them all.
int CellsToRects( const uint32_t* cells, GlyphCover::Rect* rects )
{
	constexpr int kColumns = GlyphCover::kColumns, kRows = GlyphCover::kRows;
	int count = 0, firstRow = kRows, lastRow = -1;
	uint32_t any = 0;
	for( int row = 0; row < kRows; )
	{
		const uint32_t bits = cells[ row ];
		int end             = row + 1;
		while( end < kRows && cells[ end ] == bits )
			++end;
		if( bits != 0 )
		{
			any |= bits, firstRow = std::min( firstRow, row ), lastRow = end - 1;
			for( uint64_t rest = bits; rest != 0; )
			{
				const int c = __builtin_ctzll( rest ), n = RunLength( rest, c );
				if( count < GlyphCover::kMaxRects )
					rects[ count ] = { float( c ) / kColumns, float( row ) / kRows, float( c + n ) / kColumns, float( end ) / kRows };
				++count;
				rest &= ~Span( c, n );
			}
		}
		row = end;
	}
	if( count <= GlyphCover::kMaxRects )
		return count;
	const int first = __builtin_ctz( any ), stop = 32 - __builtin_clz( any );
	rects[ 0 ] = { float( first ) / kColumns, float( firstRow ) / kRows, float( stop ) / kColumns, float( lastRow + 1 ) / kRows };
	return 1;
}

// The program's integer conversion of a fraction, clamped as it clamps.
int Whole( float fraction, float range, int top )
{
	const float product = fraction * range;
	if( !( std::fabs( product ) < 1e6f ) )
		return -1;
	return std::clamp( static_cast< int >( product ), 0, top );
}
}// namespace

void GlyphCover::Clear()
{
	*this = GlyphCover();
}

void GlyphCover::Add( const unsigned char* texels, int width, int height, int glyph )
{
	constexpr int kMaxWidth = 1024;
	if( texels == nullptr || width <= 0 || height <= 0 || glyph < 0 || glyph > kColon )
		return;
	uint32_t* glyphCells = cells[ glyph ];
	if( width > kMaxWidth )
	{
		// Not a size the clock makes: every cell may be inked.
		std::fill( glyphCells, glyphCells + kRows, ~0u );
		return;
	}
	// Linear filtering reads texel x for s in [x - 0.5, x + 1.5) / width;
	// one more half texel on each side absorbs the filter's rounding.
	uint32_t columnCells[ kMaxWidth ], wordCells[ kMaxWidth / 8 ] = {};
	for( int x = 0; x < width; ++x )
	{
		const int c0 = std::max( 0, ( x - 1 ) * kColumns / width );
		const int c1 = std::min( kColumns - 1, ( x + 2 ) * kColumns / width );
		columnCells[ x ] = static_cast< uint32_t >( Span( c0, c1 - c0 + 1 ) );
		if( x / 8 < width / 8 )
			wordCells[ x / 8 ] |= columnCells[ x ];
	}
	// Glyph rows are long runs of 0 or 255 and repeat for many rows: whole
	// words and repeated rows are settled at once.
	const unsigned char* previous = nullptr;
	uint32_t bits                 = 0;
	for( int row = 0; row < height; ++row )
	{
		const unsigned char* p = texels + static_cast< size_t >( row ) * static_cast< size_t >( width );
		if( previous == nullptr || std::memcmp( p, previous, static_cast< size_t >( width ) ) != 0 )
		{
			bits = 0;
			int x = 0;
			for( ; x + 8 <= width; x += 8 )
			{
				uint64_t word;
				std::memcpy( &word, p + x, 8 );
				if( word == ~uint64_t{ 0 } )
					bits |= wordCells[ x / 8 ];
				else if( word != 0 )
					for( int k = x; k < x + 8; ++k )
						bits |= p[ k ] != 0 ? columnCells[ k ] : 0u;
			}
			for( ; x < width; ++x )
				bits |= p[ x ] != 0 ? columnCells[ x ] : 0u;
		}
		previous = p;
		if( bits == 0 )
			continue;
		const int r0 = std::max( 0, static_cast< int >( ( static_cast< int64_t >( row ) - 1 ) * kRows / height ) );
		const int r1 = std::min( kRows - 1, static_cast< int >( ( static_cast< int64_t >( row ) + 2 ) * kRows / height ) );
		for( int r = r0; r <= r1; ++r )
			glyphCells[ r ] |= bits;
	}
}

void GlyphCover::Finish()
{
	for( int r = 0; r < kRows; ++r )
	{
		cells[ kAnyDigit ][ r ] = 0;
		for( int digit = 0; digit < 10; ++digit )
			cells[ kAnyDigit ][ r ] |= cells[ digit ][ r ];
	}
	for( int entry = 0; entry < kEntries; ++entry )
		counts[ entry ] = CellsToRects( cells[ entry ], rects[ entry ] );
}

void ReadOut( float hours, float minutes, float seconds, bool hourFormat24h, int ( &digits )[ 6 ] )
{
	const int values[ 3 ] = { Whole( hours, hourFormat24h ? 24.0f : 12.0f, hourFormat24h ? 23 : 11 ),
							  Whole( minutes, 60.0f, 59 ), Whole( seconds, 60.0f, 59 ) };
	for( int i = 0; i < 3; ++i )
	{
		digits[ 2 * i ]     = values[ i ] < 0 ? -1 : values[ i ] / 10;
		digits[ 2 * i + 1 ] = values[ i ] < 0 ? -1 : values[ i ] % 10;
	}
}

int Analog( const View& view, const Hands& hands, Vertex* out )
{
	Mapping m;
	if( !MakeMapping( view, m ) )
		return -1;
	for( float f : { hands.hours, hands.minutes, hands.seconds } )
		if( !( std::fabs( f ) < 1024.0f ) )// far turns: the program's sine drifts from ours
			return -1;

	// The program's radius, line thickness and anti-aliasing width: coverage
	// is exactly 0 from `a` beyond each shape.
	const double aspect = view.aspectRatio;
	const double R      = aspect > 1.0 ? 0.5 * aspect : 0.5;
	const double T      = std::min( std::max( 0.001, 2.0 * m.s ), 0.02 );
	const double reach  = 1.1 * m.s + kMarginPixels * m.coarsePixel;

	Emitter e( m, out );
	// The ring, which also holds the outer ends of the ticks, as long as each
	// tick's reach stays inside it (not so in tiny viewports).
	const double inner = std::max( 0.0, R - T - reach ), outer = R + T + reach;
	Ring( e, m, inner, outer );
	const bool ringHoldsTickEnds = reach * reach <= 2.0 * T * R + T * reach + 0.75 * T * T;
	const double tickEnd         = ringHoldsTickEnds ? inner + kMarginPixels * m.coarsePixel : R + reach;
	// Directions of the twelve ticks: sin and cos of 0, 30, ... 330 degrees.
	constexpr double kHalf = 0.5, kRoot = 0.86602540378443865;
	constexpr double kTick[ 12 ][ 2 ] = { { 0, 1 }, { kHalf, kRoot }, { kRoot, kHalf }, { 1, 0 }, { kRoot, -kHalf }, { kHalf, -kRoot },
										  { 0, -1 }, { -kHalf, -kRoot }, { -kRoot, -kHalf }, { -1, 0 }, { -kRoot, kHalf }, { -kHalf, kRoot } };
	for( const auto& d : kTick )
		Strip( e, d[ 0 ], d[ 1 ], R - 0.08 * R - reach, tickEnd, 0.5 * T + reach );

	// The centre disc (radius 4T) as a square; each hand (at least 0.3 long,
	// so never the program's short-bar disc) from where it leaves the disc's
	// reach to its tip.
	const double disc = 4.0 * T + reach;
	e.FaceQuad( { -disc, disc, disc, -disc }, { -disc, -disc, disc, disc } );
	const struct { float turn; double length, width; bool shown; } hand[ 3 ] = {
		{ hands.hours, 0.6, 4.0, true }, { hands.minutes, 0.8, 2.0, true }, { hands.seconds, 0.9, 0.75, hands.showSeconds } };
	for( const auto& h : hand )
	{
		const double L = R * h.length, half = 0.5 * h.width * T + reach;
		if( !h.shown )
			continue;
		const double theta = h.turn * kTau;
		const double start = half < disc ? std::sqrt( disc * disc - half * half ) : -reach;
		if( start < L + reach )
			Strip( e, std::sin( theta ), std::cos( theta ), std::max( -reach, start - kMarginPixels * m.coarsePixel ), L + reach, half );
	}
	return e.Finish();
}

int Digital( const View& view, bool showSeconds, const int ( &digits )[ 6 ], const GlyphCover& glyphs, Vertex* out )
{
	Mapping m;
	if( !MakeMapping( view, m ) )
		return -1;
	const double k  = ( view.aspectRatio > 1.0f ? view.aspectRatio : 1.0 ) / 0.70;
	const double dw = 0.08 * k, dh = 0.15 * k, sp = 0.02 * k, cw = 0.04 * k;
	const int count    = showSeconds ? 8 : 5;
	const double total = showSeconds ? 6.0 * dw + 2.0 * cw + 7.0 * sp : 4.0 * dw + cw + 4.0 * sp;
	// Box order: hour tens and units, colon, minutes, colon, seconds.
	constexpr int kDigitOfBox[ 8 ] = { 0, 1, -1, 2, 3, -1, 4, 5 };

	// Face space to window pixels.
	const double scaleX = m.kx * view.width, scaleY = m.ky * view.height;
	const double centreX = view.x + 0.5 * view.width, centreY = view.y + 0.5 * view.height;
	const double margin  = kMarginPixels;

	Emitter e( m, out );
	auto windowRect = [ & ]( double x0, double y0, double x1, double y1 ) {
		e.Rect( ( x0 - view.x ) * m.pixelU, ( y0 - view.y ) * m.pixelV, ( x1 - view.x ) * m.pixelU, ( y1 - view.y ) * m.pixelV );
	};
	BlockGrid grid;
	double cx = -0.5 * total + 0.5 * dw, previous = dw;
	for( int i = 0; i < count; ++i )
	{
		const bool colon = kDigitOfBox[ i ] < 0;
		const double bw  = colon ? cw : dw;
		if( i > 0 )
			cx += 0.5 * previous + sp + 0.5 * bw;
		previous        = bw;
		const int entry = colon ? GlyphCover::kColon : digits[ kDigitOfBox[ i ] ] >= 0 ? digits[ kDigitOfBox[ i ] ] : GlyphCover::kAnyDigit;

		// The box in window pixels; s runs right from its left edge, t down from its top.
		const double left = centreX + ( cx - 0.5 * bw ) * scaleX, width = bw * scaleX;
		const double top = centreY + 0.5 * dh * scaleY, height = dh * scaleY;
		const bool snapped = grid.Start( left - 1.0, top - height - 1.0, left + width + 1.0, top + 1.0 );
		const GlyphCover::Rect* rects = glyphs.Rects( entry );
		for( int r = 0; r < glyphs.Count( entry ); ++r )
		{
			const double x0 = left + rects[ r ].s0 * width - margin, x1 = left + rects[ r ].s1 * width + margin;
			const double y0 = top - rects[ r ].t1 * height - margin, y1 = top - rects[ r ].t0 * height + margin;
			if( snapped )
				grid.Mark( x0, y0, x1, y1 );
			else
				windowRect( x0, y0, x1, y1 );
		}
		if( snapped )
			grid.Rects( windowRect );
	}
	return e.Finish();
}
}// namespace facecover

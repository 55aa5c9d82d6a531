// Seven-segment digit and colon glyphs rasterised on the CPU, plus the rule
// that picks the glyph size from the viewport width. No GL here, so the
// rasteriser can be measured and checked on its own.
#pragma once

#include <cstdint>

namespace clockglyphs
{
// Glyphs 0..9 are the digits, glyph 10 the colon.
constexpr int kGlyphCount = 11;
constexpr int kColonGlyph = 10;

// Upper bounds of the glyph width: the first set is built smaller so that
// instantiation stays cheap; frames may then grow it.
constexpr int kInitialGlyphBound = 384;
constexpr int kFrameGlyphBound = 512;

struct GlyphSize
{
	int width;
	int height;
};

// Odd width between 65 and bound + 1, height = 2 * width + 1. Safe for every
// viewport width a host can send.
GlyphSize ComputeGlyphSize( uint32_t viewportWidth, int bound );

// Whether segment 0..6 (top, upper right, lower right, bottom, lower left,
// upper left, middle) is lit for a digit; false outside 0..9.
bool SegmentLit( int digit, int segment );

// A width x height byte image, row 0 on top. The fill functions only ever
// write 255 and clip to the image.
struct GlyphImage
{
	unsigned char* data;
	int width;
	int height;
};

// A bar with 45-degree pointed ends, in texels: centre (px, py), length
// len (the middle row spans len / 2 * 2 + 1 texels), th rows.
struct HorizontalSegment
{
	int px, py, len, th;
};
// A column with 45-degree pointed ends, in texels: centre (px, py), width
// tw (full rows span tw / 2 * 2 + 1 texels), len rows.
struct VerticalSegment
{
	int px, py, tw, len;
};

// Texel geometry from normalised values: length is a fraction of the width,
// thickness a fraction of the height (horizontal), and the other way round
// (vertical).
HorizontalSegment MakeHorizontalSegment( const GlyphImage& image, float centreX, float centreY, float length, float thickness );
VerticalSegment MakeVerticalSegment( const GlyphImage& image, float centreX, float centreY, float thickness, float length );

void FillHorizontalSegment( const GlyphImage& image, const HorizontalSegment& segment );
void FillVerticalSegment( const GlyphImage& image, const VerticalSegment& segment );
// Filled disc: texels with (x - cx)^2 + (y - cy)^2 < r^2, for x in
// cx - r .. cx + r - 1 and y in cy - r .. cy + r - 1.
void FillDisc( const GlyphImage& image, int centreX, int centreY, int radius );

// The geometry of one glyph size, worked out once; each glyph is then drawn
// into a zeroed image of that size.
class GlyphSetRasteriser
{
public:
	GlyphSetRasteriser( int width, int height );
	// Glyph 0..9 (digit) or 10 (colon) into a zeroed width x height image.
	void Rasterise( unsigned char* zeroed, int glyph ) const;

private:
	int width, height;
	HorizontalSegment bars[ 3 ];  // top, bottom, middle
	VerticalSegment columns[ 4 ];// upper right, lower right, lower left, upper left
	int colonRadius, colonX, colonUpperY, colonLowerY;
};

// One glyph into a zeroed image.
void RasteriseGlyph( const GlyphImage& image, int glyph );
}// namespace clockglyphs

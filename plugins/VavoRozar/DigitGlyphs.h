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

// A width x height byte image, row 0 on top; the fill functions only ever
// write 255 and clip to the image.
struct GlyphImage
{
	unsigned char* data;
	int width;
	int height;
};

// Bar with 45-degree pointed ends: length is a fraction of the width,
// thickness a fraction of the height.
void FillHorizontalSegment( const GlyphImage& image, float centreX, float centreY, float length, float thickness );
// Column with 45-degree pointed ends: thickness is a fraction of the width,
// length a fraction of the height.
void FillVerticalSegment( const GlyphImage& image, float centreX, float centreY, float thickness, float length );
// Filled disc: texels with (x - cx)^2 + (y - cy)^2 < r^2.
void FillDisc( const GlyphImage& image, int centreX, int centreY, int radius );

// Draw one glyph (0..9 digit, 10 colon) into a zeroed image.
void RasteriseGlyph( const GlyphImage& image, int glyph );
}// namespace clockglyphs

// CPU model of the clock's two faces and its glyph images, written from the
// drawing formulas alone so the GPU frames can be checked against it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace clockref
{
struct FaceInputs
{
	float red = 0.8f, green = 0.8f, blue = 0.8f;
	float hours = 0.0f, minutes = 0.0f, seconds = 0.0f;
	bool showSeconds = true;
	bool solidBackground = true;
	bool redSeconds = false;   // analog only
	bool hourFormat24h = false;// digital only
	float scale = 0.5f;
};

struct Pixel
{
	double r, g, b, a;
	// The reference cannot say which side the GPU takes: the pixel sits on a
	// discontinuity (box border, composite threshold).
	bool ambiguous = false;
};

// width x height byte image, row 0 on top.
struct Glyph
{
	int width = 0, height = 0;
	std::vector< uint8_t > texels;
	uint8_t At( int x, int row ) const { return texels[ static_cast< size_t >( row ) * width + x ]; }
	int LitCount() const;
};

// Glyph size for a viewport width and bound (the per-frame bound is 512).
std::array< int, 2 > GlyphSizeFor( double viewportWidth, int bound );
// Digit 0..9 or the colon (10).
Glyph MakeGlyph( int glyph, int width, int height );
// Bilinear, clamp-to-edge read of a glyph at (s, t), t = 0 on the top row.
double SampleGlyph( const Glyph& glyph, double s, double t );

// One pixel, x from the left, y from the bottom (GL window coordinates).
Pixel AnalogPixel( const FaceInputs& in, int width, int height, int x, int y );

class DigitalFace
{
public:
	DigitalFace( int width, int height, int glyphWidth, int glyphHeight );
	Pixel At( const FaceInputs& in, int x, int y ) const;

private:
	int width, height;
	std::vector< Glyph > glyphs;
};
}// namespace clockref

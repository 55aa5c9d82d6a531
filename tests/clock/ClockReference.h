// CPU model of the clock's two faces and its glyph images, written from the
// drawing formulas alone so the GPU frames can be checked against it.
#pragma once

#include <cstdint>
#include <vector>

namespace clockref
{
// Listed in the order the tests' tables give them.
struct FaceInputs
{
	float red = 0.8f, green = 0.8f, blue = 0.8f;
	float hours = 0.0f, minutes = 0.0f, seconds = 0.0f;
	float scale = 0.5f;
	bool showSeconds = true, solidBackground = true;
	bool redSeconds = false;   // analog only
	bool hourFormat24h = false;// digital only
};

struct Pixel
{
	double r, g, b, a;
	// On a discontinuity (box border, composite threshold): the GPU may take either side.
	bool ambiguous = false;
};

// Digit 0..9 or the colon (10): width x height bytes, row 0 on top.
std::vector< uint8_t > MakeGlyph( int glyph, int width, int height );
// A whole frame of the analog or digital face, row by row from the bottom.
std::vector< Pixel > Frame( const FaceInputs& in, bool digital, int width, int height );
}// namespace clockref

// R'G'B' to Y'CbCr with the BT.709 coefficients, 8 bits a sample. The RGB
// values are taken as already gamma-encoded, as PNG and the plug-ins' frames
// are; no linearisation happens.
#pragma once

#include <cstdint>

namespace plughost
{
enum class VideoRange
{
	Limited,// Y' 16..235, Cb and Cr 16..240: what players assume for video
	Full,   // every sample 0..255
};

struct YCbCr
{
	uint8_t y = 0, cb = 128, cr = 128;
};

// The colour differences before quantisation: Y' in 0..1, Pb and Pr in
// -0.5..0.5. Kept separate so chroma can be averaged before rounding.
struct YPbPr
{
	float y = 0.0f, pb = 0.0f, pr = 0.0f;
};

YPbPr ToYPbPr( uint8_t r, uint8_t g, uint8_t b );
uint8_t QuantiseLuma( float y, VideoRange range );
uint8_t QuantiseChroma( float difference, VideoRange range );
YCbCr ToYCbCr( uint8_t r, uint8_t g, uint8_t b, VideoRange range );
}// namespace plughost

// An RGBA8 picture in memory, top row first, rows tightly packed.
#pragma once

#include <cstdint>
#include <vector>

namespace plughost
{
struct Image
{
	uint32_t width  = 0;
	uint32_t height = 0;
	std::vector< uint8_t > pixels;// width * height * 4 bytes

	Image() = default;
	Image( uint32_t w, uint32_t h );// transparent black

	uint8_t* At( uint32_t x, uint32_t y ) { return pixels.data() + ( static_cast< std::size_t >( y ) * width + x ) * 4; }
	const uint8_t* At( uint32_t x, uint32_t y ) const { return pixels.data() + ( static_cast< std::size_t >( y ) * width + x ) * 4; }
	bool operator==( const Image& other ) const;
	bool operator!=( const Image& other ) const { return !( *this == other ); }
};

struct Rgba
{
	uint8_t r = 0, g = 0, b = 0, a = 255;
};

// Test pictures for effect and mixer inputs.
Image SolidImage( uint32_t width, uint32_t height, Rgba colour );
Image CheckerImage( uint32_t width, uint32_t height, uint32_t cell, Rgba first, Rgba second );
// Red grows left to right, green top to bottom, blue constant, opaque.
Image GradientImage( uint32_t width, uint32_t height );
// The largest side of an image, a frame or a render target: 16384 matches
// the largest texture a typical GL implementation takes.
inline constexpr uint32_t kMaxImageSide = 16384;
// Rejects sizes whose byte count would overflow or exceed a sane limit.
void CheckImageSize( uint32_t width, uint32_t height );
}// namespace plughost

// Puts a straight-alpha frame over an opaque background, for viewing: video
// has no alpha, and a transparent PNG hides what it holds in most viewers.
#pragma once

#include "Image.h"

#include <cstdint>

namespace plughost
{
struct Background
{
	enum class Kind
	{
		Solid,
		Checker,
	};
	Kind kind = Kind::Solid;
	Rgba colour{ 0, 0, 0, 255 };// Solid only

	static Background Black() { return {}; }
	static Background Checkerboard() { return { Kind::Checker, {} }; }
	static Background Colour( uint8_t r, uint8_t g, uint8_t b ) { return { Kind::Solid, { r, g, b, 255 } }; }
};

// The checkerboard's squares and their two greys, for tests and docs.
constexpr uint32_t kCheckerCell    = 16;
constexpr uint8_t kCheckerLight    = 0x99;
constexpr uint8_t kCheckerDark     = 0x66;

// The background's colour at pixel (x, y), top row first.
Rgba BackgroundAt( const Background& background, uint32_t x, uint32_t y );

// Every pixel becomes colour * alpha + background * (1 - alpha), rounded,
// with alpha 255. Colour is taken as not premultiplied.
void CompositeOver( Image& frame, const Background& background );
}// namespace plughost

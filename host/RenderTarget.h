// An off-screen RGBA8 framebuffer with a depth buffer for plug-ins to draw
// into. Needs a current GL context for its whole life.
#pragma once

#include "Image.h"

#include <cstdint>

namespace plughost
{
class RenderTarget
{
public:
	// Throws Error when the size is unusable or the framebuffer is incomplete.
	RenderTarget( uint32_t width, uint32_t height );
	~RenderTarget();
	RenderTarget( const RenderTarget& )            = delete;
	RenderTarget& operator=( const RenderTarget& ) = delete;

	uint32_t Width() const { return width; }
	uint32_t Height() const { return height; }
	uint32_t Framebuffer() const { return framebuffer; }
	uint32_t Texture() const { return texture; }

	// Binds for drawing and reading and sets the viewport to the whole target.
	void Bind() const;
	// Binds, then clears colour (and depth) to the given colour.
	void Clear( float r = 0.0f, float g = 0.0f, float b = 0.0f, float a = 0.0f ) const;
	// The pixels, top row first.
	Image ReadPixels() const;

private:
	uint32_t width       = 0;
	uint32_t height      = 0;
	uint32_t framebuffer = 0;
	uint32_t texture     = 0;
	uint32_t depth       = 0;

	void Release() noexcept;
};

// Binds `framebuffer` for reading its first colour attachment into client
// memory, tightly packed, whatever bindings and pack state a plug-in left.
void BindForReadPixels( uint32_t framebuffer );
}// namespace plughost

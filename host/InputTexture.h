// An RGBA8 texture handed to a plug-in as a frame input (code 17). The
// allocation may be larger than the picture: the picture fills the first
// rows and columns of texture memory, with its top row last, so texture
// coordinate (0,0) is the picture's lower-left corner.
#pragma once

#include "Image.h"

#include <ffgl/FFGL.h>

#include <array>
#include <cstdint>
#include <vector>

namespace plughost
{
class InputTexture
{
public:
	// A hardware size of 0 means "same as the picture". Throws Error when the
	// hardware size is smaller than the picture. The allocation beyond the
	// picture is filled with `padding` (RGBA), transparent black by default.
	explicit InputTexture( const Image& image, uint32_t hardwareWidth = 0, uint32_t hardwareHeight = 0,
						   std::array< uint8_t, 4 > padding = {} );
	~InputTexture();
	InputTexture( const InputTexture& )            = delete;
	InputTexture& operator=( const InputTexture& ) = delete;

	const FFGLTextureStruct& Texture() const { return record; }
	uint32_t Handle() const { return record.Handle; }

	// Replaces the picture with `pixels` (RGBA, top row first, the picture's
	// size); null makes it transparent black.
	void Replace( const uint8_t* pixels );

private:
	FFGLTextureStruct record{};
	std::vector< uint8_t > staging;// for Replace: the picture as GL rows run

	void Upload( const uint8_t* topRowFirst, std::vector< uint8_t >& bottomUp );
};

// The next power of two at or above `size` (1 for 0).
uint32_t NextPowerOfTwo( uint32_t size );
}// namespace plughost

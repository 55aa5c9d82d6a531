// The part of a host texture that holds picture, as texture coordinates.
#pragma once

#include "../ffgl/FFGL.h"

namespace ffglqs
{
struct TexCoords
{
	float s;
	float t;
};

// Width over hardware width and height over hardware height: the largest
// coordinates to sample when the allocation is larger than the image.
TexCoords GetMaxGLTexCoords( FFGLTextureStruct texture );

}// namespace ffglqs

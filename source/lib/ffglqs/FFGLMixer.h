// A quick-start plug-in that blends two input textures: the first is
// `textureDest` at `i_uv_dest`, the second `textureSrc` at `i_uv_src`. Its
// parameter 0 is always the float `mixVal`.
#pragma once

#include "FFGLQSPlugin.h"
#include "FFGLTexCoords.h"

namespace ffglqs
{
class Mixer : public Plugin
{
public:
	explicit Mixer( bool supportTopLeftTextureOrientation = false );

	FFResult Render( ProcessOpenGLStruct* inputTextures ) override;
};

}// namespace ffglqs

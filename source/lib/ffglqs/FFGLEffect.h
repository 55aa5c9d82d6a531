// A quick-start plug-in that processes one input texture, offered to the
// program as `inputTexture`, sampled at `i_uv`.
#pragma once

#include "FFGLQSPlugin.h"
#include "FFGLTexCoords.h"

namespace ffglqs
{
class Effect : public Plugin
{
public:
	explicit Effect( bool supportTopLeftTextureOrientation = false );

	FFResult Render( ProcessOpenGLStruct* inputTextures ) override;
};

}// namespace ffglqs

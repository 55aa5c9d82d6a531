// A quick-start plug-in that makes its own image: no input textures.
#pragma once

#include "FFGLQSPlugin.h"

namespace ffglqs
{
class Source : public Plugin
{
public:
	explicit Source( bool supportTopLeftTextureOrientation = false );
};

}// namespace ffglqs

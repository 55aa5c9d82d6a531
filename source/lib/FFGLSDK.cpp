// The SDK's unity source: the whole library is compiled from this file.

// Host interface
#include "ffgl/FFGLLog.cpp"
#include "ffgl/FFGLPluginInfo.cpp"
#include "ffgl/FFGLThumbnailInfo.cpp"
#include "ffgl/FFGLPluginManager.cpp"
#include "ffgl/FFGLPlugin.cpp"
#include "ffgl/FFGL.cpp"

// GL toolkit
#include "ffglex/FFGLExtensions.cpp"

// Quick-start framework
#include "ffglqs/FFGLQuickStart.cpp"

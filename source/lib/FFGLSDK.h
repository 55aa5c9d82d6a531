// Everything a plug-in author needs from the SDK.
#pragma once

#include "ffgl/FFGL.h"
#include "ffgl/FFGLLog.h"
#include "ffgl/FFGLPluginInfo.h"
#include "ffgl/FFGLPluginManager.h"
#include "ffgl/FFGLPlugin.h"

// GL toolkit
#include "ffglex/FFGLExtensions.h"

// Quick-start framework
#include "ffglqs/FFGLQuickStart.h"

// GL toolkit: includes every ffglex header.
#pragma once

#include "FFGLGL.h"
#include "FFGLLogging.h"
#include "FFGLShader.h"
#include "FFGLScreenQuad.h"
#include "FFGLScopedBufferBinding.h"
#include "FFGLScopedTextureBinding.h"
#include "FFGLScopedShaderBinding.h"
#include "FFGLScopedVAOBinding.h"
#include "FFGLScopedSamplerActivation.h"
#include "FFGLScopedRenderBufferBinding.h"
#include "FFGLScopedFBOBinding.h"
#include "FFGLFBO.h"
#include "FFGLUtilities.h"

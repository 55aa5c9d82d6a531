// Quick-start framework: includes every ffglqs header.
#pragma once

#include "FFGLParam.h"
#include "FFGLAudio.h"
#include "FFGLRandom.h"
#include "FFGLShaderSnippets.h"
#include "FFGLQSPlugin.h"
#include "FFGLTexCoords.h"
#include "FFGLSource.h"
#include "FFGLEffect.h"
#include "FFGLMixer.h"

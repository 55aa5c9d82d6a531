// Everything a host program needs, in one include.
#pragma once

#include "ChildProcess.h"
#include "Error.h"
#include "GLCensus.h"
#include "GLContext.h"
#include "HeapUsage.h"
#include "Image.h"
#include "InputTexture.h"
#include "Instance.h"
#include "Mixed.h"
#include "PluginDescription.h"
#include "PluginLibrary.h"
#include "Png.h"
#include "RenderFrame.h"
#include "RenderTarget.h"

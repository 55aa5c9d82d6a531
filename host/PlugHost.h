// Everything a host program needs, in one include.
#pragma once

#include "Error.h"
#include "GLContext.h"
#include "Image.h"
#include "InputTexture.h"
#include "Instance.h"
#include "Mixed.h"
#include "PluginDescription.h"
#include "PluginLibrary.h"
#include "Png.h"
#include "RenderFrame.h"
#include "RenderTarget.h"

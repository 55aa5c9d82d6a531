// The OpenGL declarations every toolkit header needs. The system GL library
// exports all core entry points, so prototypes are used directly.
#pragma once

#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/glcorearb.h>

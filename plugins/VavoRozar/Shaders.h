// GLSL texts of the clock: one shared vertex stage and the two face programs.
#pragma once

extern const char vertexShaderCode_[];
extern const char analogFragmentShaderCode_[];
extern const char digitalFragmentShaderCode_[];

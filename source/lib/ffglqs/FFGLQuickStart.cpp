// Quick-start framework sources, included by the unity source.
#include "FFGLParam.cpp"
#include "FFGLAudio.cpp"
#include "FFGLRandom.cpp"
#include "FFGLQSPlugin.cpp"
#include "FFGLSourceEffectMixer.cpp"

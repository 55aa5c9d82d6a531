#pragma once

#include <FFGLSDK.h>

// An effect: gain and contrast on the input, optional inversion, and a
// trigger that flashes one frame white.
class ToneGrade : public ffglqs::Effect
{
public:
	ToneGrade();
};

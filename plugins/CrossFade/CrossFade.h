#pragma once

#include <FFGLSDK.h>

// A mixer: fades from the first input to the second as mixVal goes 0 to 1.
class CrossFade : public ffglqs::Mixer
{
public:
	CrossFade();
};

#pragma once

#include <FFGLSDK.h>

// A generator: sine stripes or rings moving over time, shaded in one colour.
class SineField : public ffglqs::Source
{
public:
	SineField();
};

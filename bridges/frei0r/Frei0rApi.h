// frei0r.h declares the entry points without extern "C"; included through
// here they get C linkage, as hosts look them up by their plain names.
#pragma once

extern "C"
{
#include <frei0r.h>
}

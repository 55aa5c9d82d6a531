// Shared pieces of the clock's end-to-end tests: one GL context and one
// loaded plug-in per process, a pinned wall clock, and frame comparison
// against the CPU model.
#pragma once

#include <PlugHost.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ClockReference.h"

namespace clocktest
{
// Host parameter indices of the clock.
enum Param : uint32_t
{
	DisplayType = 0,
	ShowSeconds,
	Scale,
	Red,
	Green,
	Blue,
	ManualMode,
	Hours,
	Minutes,
	Seconds,
	TimezoneOffset,
	SolidBackground,
	RedSecondsHand,
};
enum Display
{
	Analog       = 0,
	AnalogSmooth = 1,
	Digital12h   = 2,
	Digital24h   = 3,
};

// Makes gettimeofday answer this instant (seconds, microseconds) until
// ReleaseClock; the plug-in reads "now" through it.
void PinClock( int64_t seconds, int64_t microseconds );
void ReleaseClock();
// Pins the C library's time zone.
void PinZone( const char* zone );

plughost::GLContext& Context();
plughost::PluginLibrary& Clock();

struct Comparison
{
	int maxDifference = 0;// in 8-bit steps
	int worstX = -1, worstY = -1;
	int skipped = 0;      // pixels on a discontinuity
	std::string Describe() const;
};

// Compares a frame (top row first) with the model evaluated at GL window
// coordinates (x from the left, y from the bottom).
Comparison Compare( const plughost::Image& image, const std::function< clockref::Pixel( int, int ) >& model );

// Sets the face inputs on an instance in manual mode (no snapping: the
// minute and second values are sent while the display is smooth).
void ApplyManual( plughost::Instance& instance, const clockref::FaceInputs& in, Display display );

// Counts live GL objects of each kind among names 1..limit.
struct GLObjectCounts
{
	int textures = 0, programs = 0, shaders = 0, buffers = 0, vertexArrays = 0;
	bool operator==( const GLObjectCounts& o ) const
	{
		return textures == o.textures && programs == o.programs && shaders == o.shaders && buffers == o.buffers &&
		       vertexArrays == o.vertexArrays;
	}
};
GLObjectCounts CountGLObjects( uint32_t limit = 1u << 15 );
}// namespace clocktest

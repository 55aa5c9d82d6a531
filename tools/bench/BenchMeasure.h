// The measurements of `plughost bench` at one frame size.
#pragma once

#include "Statistics.h"
#include "common/ParameterSettings.h"

#include <PlugHost.h>

#include <cstdint>
#include <vector>

namespace plughost::cli
{
struct BenchPlan
{
	PluginLibrary* library = nullptr;
	std::vector< ResolvedSetting > settings;
	bool sendTime   = false;// the plug-in takes host time (code 20)
	uint32_t frames = 100;
	uint32_t warmup = 10;
};

// All times in seconds.
struct SizeResult
{
	uint32_t width = 0, height = 0;
	Spread instantiate;      // code 18 through glFinish
	double firstFrame = 0.0; // a new instance's first frame, which may build resources
	Spread wall, cpu;        // per frame
	Spread trivialWall, trivialCpu;

	double Ratio() const { return trivialWall.median > 0.0 ? wall.median / trivialWall.median : 0.0; }
};

// How many instantiations are timed per size.
constexpr int kInstantiations = 5;

// Needs a current context. Throws Failure when the plug-in fails a frame or
// refuses a setting, Error when it refuses to instantiate.
SizeResult MeasureSize( const BenchPlan& plan, uint32_t width, uint32_t height,
						const std::vector< const InputTexture* >& inputs );
}// namespace plughost::cli

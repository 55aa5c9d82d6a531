// Wall and CPU time of a piece of GL work, measured up to glFinish so that
// the driver's deferred rendering is counted where it belongs.
#pragma once

#include <chrono>

namespace plughost
{
struct FrameTime
{
	double wallSeconds = 0.0;
	// CPU time of the calling thread only: a software renderer's worker
	// threads are not counted.
	double cpuSeconds = 0.0;
};

double ThreadCpuSeconds();
// glFinish, kept out of this header so it needs no GL prototypes.
void FinishGL();

template< typename Work >
FrameTime TimeThroughFinish( Work&& work )
{
	const double cpuStart = ThreadCpuSeconds();
	const auto start      = std::chrono::steady_clock::now();
	work();
	FinishGL();
	const auto end      = std::chrono::steady_clock::now();
	const double cpuEnd = ThreadCpuSeconds();
	return { std::chrono::duration< double >( end - start ).count(), cpuEnd - cpuStart };
}
}// namespace plughost

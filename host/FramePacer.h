// Real-time pacing of a sequence: frame k starts no earlier than k / fps
// seconds after frame 0, so plug-ins that read their own clocks move as they
// would in a host. A frame that is late is not skipped; the lateness is kept.
#pragma once

#include <chrono>
#include <cstdint>

namespace plughost
{
class FramePacer
{
public:
	explicit FramePacer( double fps );

	// Sleeps until frame `k` is due; the first call starts the clock.
	void WaitFor( uint32_t k );

	// Frames that started more than half a frame after their due time, and
	// the worst lateness in seconds.
	uint32_t LateFrames() const { return late; }
	double WorstLateness() const { return worst; }

private:
	using Clock = std::chrono::steady_clock;
	double fps;
	bool started = false;
	Clock::time_point start;
	uint32_t late = 0;
	double worst  = 0.0;
};
}// namespace plughost

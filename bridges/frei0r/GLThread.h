// A thread of an instance's own that keeps the instance's GL context current
// for its whole life. The host's threads hand it work and wait: they never
// have our context made current on them, so whatever context the host has
// current (EGL, GLX or none) stays as it was, and no frame pays for taking a
// context and giving it back.
//
// Handing over costs two thread wake-ups, a tenth of a frame on a software
// renderer, so each side spins briefly (yielding the core to any other
// thread that wants it) where a wait is known to be short:
// the thread after a job, for the host's next frame (when the owner says
// so), and the host while the job does its last short step (see Finishing).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include <sys/types.h>

namespace ffglfrei0r
{
class GLThread
{
public:
	// Throws std::system_error when no thread can be started. `spinForNext`
	// is how long the thread waits awake for its next job before sleeping.
	explicit GLThread( std::chrono::microseconds spinForNext );
	// Runs `last` (which must not throw) on the thread, then ends it. In a
	// process forked since, where the thread does not exist, only forgets it.
	void Stop( const std::function< void() >& last ) noexcept;
	~GLThread();
	GLThread( const GLThread& )            = delete;
	GLThread& operator=( const GLThread& ) = delete;

	// Runs `job` on the thread and waits for it; what it throws is thrown
	// here. One caller at a time. Throws at once in a process forked since
	// the thread started: a fork copies only the forking thread, so waiting
	// for this one would never end.
	void Run( const std::function< void() >& job );
	// Run in two halves: Post starts `job`, which must outlive the Wait that
	// ends it.
	void Post( const std::function< void() >& job );
	void Wait();
	// Called by a job on the thread: what is left of it is short, so the
	// waiting host thread may wake up now and spin for the rest.
	void Finishing();
	// False in a child the host forked after the thread started.
	bool InThisProcess() const;

private:
	enum State : uint32_t
	{
		Idle,
		Posted,
		Running,
		Closing,// the job called Finishing
		Done
	};

	std::atomic< uint32_t > state{ Idle };
	// Sleeping and waking go through these; `state` changes are followed by
	// a notify under the lock, so no wake-up is lost. On the heap: a forked
	// child holds a copy taken mid-wait, which it must leak, not destroy
	// (destroying a condition variable with waiters blocks).
	struct Waiting
	{
		std::mutex mutex;
		std::condition_variable changed;
	};
	std::unique_ptr< Waiting > waiting = std::make_unique< Waiting >();
	// Written by the host before posting, read by the thread after.
	const std::function< void() >* job = nullptr;
	bool stopping                      = false;
	// Written by the thread before Done, read by the host after.
	std::exception_ptr failure;
	const std::chrono::microseconds spinForNext;
	pid_t owner;
	std::thread thread;

	void Publish( State next );
	void Serve();
};
}// namespace ffglfrei0r

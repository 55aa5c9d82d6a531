// Runs the plug-in in a worker process and keeps what the page sees: the
// plug-in's identity and parameters, the latest frame, the status and the
// last error. One thread talks to the worker, one request at a time with a
// deadline, renders at the requested rate, watches the plug-in file and
// restarts the worker; HTTP threads only read the kept state or hand it a
// command and wait for the answer.
#pragma once

#include "EventBus.h"
#include "FramePicture.h"
#include "ParameterValues.h"
#include "PluginWatcher.h"
#include "WorkerProtocol.h"
#include "common/CliOptions.h"

#include <ChildProcess.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace plughost::cli::serve
{
struct SupervisorOptions
{
	std::string plugin;
	uint32_t width  = 640;
	uint32_t height = 360;
	double fps      = 30.0;
	std::vector< std::string > inputs;
	std::vector< Setting > settings;
	// How long one request to the worker may take before it counts as hung;
	// loading gets at least 30 s (shader compilers are slow on software GL).
	double timeout = 10.0;
	// The program line that starts a worker (see Worker.h).
	std::vector< std::string > worker;
	std::chrono::milliseconds poll{ 250 };
};

struct FrameRef
{
	uint64_t number     = 0;// counts on across reloads
	uint64_t generation = 0;
	double time         = 0.0;// host time sent with code 20
	double renderMs     = 0.0;
	// Frames with the same pixels share one picture, so they are the same
	// PNG file too.
	std::shared_ptr< const FramePicture > picture;
};

class Supervisor
{
public:
	Supervisor( SupervisorOptions options, EventBus& events );
	~Supervisor();
	Supervisor( const Supervisor& )            = delete;
	Supervisor& operator=( const Supervisor& ) = delete;

	// Loads the plug-in once, applies --set values and starts rendering. A
	// plug-in that fails to load is reported and waited for; --set values
	// the loaded plug-in cannot take throw UsageError. `err` gets the
	// server's own messages (loads, failures, crashes) for as long as it runs.
	void Start( std::ostream& err );
	// Kills the worker at once, whatever it is doing, and ends rendering;
	// safe from any thread. Stop does it too, then waits for the thread.
	void Interrupt();
	void Stop();

	Json Plugin() const;// identity, parameters, status and recent output
	Json Status() const;
	Json Parameters() const;
	// These throw ApiError.
	Json Parameter( const std::string& id ) const;
	Json Set( const std::string& id, const Json& value );
	Json Transport( const std::string& action );
	Json Restart();
	// The latest frame once its number differs from `after`, waiting up to
	// `wait`; nullopt when there is none by then.
	std::optional< FrameRef > Frame( uint64_t after, std::chrono::milliseconds wait ) const;

private:
	enum class State
	{
		Loading,
		Running,
		Failed, // the build did not load, instantiate or compile
		Crashed,// the worker died or hung
		Stopped,
	};
	struct Command
	{
		std::function< Json() > run;
		std::promise< Json > answer;
	};
	using Clock = std::chrono::steady_clock;

	SupervisorOptions options;
	EventBus& events;
	PluginWatcher watcher;
	PrivateCopies copies;

	// Guarded by `mutex`: everything the HTTP threads read or hand over.
	mutable std::mutex mutex;
	mutable std::condition_variable wake, frameReady;
	std::deque< std::shared_ptr< Command > > commands;
	bool stopping = false;
	State state   = State::Loading;
	bool paused   = false;
	uint32_t steps = 0;      // single frames asked for while paused
	bool redraw    = false;  // a control changed while paused
	Json identity;
	std::vector< ParameterState > parameters;
	uint64_t generation = 0;
	uint64_t reloads    = 0;
	Json error;              // null, or what went wrong last
	std::string lastRequest;
	std::deque< Json > recentLog;
	FrameRef latest;
	double hostTime = 0.0;
	std::deque< Clock::time_point > frameTimes;// of the last second
	double renderMs = 0.0;

	std::ostream* console = nullptr;// the server's own messages, besides the page

	// Only the supervisor thread (or Start, before it runs) touches these.
	std::thread thread;
	std::optional< ChildProcess > child;
	int childHandle = -1;// a pidfd of the worker, for Interrupt; guarded by `mutex`
	std::string extraInputs;// why --input pictures were left out, or empty
	std::string copy;
	std::size_t outSeen = 0, errSeen = 0;
	std::vector< CarriedValue > suspects;// values before sets not yet followed by a good frame
	std::vector< Setting > pendingSettings;
	Clock::time_point nextFrame, lastTick, lastStatus;
	bool ticking = false;

	void Loop();
	Json Submit( std::function< Json() > run, double seconds );
	void Load( const std::string& why );
	void EndChild();
	void Launch();
	void DropChild();
	bool Stopping() const;
	std::optional< Message > Await( const std::string& request, double seconds );
	void Died( const std::string& request );
	void ForwardOutput();
	std::string OutputTail() const;
	void Log( const std::string& stream, const std::string& text );
	void ApplyChanges( const Json& changes );
	Json DoSet( const std::string& id, const Json& value );
	// With `err` (at start) a value the plug-in cannot take is a UsageError;
	// later it is only logged. Values are sent as render sends them: one
	// outside its range with a warning.
	void ApplySettings( const std::vector< Setting >& settings, std::ostream* err );
	Json Send( const ParameterState& parameter, const NewValue& value );
	void RenderOne();
	bool WantsFrame( Clock::time_point now ) const;
	void Fail( State failed, Json why );

	Json StatusLocked() const;
	Json ParametersLocked() const;
	void PublishStatus();
};
}// namespace plughost::cli::serve

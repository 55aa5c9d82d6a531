// Work run in a child process, so that a crash, an abort or a hang in a
// plug-in cannot take the caller down. The child's standard output and error
// are captured, a message channel (a socket pair) runs both ways, and the
// caller learns how the child ended: its exit status, the signal that killed
// it, or the timeout that made us kill it.
//
// A GL context or EGL display does not survive fork (the driver's worker
// threads stay behind), so a parent that forks must not have made one; each
// child makes its own.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plughost
{
// "SIGSEGV" for 11; "signal 99" for a number without a name.
std::string SignalName( int signal );

struct ChildExit
{
	enum class Kind
	{
		Exited,    // returned or called exit; `status` holds the exit status
		Signalled, // killed by `signal`
		TimedOut,  // still running at its deadline, so we killed it
		NotStarted,// fork or exec failed; `reason` says why
	};
	Kind kind      = Kind::NotStarted;
	int status     = 0;
	int signal     = 0;
	double seconds = 0.0;// from start to end
	std::string reason;

	bool Clean() const { return kind == Kind::Exited && status == 0; }
	// "exited with status 3", "killed by SIGSEGV (Segmentation fault)",
	// "timed out after 10 s", "could not start: ...".
	std::string Describe() const;
};

// One end of the message channel. Messages are framed, so each Send arrives
// as one Receive, whatever its size (up to 64 MiB).
class ChildChannel
{
public:
	explicit ChildChannel( int fd = -1 ) : fd( fd ) {}
	// In a program started by ChildProcess::Exec: the channel it inherited.
	static std::optional< ChildChannel > FromEnvironment();
	static constexpr const char* kEnvironmentName = "PLUGHOST_CHANNEL_FD";

	bool Valid() const { return fd >= 0; }
	int Fd() const { return fd; }
	// False when the other end is gone.
	bool Send( std::string_view message ) const;
	// Blocks up to `timeoutSeconds` (negative: no limit); nullopt on timeout
	// or when the other end is gone.
	std::optional< std::string > Receive( double timeoutSeconds = -1.0 ) const;

private:
	int fd;
};

struct ChildOptions
{
	double timeoutSeconds = 0.0;         // 0: no deadline
	std::size_t outputLimit = 256 * 1024;// the last bytes kept of each stream
	bool coreDumps = false;              // crashes in children rarely want a core file
};

class ChildProcess
{
public:
	// Forks; the child runs `work` with its end of the channel and exits with
	// its answer (an escaping exception exits with 70). The child flushes
	// stdio and leaves with _exit, so the parent's exit handlers never run
	// twice. Its stdout is line-buffered, so output before a crash is kept.
	static ChildProcess Fork( const std::function< int( ChildChannel& ) >& work, ChildOptions options = {} );
	// Forks and runs argv[0] with `environment` entries ("NAME=value") added
	// to ours; the channel's descriptor is named in PLUGHOST_CHANNEL_FD.
	static ChildProcess Exec( const std::vector< std::string >& argv, const std::vector< std::string >& environment,
							  ChildOptions options = {} );

	ChildProcess( ChildProcess&& other ) noexcept;
	ChildProcess& operator=( ChildProcess&& other ) noexcept;
	ChildProcess( const ChildProcess& )            = delete;
	ChildProcess& operator=( const ChildProcess& ) = delete;
	// Kills and reaps a child that is still running.
	~ChildProcess();

	pid_t Pid() const { return pid; }
	bool Running();

	// The next message from the child, capturing its output meanwhile.
	// nullopt when `timeoutSeconds` (negative: up to the deadline) passes,
	// or the child closed the channel or ended. Past the deadline the child is
	// killed and Wait() reports the timeout.
	std::optional< std::string > Receive( double timeoutSeconds = -1.0 );
	bool Send( std::string_view message );

	// Runs until the child ends or its deadline passes (then kills it),
	// collecting output and the messages nobody received.
	const ChildExit& Wait();
	void Kill();

	const std::string& Stdout() const { return out.text; }
	const std::string& Stderr() const { return err.text; }
	// Messages that arrived while waiting, oldest first; taking clears them.
	std::vector< std::string > TakeMessages();

private:
	struct Stream
	{
		int fd = -1;
		std::string text;
	};
	ChildProcess() = default;
	// Makes the pipes, lets `prepare` see the child's end of the channel,
	// forks; `inChild` runs in the child and leaves with _exit or exec.
	static ChildProcess Launch( ChildOptions options, const std::function< bool( int ) >& prepare,
								const std::function< void( int ) >& inChild );
	void Pump( double timeoutSeconds, bool untilMessage );
	void Reap( bool block );
	void CloseAll();
	double Remaining() const;

	pid_t pid = -1;
	Stream out, err;
	int channel = -1;
	std::string pending;// channel bytes not yet framed into a message
	std::vector< std::string > messages;
	ChildOptions options;
	double started  = 0.0;
	bool ended      = false;
	ChildExit exit;
};

struct ChildResult
{
	ChildExit exit;
	std::vector< std::string > messages;
	std::string out, err;
};

// Fork, wait, collect: the simple case.
ChildResult RunInChild( const std::function< int( ChildChannel& ) >& work, ChildOptions options = {} );
}// namespace plughost

// Events for the page: reloads, status and errors, parameter changes and the
// plug-in's output. Each reader keeps its own position; old events fall off
// the end, so a reader that is far behind skips what it missed (the page
// refetches the whole state on every reload event anyway).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace plughost::cli::serve
{
struct Event
{
	uint64_t id = 0;
	std::string type;// "reload", "status", "parameters", "log"
	std::string data;// JSON text
};

class EventBus
{
public:
	explicit EventBus( std::size_t kept = 512 ) : kept( kept ) {}

	void Publish( const std::string& type, const std::string& data );
	// The id after which a new reader starts: it sees only later events.
	uint64_t Latest() const;
	// Events after `after`, waiting up to `timeout` for one; empty on a
	// timeout or once closed.
	std::vector< Event > Next( uint64_t after, std::chrono::milliseconds timeout );
	// Wakes every reader for good.
	void Close();
	bool Closed() const;

	// Server-sent events text of one event.
	static std::string Format( const Event& event );

private:
	mutable std::mutex mutex;
	std::condition_variable changed;
	std::deque< Event > events;
	std::size_t kept;
	uint64_t last = 0;
	bool closed   = false;
};
}// namespace plughost::cli::serve

// The preview server put together: the supervisor with its worker, the
// event bus and the HTTP server on its own listening thread.
#pragma once

#include "EventBus.h"
#include "RequestGuard.h"
#include "ServeOptions.h"
#include "Supervisor.h"

#include <atomic>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace httplib
{
class Server;
}

namespace plughost::cli::serve
{
class PreviewServer
{
public:
	// `worker` is the program line that starts a worker process.
	PreviewServer( const ServeOptions& options, std::vector< std::string > worker );
	~PreviewServer();
	PreviewServer( const PreviewServer& )            = delete;
	PreviewServer& operator=( const PreviewServer& ) = delete;

	// Binds, loads the plug-in and starts serving; `err` gets the server's
	// messages while it runs. Throws Failure when the address cannot be
	// bound, UsageError for --set values the plug-in cannot take.
	void Start( std::ostream& err );
	// Kills the worker at once; from any thread, before or during Start.
	void Interrupt() { supervisor.Interrupt(); }
	void Stop();

	int Port() const { return port; }
	// The address to open in a browser.
	std::string Url() const;

private:
	ServeOptions options;
	EventBus events;
	Supervisor supervisor;
	std::unique_ptr< httplib::Server > http;
	std::unique_ptr< RequestGuard > guard;
	std::atomic< int > streams{ 0 }, polls{ 0 };
	std::thread listener;
	int port = 0;
};
}// namespace plughost::cli::serve

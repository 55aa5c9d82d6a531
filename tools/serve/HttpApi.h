// The routes of the preview server: the page's three files and the JSON API
// (docs/serve.md), behind the request guard.
#pragma once

#include "EventBus.h"
#include "RequestGuard.h"
#include "Supervisor.h"

#include <atomic>

namespace httplib
{
class Server;
}

namespace plughost::cli::serve
{
struct ApiContext
{
	Supervisor& supervisor;
	EventBus& events;
	const RequestGuard& guard;
	std::atomic< int >& streams;// event streams open now
	std::atomic< int >& polls;  // frame requests waiting now
};

void InstallRoutes( httplib::Server& server, ApiContext context );
}// namespace plughost::cli::serve

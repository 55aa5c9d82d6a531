#include "ServeCommand.h"

#include "PreviewServer.h"
#include "ServeOptions.h"
#include "Worker.h"
#include "common/PluginSetup.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <filesystem>
#include <ostream>
#include <thread>

namespace plughost::cli
{
namespace
{
std::string SelfPath()
{
	char path[ PATH_MAX ];
	const ssize_t length = readlink( "/proc/self/exe", path, sizeof path - 1 );
	return length > 0 ? std::string( path, static_cast< std::size_t >( length ) ) : "/proc/self/exe";
}

int RunServe( const std::vector< std::string >& args, std::ostream& out, std::ostream& err )
{
	const serve::ServeOptions options = serve::ParseServeArgs( args );
	if( options.worker )
	{
		const auto channel = ChildChannel::FromEnvironment();
		if( !channel )
			throw UsageError( "--worker is for the server's own use" );
		return serve::RunWorker( *channel );
	}
	if( !std::filesystem::is_regular_file( options.plugin ) )
		throw Failure{ options.plugin + ": no such file" };
	ReadInputs( options.inputs );// a missing or unreadable picture is a usage error now, not later

	// Ctrl-C and SIGTERM are taken by one thread alone; every thread started
	// from here on (and the worker, until it ignores them) inherits the
	// blocked set. That thread kills the worker at once, so a stop never
	// waits for a plug-in that hangs, even while it loads.
	sigset_t stops;
	sigemptyset( &stops );
	sigaddset( &stops, SIGINT );
	sigaddset( &stops, SIGTERM );
	pthread_sigmask( SIG_BLOCK, &stops, nullptr );

	serve::PreviewServer server( options, { SelfPath(), "serve", "--worker" } );
	std::atomic< bool > stopped{ false };
	std::thread waiter( [ & ] {
		int received = 0;
		sigwait( &stops, &received );
		stopped = true;
		server.Interrupt();
	} );
	try
	{
		server.Start( err );
	}
	catch( ... )
	{
		pthread_kill( waiter.native_handle(), SIGTERM );// taken by its sigwait
		waiter.join();
		throw;
	}
	if( !stopped )
		out << "plughost serve: previewing " << options.plugin << " at " << server.Url() << "\n"
			<< "open it in a browser; Ctrl-C stops the server" << std::endl;
	waiter.join();
	out << "plughost serve: stopping" << std::endl;
	server.Stop();
	return kExitOk;
}
}// namespace

CommandSpec ServeCommand()
{
	return { "serve", "serve PLUGIN.so", "a live preview in a web browser, reloaded on every rebuild", serve::ServeUsage, RunServe };
}
}// namespace plughost::cli

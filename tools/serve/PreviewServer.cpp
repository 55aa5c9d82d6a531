#include "PreviewServer.h"

#include "HttpApi.h"

#include <httplib.h>

#include <signal.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <climits>

namespace plughost::cli::serve
{
namespace
{
// Every connection holds a thread while it lives: event streams and frame
// requests waiting for the next frame hold theirs for long, up to their caps;
// as many threads again are left for the API calls and idle connections.
constexpr std::size_t kThreads = 2 * ( RequestGuard::kMaxEventStreams + RequestGuard::kMaxWaitingFrames );

SupervisorOptions SupervisorSettings( const ServeOptions& options, std::vector< std::string > worker )
{
	SupervisorOptions settings;
	settings.plugin   = options.plugin;
	settings.width    = options.width;
	settings.height   = options.height;
	settings.fps      = options.fps;
	settings.inputs   = options.inputs;
	settings.settings = options.settings;
	settings.timeout  = options.timeout;
	settings.worker   = std::move( worker );
	return settings;
}

std::string MachineName()
{
	char name[ HOST_NAME_MAX + 1 ] = {};
	return gethostname( name, sizeof name - 1 ) == 0 ? name : "";
}
}// namespace

PreviewServer::PreviewServer( const ServeOptions& options, std::vector< std::string > worker ) :
	options( options ),
	supervisor( SupervisorSettings( options, std::move( worker ) ), events ),
	http( std::make_unique< httplib::Server >() )
{
}

PreviewServer::~PreviewServer()
{
	Stop();
}

void PreviewServer::Start( std::ostream& err )
{
	// A browser that goes away mid-answer must not end the server.
	signal( SIGPIPE, SIG_IGN );
	// Not SO_REUSEPORT: a second server on a port in use must fail, not
	// share it. No delay: an answer goes out as headers, then body, and the
	// body would wait for the browser's delayed acknowledgement, 40 ms a frame.
	int listening = -1;
	http->set_socket_options( [ &listening ]( socket_t socket ) {
		int yes = 1;
		setsockopt( socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes );
		setsockopt( socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes );
		listening = socket;
	} );
	port = options.port == 0 ? http->bind_to_any_port( options.bind )
							 : ( http->bind_to_port( options.bind, static_cast< int >( options.port ) ) ? static_cast< int >( options.port ) : -1 );
	if( port <= 0 )
		throw Failure{ "cannot listen on " + options.bind + " port " + std::to_string( options.port ) +
					   ": the port is in use or the address is not one of this machine's" };
	// The library listens with a queue of 5: a burst of connections (a page
	// opening, a script) would have its overflow dropped and retried a second
	// later. Listening again only lengthens the queue.
	if( listening >= 0 )
		listen( listening, SOMAXCONN );
	std::vector< std::string > names;
	if( !IsLoopbackAddress( options.bind ) )
		names = { MachineName(), options.bind };
	guard = std::make_unique< RequestGuard >( port, names );
	http->new_task_queue = [] { return new httplib::ThreadPool( kThreads ); };
	http->set_payload_max_length( RequestGuard::kMaxBody );
	http->set_read_timeout( 5, 0 );
	http->set_write_timeout( 5, 0 );
	http->set_keep_alive_max_count( 1000 );
	InstallRoutes( *http, { supervisor, events, *guard, streams, polls } );
	supervisor.Start( err );
	listener = std::thread( [ this ] { http->listen_after_bind(); } );
}

void PreviewServer::Stop()
{
	events.Close();
	supervisor.Stop();
	http->stop();
	if( listener.joinable() )
		listener.join();
}

std::string PreviewServer::Url() const
{
	std::string host = options.bind;
	if( host == "0.0.0.0" || host.empty() )
		host = "127.0.0.1";
	else if( host == "::" )
		host = "[::1]";
	else if( host.find( ':' ) != std::string::npos )
		host = "[" + host + "]";
	return "http://" + host + ":" + std::to_string( port ) + "/";
}
}// namespace plughost::cli::serve

#include "HttpApi.h"

#include "WebAssets.h"

#include <httplib.h>

#include <optional>

namespace plughost::cli::serve
{
namespace
{
using httplib::Request;
using httplib::Response;

constexpr auto kFrameWait  = std::chrono::milliseconds( 2000 );
constexpr auto kEventPause = std::chrono::seconds( 15 );

void Reply( Response& response, const Json& body, int status = 200 )
{
	response.status = status;
	response.set_content( Dump( body ), "application/json" );
}

void ReplyError( Response& response, int status, const std::string& message )
{
	Reply( response, { { "error", message } }, status );
}

// Every handler answers failures as JSON with a status, never by throwing
// into the HTTP library.
template< typename Handler >
httplib::Server::Handler Guarded( Handler handler )
{
	return [ handler ]( const Request& request, Response& response ) {
		try
		{
			handler( request, response );
		}
		catch( const ApiError& error )
		{
			ReplyError( response, error.status, error.message );
		}
		catch( const std::exception& error )
		{
			ReplyError( response, 500, std::string( "internal error: " ) + error.what() );
		}
	};
}

std::string TooLarge()
{
	return "the request body is larger than " + std::to_string( RequestGuard::kMaxBody ) + " bytes (64 KiB)";
}

// The body as sent, whatever its Content-Type: every body here is JSON, and
// the library's own form handling would hold a form-typed one (as curl -d
// sends) to a smaller limit. A request that declares neither a length nor
// chunks has no body (RFC 9112), so `curl -X POST` needs no -d "".
std::string ReadBody( const Request& request, Response& response, const httplib::ContentReader& reader )
{
	if( !request.has_header( "Content-Length" ) && !request.has_header( "Transfer-Encoding" ) )
		return "";
	std::string body;
	bool tooLarge   = false;
	const auto keep = [ & ]( const char* data, std::size_t size ) {
		tooLarge = tooLarge || body.size() + size > RequestGuard::kMaxBody;
		if( !tooLarge )
			body.append( data, size );
		return !tooLarge;
	};
	// A multipart body is read through its parts, else the library drops it.
	const bool read = request.is_multipart_form_data() ? reader( []( const httplib::MultipartFormData& ) { return true; }, keep )
													   : reader( keep );
	if( read )
		return body;
	// What is left of the body must not be taken for the next request.
	response.set_header( "Connection", "close" );
	if( tooLarge || response.status == 413 )// 413: the declared length was over the limit
		throw ApiError( 413, TooLarge() );
	throw ApiError( 400, "the request body could not be read" );
}

Json Body( const std::string& text )
{
	if( text.empty() )
		throw ApiError( 400, "the request needs a JSON body" );
	// Nesting is cut short: copying and printing a value recurse.
	constexpr int kMaxDepth = 32;
	Json body;
	try
	{
		body = Json::parse( text, []( int depth, Json::parse_event_t, Json& ) {
			if( depth > kMaxDepth )
				throw ApiError( 400, "the JSON body is nested more than " + std::to_string( kMaxDepth ) + " deep" );
			return true;
		} );
	}
	catch( const Json::exception& error )
	{
		throw ApiError( 400, std::string( "malformed JSON: " ) + error.what() );
	}
	if( !body.is_object() )
		throw ApiError( 400, "the body must be a JSON object" );
	return body;
}

// The same for calls with a body: it is read here, under our own limit.
template< typename Handler >
httplib::Server::HandlerWithContentReader GuardedWithBody( Handler handler )
{
	return [ handler ]( const Request& request, Response& response, const httplib::ContentReader& reader ) {
		Guarded( [ & ]( const Request&, Response& ) { handler( request, response, ReadBody( request, response, reader ) ); } )( request, response );
	};
}

Json Field( const Json& body, const char* name )
{
	const auto found = body.find( name );
	if( found == body.end() )
		throw ApiError( 400, std::string( "the body needs a \"" ) + name + "\" field" );
	return *found;
}

void ServeFrame( ApiContext context, const Request& request, Response& response )
{
	const bool waiting = request.has_param( "after" );
	uint64_t after     = 0;
	if( waiting )
	{
		const std::string text = request.get_param_value( "after" );
		if( text.empty() || text.size() > 19 || text.find_first_not_of( "0123456789" ) != std::string::npos )
			throw ApiError( 400, "\"after\" takes a frame number" );
		after = std::stoull( text );
	}
	// A waiting request holds one of the server's threads: past the cap it
	// is answered at once, so plain calls always find a thread free.
	const bool mayWait = waiting && ++context.polls <= RequestGuard::kMaxWaitingFrames;
	if( waiting && !mayWait )
		--context.polls;
	std::optional< FrameRef > frame;
	{
		struct Release
		{
			std::atomic< int >* polls;
			~Release()
			{
				if( polls )
					--*polls;
			}
		} release{ mayWait ? &context.polls : nullptr };
		frame = context.supervisor.Frame( after, mayWait ? kFrameWait : std::chrono::milliseconds( 0 ) );
	}
	if( !frame )
	{
		if( mayWait )
		{
			response.status = 204;// nothing new yet: ask again
			return;
		}
		if( waiting )
		{
			// The connection goes too: its thread is what is short.
			response.set_header( "Retry-After", "1" );
			response.set_header( "Connection", "close" );
			throw ApiError( 503, "too many requests are waiting for frames (" + std::to_string( RequestGuard::kMaxWaitingFrames ) +
									 "); ask again in a moment" );
		}
		throw ApiError( 503, "no frame yet" );
	}
	char time[ 32 ], render[ 32 ];
	std::snprintf( time, sizeof time, "%.6f", frame->time );
	std::snprintf( render, sizeof render, "%.3f", frame->renderMs );
	response.set_header( "X-Frame", std::to_string( frame->number ) );
	response.set_header( "X-Generation", std::to_string( frame->generation ) );
	response.set_header( "X-Frame-Time", time );
	response.set_header( "X-Render-Ms", render );
	response.set_content( frame->picture->Png(), "image/png" );
}

void ServeEvents( ApiContext context, Response& response )
{
	if( ++context.streams > RequestGuard::kMaxEventStreams )
	{
		--context.streams;
		throw ApiError( 503, "too many event streams are open" );
	}
	// The first event says where the server is, so a page that fetched the
	// state before subscribing can tell whether it missed a reload.
	const std::string hello = "retry: 1000\nevent: hello\ndata: " + Dump( context.supervisor.Status() ) + "\n\n";
	uint64_t cursor         = context.events.Latest();
	bool greeted            = false;
	EventBus& events        = context.events;
	response.set_chunked_content_provider(
		"text/event-stream",
		[ &events, hello, cursor, greeted ]( std::size_t, httplib::DataSink& sink ) mutable {
			if( !greeted )
			{
				greeted = true;
				return sink.write( hello.data(), hello.size() );
			}
			const auto next = events.Next( cursor, kEventPause );
			if( events.Closed() )
			{
				sink.done();
				return true;
			}
			std::string text = next.empty() ? ": still here\n\n" : "";
			for( const Event& event : next )
			{
				text += EventBus::Format( event );
				cursor = event.id;
			}
			return sink.write( text.data(), text.size() );
		},
		[ &streams = context.streams ]( bool ) { --streams; } );
}
}// namespace

void InstallRoutes( httplib::Server& server, ApiContext context )
{
	Supervisor& supervisor = context.supervisor;
	const RequestGuard& guard = context.guard;
	server.set_default_headers( { { "Cache-Control", "no-store" },
								  { "X-Content-Type-Options", "nosniff" },
								  { "X-Frame-Options", "DENY" },
								  { "Content-Security-Policy",
									"default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' blob:; "
									"connect-src 'self'; frame-ancestors 'none'" } } );
	server.set_pre_routing_handler( [ &guard ]( const Request& request, Response& response ) {
		const std::string why = guard.Check( request.get_header_value( "Host" ), request.get_header_value( "Origin" ),
											 request.get_header_value( "Sec-Fetch-Site" ) );
		if( why.empty() )
			return httplib::Server::HandlerResponse::Unhandled;
		ReplyError( response, 403, why );
		return httplib::Server::HandlerResponse::Handled;
	} );
	server.set_error_handler( []( const Request& request, Response& response ) {
		if( !response.body.empty() )
			return;
		switch( response.status )
		{
		case 404: ReplyError( response, 404, "no such page or API call: " + request.method + " " + request.path.substr( 0, 200 ) ); break;
		case 413: ReplyError( response, 413, TooLarge() ); break;
		case 414: ReplyError( response, 414, "the address is too long" ); break;
		default: ReplyError( response, response.status, "the request was refused (HTTP " + std::to_string( response.status ) + ")" ); break;
		}
	} );

	for( const WebAsset& asset : WebAssets() )
	{
		const std::string body( reinterpret_cast< const char* >( asset.data ), asset.size );
		const std::string type = asset.type;
		server.Get( asset.path, [ body, type ]( const Request&, Response& response ) { response.set_content( body, type ); } );
		if( std::string( asset.path ) == "/index.html" )
			server.Get( "/", [ body, type ]( const Request&, Response& response ) { response.set_content( body, type ); } );
	}

	server.Get( "/api/plugin", Guarded( [ &supervisor ]( const Request&, Response& response ) { Reply( response, supervisor.Plugin() ); } ) );
	server.Get( "/api/status", Guarded( [ &supervisor ]( const Request&, Response& response ) { Reply( response, supervisor.Status() ); } ) );
	server.Get( "/api/parameters",
				Guarded( [ &supervisor ]( const Request&, Response& response ) { Reply( response, supervisor.Parameters() ); } ) );
	server.Get( R"(/api/parameters/(.+))", Guarded( [ &supervisor ]( const Request& request, Response& response ) {
					Reply( response, supervisor.Parameter( request.matches[ 1 ] ) );
				} ) );
	server.Post( R"(/api/parameters/(.+))", GuardedWithBody( [ &supervisor ]( const Request& request, Response& response, const std::string& body ) {
					 Reply( response, supervisor.Set( request.matches[ 1 ], Field( Body( body ), "value" ) ) );
				 } ) );
	server.Post( "/api/transport", GuardedWithBody( [ &supervisor ]( const Request&, Response& response, const std::string& body ) {
					 const Json action = Field( Body( body ), "action" );
					 if( !action.is_string() )
						 throw ApiError( 400, "\"action\" takes pause, play or step" );
					 Reply( response, supervisor.Transport( action.get< std::string >() ) );
				 } ) );
	// Restart needs no body; one that is sent is read and not looked at.
	server.Post( "/api/restart", GuardedWithBody( [ &supervisor ]( const Request&, Response& response, const std::string& ) {
					 Reply( response, supervisor.Restart() );
				 } ) );
	server.Get( "/api/frame.png", Guarded( [ context ]( const Request& request, Response& response ) {
					ServeFrame( context, request, response );
				} ) );
	server.Get( "/api/events", Guarded( [ context ]( const Request&, Response& response ) { ServeEvents( context, response ); } ) );
	// Calls with a body to anywhere else: the body is read (so it is not
	// taken for the next request) and the answer is 404, as for a GET.
	const auto nowhere = GuardedWithBody( []( const Request& request, Response&, const std::string& ) {
		throw ApiError( 404, "no such page or API call: " + request.method + " " + request.path.substr( 0, 200 ) );
	} );
	server.Post( ".*", nowhere );
	server.Put( ".*", nowhere );
	server.Patch( ".*", nowhere );
	server.Delete( ".*", nowhere );
}
}// namespace plughost::cli::serve

#include "HttpApi.h"

#include "WebAssets.h"

#include <httplib.h>

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
			ReplyError( response, error.status, error.what() );
		}
		catch( const std::exception& error )
		{
			ReplyError( response, 500, std::string( "internal error: " ) + error.what() );
		}
	};
}

Json Body( const Request& request )
{
	if( request.body.empty() )
		throw ApiError( 400, "the request needs a JSON body" );
	// Nesting is cut short: copying and printing a value recurse.
	constexpr int kMaxDepth = 32;
	Json body;
	try
	{
		body = Json::parse( request.body, []( int depth, Json::parse_event_t, Json& ) {
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

Json Field( const Json& body, const char* name )
{
	const auto found = body.find( name );
	if( found == body.end() )
		throw ApiError( 400, std::string( "the body needs a \"" ) + name + "\" field" );
	return *found;
}

void ServeFrame( Supervisor& supervisor, const Request& request, Response& response )
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
	const auto frame = supervisor.Frame( after, waiting ? kFrameWait : std::chrono::milliseconds( 0 ) );
	if( !frame )
	{
		if( waiting )
		{
			response.status = 204;// nothing new yet: ask again
			return;
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
		case 413: ReplyError( response, 413, "the request body is larger than " + std::to_string( RequestGuard::kMaxBody ) + " bytes" ); break;
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
	server.Post( R"(/api/parameters/(.+))", Guarded( [ &supervisor ]( const Request& request, Response& response ) {
					 Reply( response, supervisor.Set( request.matches[ 1 ], Field( Body( request ), "value" ) ) );
				 } ) );
	server.Post( "/api/transport", Guarded( [ &supervisor ]( const Request& request, Response& response ) {
					 const Json action = Field( Body( request ), "action" );
					 if( !action.is_string() )
						 throw ApiError( 400, "\"action\" takes pause, play or step" );
					 Reply( response, supervisor.Transport( action.get< std::string >() ) );
				 } ) );
	server.Post( "/api/restart", Guarded( [ &supervisor ]( const Request&, Response& response ) { Reply( response, supervisor.Restart() ); } ) );
	server.Get( "/api/frame.png", Guarded( [ &supervisor ]( const Request& request, Response& response ) {
					ServeFrame( supervisor, request, response );
				} ) );
	server.Get( "/api/events", Guarded( [ context ]( const Request&, Response& response ) { ServeEvents( context, response ); } ) );
}
}// namespace plughost::cli::serve

// The preview server through its HTTP API, as the page and other clients use
// it: a server in this process, its worker the built tool.
#include "TestSupport.h"

#include "serve/PreviewServer.h"

#include <Png.h>

#include <httplib.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

using namespace plughost::cli;
using namespace plughost::cli::serve;
using testsupport::Plugin;
namespace fs = std::filesystem;

namespace
{
struct Answer
{
	int status = 0;
	Json json;
	std::string body;
	httplib::Headers headers;
};

std::string Tested( const std::string& name )
{
	return std::string( SERVE_PLUGIN_DIR ) + "/" + name + ".so";
}

class Served
{
public:
	explicit Served( const std::string& plugin, double timeout = 10.0, std::vector< Setting > settings = {} )
	{
		ServeOptions options;
		options.plugin   = plugin;
		options.port     = 0;
		options.width    = 64;
		options.height   = 36;
		options.fps      = 60.0;
		options.timeout  = timeout;
		options.settings = std::move( settings );
		server           = std::make_unique< PreviewServer >( options, std::vector< std::string >{ PLUGHOST_TOOL, "serve", "--worker" } );
		server->Start( messages );
	}

	Answer Call( const std::string& method, const std::string& path, const std::string& body = "", const httplib::Headers& headers = {} )
	{
		httplib::Client client( "127.0.0.1", server->Port() );
		client.set_read_timeout( 30, 0 );
		const auto result = method == "GET"	   ? client.Get( path.c_str(), headers )
							: method == "DELETE" ? client.Delete( path.c_str(), headers )
							: method == "FORM"   ? client.Post( path.c_str(), headers, body, "application/x-www-form-urlencoded" )
												 : client.Post( path.c_str(), headers, body, "application/json" );
		Answer answer;
		if( !result )
		{
			answer.body = httplib::to_string( result.error() );
			return answer;
		}
		answer.status  = result->status;
		answer.body    = result->body;
		answer.headers = result->headers;
		if( result->get_header_value( "Content-Type" ) == "application/json" )
			answer.json = Json::parse( result->body );
		return answer;
	}
	Answer Get( const std::string& path ) { return Call( "GET", path ); }
	Answer Post( const std::string& path, const Json& body ) { return Call( "POST", path, body.dump() ); }
	Json Status() { return Get( "/api/status" ).json; }
	Json Value( const std::string& id ) { return Get( "/api/parameters/" + id ).json[ "value" ]; }

	// Polls the status until `done` holds; false after `seconds`.
	bool WaitFor( const std::function< bool( const Json& ) >& done, double seconds = 30.0 )
	{
		const auto end = std::chrono::steady_clock::now() + std::chrono::duration< double >( seconds );
		while( std::chrono::steady_clock::now() < end )
		{
			if( done( Status() ) )
				return true;
			std::this_thread::sleep_for( std::chrono::milliseconds( 50 ) );
		}
		return false;
	}
	int Port() const { return server->Port(); }

	// The answer to a request sent as it stands (with "Connection: close").
	std::string Raw( const std::string& request )
	{
		const int socket = ::socket( AF_INET, SOCK_STREAM, 0 );
		sockaddr_in address{ AF_INET, htons( static_cast< uint16_t >( Port() ) ), { htonl( INADDR_LOOPBACK ) }, {} };
		std::string answer( 4096, '\0' );
		ssize_t got = 0;
		if( connect( socket, reinterpret_cast< sockaddr* >( &address ), sizeof address ) == 0 && send( socket, request.data(), request.size(), 0 ) > 0 )
			for( ssize_t n; ( n = recv( socket, &answer[ got ], answer.size() - got, 0 ) ) > 0; )
				got += n;
		close( socket );
		return answer.substr( 0, static_cast< std::size_t >( got ) );
	}

private:
	std::ostringstream messages;// declared first: the server writes to it until it stops
	std::unique_ptr< PreviewServer > server;
};

plughost::Image DecodePng( const std::string& png )
{
	const std::string file = testsupport::ScratchDir( "frame" ) + "/frame.png";
	std::ofstream( file, std::ios::binary ) << png;
	return plughost::ReadPng( file );
}

bool Has( const Json& json, const std::string& piece )
{
	return json.dump().find( piece ) != std::string::npos;
}
}// namespace

TEST( ServeApi, ClockIsDescribedSetAndRendered )
{
	Served clock( Plugin( "VavoRozar" ) );
	const Answer plugin = clock.Get( "/api/plugin" );
	ASSERT_EQ( plugin.status, 200 ) << plugin.body;
	EXPECT_EQ( plugin.json[ "identity" ][ "id" ], "KP50" );
	ASSERT_EQ( plugin.json[ "parameters" ].size(), 13u );
	EXPECT_EQ( plugin.json[ "parameters" ][ 10 ][ "min" ], -12 );
	EXPECT_EQ( plugin.json[ "parameters" ][ 0 ][ "elements" ][ 3 ][ "name" ], "Digital 24h" );

	const Answer type = clock.Post( "/api/parameters/Display%20Type", { { "value", "Digital 24h" } } );
	EXPECT_TRUE( type.status == 200 && type.json[ "value" ] == 3 ) << type.body;
	EXPECT_EQ( clock.Post( "/api/parameters/6", { { "value", true } } ).json[ "value" ], 1 );
	EXPECT_EQ( clock.Post( "/api/parameters/solid%20background", { { "value", false } } ).status, 200 );
	// The next frame shows the change: no background, so corners are clear.
	const uint64_t after = clock.Status()[ "frame" ];
	const Answer frame   = clock.Get( "/api/frame.png?after=" + std::to_string( after ) );
	ASSERT_EQ( frame.status, 200 );
	EXPECT_GT( std::stoull( frame.headers.find( "X-Frame" )->second ), after );
	const plughost::Image image = DecodePng( frame.body );
	ASSERT_EQ( image.width * 1000 + image.height, 64036u );
	EXPECT_EQ( image.At( 0, 0 )[ 3 ], 0 );
	EXPECT_TRUE( std::any_of( image.pixels.begin(), image.pixels.end(), []( uint8_t v ) { return v > 0; } ) );
}

TEST( ServeApi, BadRequestsAreRefusedAndTheServerCarriesOn )
{
	Served clock( Plugin( "VavoRozar" ) );
	const std::string port = std::to_string( clock.Port() );
	const std::tuple< std::string, std::string, std::string, httplib::Headers, int, std::string > cases[] = {
		{ "POST", "/api/parameters/99", R"({"value":1})", {}, 404, "indices are 0 to 12" },
		{ "GET", "/api/parameters/Nope", "", {}, 404, "no parameter named \"Nope\"" },
		{ "GET", "/api/parameters/%00", "", {}, 404, "\"; parameters are \"Display Type\"" },
		{ "POST", "/api/nowhere", R"({"value":1})", {}, 404, "no such page" },
		{ "POST", "/api/parameters/Scale", "{\"value\":", {}, 400, "malformed JSON" },
		{ "POST", "/api/parameters/Scale", "[1]", {}, 400, "JSON object" },
		{ "POST", "/api/parameters/Scale", "", {}, 400, "needs a JSON body" },
		{ "POST", "/api/parameters/Scale", R"({"val":1})", {}, 400, "needs a \"value\"" },
		{ "POST", "/api/parameters/Scale", R"({"value":7})", {}, 400, "outside its range" },
		{ "POST", "/api/parameters/Scale", R"({"value":NaN})", {}, 400, "malformed JSON" },
		{ "POST", "/api/parameters/Timezone%20Offset", R"({"value":1.5})", {}, 400, "whole numbers" },
		{ "POST", "/api/parameters/0", R"({"value":"Sundial"})", {}, 400, "\"Digital 24h\" = 3" },
		{ "FORM", "/api/parameters/Scale", "{\"value\":\"" + std::string( 70000, 'x' ) + "\"}", {}, 413, "larger than 65536 bytes" },
		{ "POST", "/api/parameters/Scale", std::string( 5000, '[' ), {}, 400, "nested more than 32 deep" },
		{ "POST", "/api/parameters/Scale", "{\"value\":" + std::string( 40, '[' ) + std::string( 40, ']' ) + "}", {}, 400, "nested" },
		{ "POST", "/api/transport", R"({"action":"rewind"})", {}, 400, "pause, play and step" },
		{ "GET", "/api/frame.png?after=soon", "", {}, 400, "frame number" },
		{ "GET", "/etc/passwd", "", {}, 404, "no such page" },
		{ "DELETE", "/api/parameters/0", "", {}, 404, "no such page" },
		{ "GET", "/api/status", "", { { "Host", "evil.example:" + port } }, 403, "is not this server's" },
		{ "POST", "/api/parameters/Scale", R"({"value":0.1})", { { "Origin", "http://evil.example" } }, 403, "not allowed" },
		{ "GET", "/api/frame.png", "", { { "Sec-Fetch-Site", "cross-site" } }, 403, "another site" } };
	for( const auto& [ method, path, body, headers, status, message ] : cases )
	{
		const Answer answer = clock.Call( method, path, body, headers );
		EXPECT_EQ( answer.status, status ) << path << " " << answer.body;
		EXPECT_NE( answer.json.value( "error", std::string() ).find( message ), std::string::npos ) << path << " " << answer.body;
	}

	// A burst of readers and writers at once: every one is answered.
	std::atomic< int > answered{ 0 };
	std::vector< std::thread > burst;
	for( int i = 0; i < 48; ++i )
		burst.emplace_back( [ &, i ] {
			const Answer answer = i % 3 ? clock.Get( i % 2 ? "/api/plugin" : "/api/frame.png" )
										: clock.Post( "/api/parameters/Scale", { { "value", ( i % 10 ) / 10.0 } } );
			answered += answer.status == 200;
		} );
	for( auto& thread : burst )
		thread.join();
	EXPECT_EQ( answered, 48 );
	const uint64_t frame = clock.Status()[ "frame" ];
	EXPECT_TRUE( clock.WaitFor( [ & ]( const Json& status ) { return status[ "frame" ] > frame && status[ "state" ] == "running"; } ) );
}

TEST( ServeApi, PauseStopsFramesAndStepRendersOne )
{
	Served clock( Plugin( "VavoRozar" ) );
	ASSERT_TRUE( clock.WaitFor( []( const Json& status ) { return status[ "frame" ] > 2; } ) );
	const Json paused = clock.Post( "/api/transport", { { "action", "pause" } } ).json;
	std::this_thread::sleep_for( std::chrono::milliseconds( 100 ) );// a frame under way may land
	const Json before = clock.Status();
	std::this_thread::sleep_for( std::chrono::milliseconds( 300 ) );
	EXPECT_EQ( clock.Status()[ "frame" ], before[ "frame" ] );
	EXPECT_TRUE( paused[ "paused" ] );
	clock.Post( "/api/transport", { { "action", "step" } } );
	ASSERT_TRUE( clock.WaitFor( [ & ]( const Json& status ) { return status[ "frame" ] > before[ "frame" ]; } ) );
	const Json stepped = clock.Status();
	EXPECT_EQ( stepped[ "frame" ], before[ "frame" ].get< uint64_t >() + 1 );
	EXPECT_NEAR( stepped[ "time" ].get< double >() - before[ "time" ].get< double >(), 1.0 / 60.0, 1e-9 );
	// A change while paused is drawn at once, at the same time.
	clock.Post( "/api/parameters/Scale", { { "value", 0.9 } } );
	ASSERT_TRUE( clock.WaitFor( [ & ]( const Json& status ) { return status[ "frame" ] > stepped[ "frame" ]; } ) );
	EXPECT_EQ( clock.Status()[ "time" ], stepped[ "time" ] );

	// Many clients waiting for the next frame leave threads for the others:
	// the status comes while they wait, and those beyond the cap are told
	// at once to come back.
	const std::string after = "/api/frame.png?after=" + std::to_string( clock.Status()[ "frame" ].get< uint64_t >() );
	std::atomic< int > waited{ 0 }, refused{ 0 };
	std::vector< std::thread > polls;
	for( int i = 0; i < 48; ++i )
		polls.emplace_back( [ & ] {
			const int status = clock.Get( after ).status;
			( status == 204 ? waited : refused ) += status == 204 || status == 503;
		} );
	std::this_thread::sleep_for( std::chrono::milliseconds( 300 ) );
	EXPECT_EQ( clock.Get( "/api/status" ).status, 200 );
	EXPECT_EQ( waited, 0 );// still waiting
	for( auto& thread : polls )
		thread.join();
	EXPECT_EQ( waited + refused, 48 );
	EXPECT_EQ( refused, 48 - RequestGuard::kMaxWaitingFrames );
	clock.Post( "/api/transport", { { "action", "play" } } );
	EXPECT_TRUE( clock.WaitFor( [ & ]( const Json& status ) { return status[ "frame" ] > stepped[ "frame" ].get< uint64_t >() + 3; } ) );
}

TEST( ServeApi, ValuesThePluginChangesArriveAsEvents )
{
	Served fragile( Tested( "Fragile" ), 10.0, { { "Level", "0.9" } } );
	EXPECT_EQ( fragile.Value( "Level" ), 0.8999999761581421 );// --set, applied at the start
	std::string stream;
	std::atomic< bool > greeted{ false };
	std::thread reader( [ & ] {
		httplib::Client client( "127.0.0.1", fragile.Port() );
		client.set_read_timeout( 20, 0 );
		client.Get( "/api/events", [ & ]( const char* data, size_t size ) {
			stream.append( data, size );
			greeted = true;
			return stream.find( "\"name\":\"Follow\"" ) == std::string::npos;
		} );
	} );
	ASSERT_TRUE( fragile.WaitFor( [ & ]( const Json& ) { return greeted.load(); } ) );
	EXPECT_EQ( fragile.Post( "/api/parameters/Level", { { "value", 0.5 } } ).status, 200 );
	reader.join();
	EXPECT_NE( stream.find( "event: hello" ), std::string::npos );
	EXPECT_NE( stream.find( "event: parameters" ), std::string::npos );
	EXPECT_EQ( fragile.Value( "Follow" ), 0.5 );// moved by the plug-in, reported through code 46
	// The longest text, every character escaped, sent as curl -d sends it.
	std::string text;
	for( int i = 0; i < 2048; ++i )
		text += "\xC3\xA9";
	EXPECT_EQ( fragile.Call( "FORM", "/api/parameters/Note", Json( { { "value", text } } ).dump( -1, ' ', true ) ).status, 200 );
	EXPECT_EQ( fragile.Value( "Note" ), text );
}

TEST( ServeApi, StopsAtOnceOnASignalToItsGroupAndReportsNoCrash )
{
	// As a terminal's Ctrl-C or `timeout` does: the worker gets it too.
	const std::string output = testsupport::ScratchDir( "stop" ) + "/output", plugin = Tested( "Fragile" );
	for( const auto& [ signal, hang ] : { std::pair{ SIGTERM, true }, std::pair{ SIGINT, true }, std::pair{ SIGTERM, false } } )
	{
		posix_spawn_file_actions_t files;
		posix_spawn_file_actions_init( &files );
		posix_spawn_file_actions_addopen( &files, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644 );
		posix_spawn_file_actions_adddup2( &files, 1, 2 );
		posix_spawnattr_t group;
		posix_spawnattr_init( &group );
		posix_spawnattr_setflags( &group, POSIX_SPAWN_SETPGROUP );
		const char* argv[] = { PLUGHOST_TOOL, "serve", plugin.c_str(), "--port", "0", "--size", "64x36", "--timeout", "30", nullptr };
		pid_t server       = -1;
		const int spawned = posix_spawn( &server, PLUGHOST_TOOL, &files, &group, const_cast< char* const* >( argv ), environ );
		posix_spawn_file_actions_destroy( &files );
		posix_spawnattr_destroy( &group );
		ASSERT_EQ( spawned, 0 );
		auto printed = [ & ] {
			std::ifstream in( output );
			return std::string( std::istreambuf_iterator< char >( in ), {} );
		};
		std::size_t at = std::string::npos;
		for( int i = 0; i < 600 && ( at = printed().find( "http://127.0.0.1:" ) ) == std::string::npos; ++i )
			std::this_thread::sleep_for( std::chrono::milliseconds( 50 ) );
		ASSERT_NE( at, std::string::npos ) << printed();
		httplib::Client client( "127.0.0.1", std::stoi( printed().substr( at + 17 ) ) );
		ASSERT_TRUE( client.Get( "/api/frame.png?after=0" ) );
		if( hang )// the next frame never ends
			client.Post( "/api/parameters/Fault", R"({"value":"Hang on frame"})", "application/json" );
		std::this_thread::sleep_for( std::chrono::milliseconds( 300 ) );
		const auto start = std::chrono::steady_clock::now();
		kill( -server, signal );
		int status = -1;
		waitpid( server, &status, 0 );
		EXPECT_LT( std::chrono::steady_clock::now() - start, std::chrono::seconds( 5 ) );// not the 30 s timeout
		const std::string text = printed();
		EXPECT_TRUE( WIFEXITED( status ) && WEXITSTATUS( status ) == 0 && text.find( "stopping" ) != std::string::npos &&
					 text.find( "crashed" ) == std::string::npos && text.find( "hung" ) == std::string::npos )
			<< status << " " << text;
	}
}

TEST( ServeApi, CrashesAndHangsAreShownAndRestartsKeepTheOtherValues )
{
	const std::string plugin = testsupport::ScratchDir( "crash" ) + "/Fragile.so";
	fs::copy_file( Tested( "Fragile" ), plugin );
	Served fragile( plugin, 2.0 );
	fragile.Post( "/api/parameters/Level", { { "value", 0.5 } } );
	const Answer crash = fragile.Post( "/api/parameters/Fault", { { "value", "Abort on set" } } );
	EXPECT_EQ( crash.status, 502 );
	EXPECT_TRUE( Has( crash.json, "SIGABRT" ) && Has( crash.json, "set \\\"Fault\\\"" ) ) << crash.body;
	Json status = fragile.Status();
	EXPECT_EQ( status[ "state" ], "crashed" );
	EXPECT_EQ( status[ "error" ][ "signal" ], "SIGABRT" );
	EXPECT_EQ( fragile.Post( "/api/parameters/Level", { { "value", 0.1 } } ).status, 503 );
	// As curl -X POST sends it: no body, no Content-Length.
	const std::string restarted = fragile.Raw( "POST /api/restart HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string( fragile.Port() ) +
											   "\r\nConnection: close\r\n\r\n" );
	EXPECT_NE( restarted.find( "\"state\":\"running\"" ), std::string::npos ) << restarted;
	EXPECT_EQ( fragile.Value( "Level" ), 0.5 );
	EXPECT_EQ( fragile.Value( "Fault" ), 0 );

	const std::pair< std::string, std::string > faults[] = { { "Abort on frame", "SIGABRT" }, { "Hang on frame", "SIGKILL" } };
	for( const auto& [ fault, signal ] : faults )
	{
		EXPECT_EQ( fragile.Post( "/api/parameters/Fault", { { "value", fault } } ).status, 200 );
		ASSERT_TRUE( fragile.WaitFor( []( const Json& s ) { return s[ "state" ] == "crashed"; } ) ) << fault;
		status = fragile.Status();
		EXPECT_EQ( status[ "error" ][ "signal" ], signal );
		EXPECT_EQ( status[ "error" ][ "request" ].get< std::string >().rfind( "render frame", 0 ), 0u ) << status.dump();
		if( signal == "SIGABRT" )// the page asks
			EXPECT_EQ( fragile.Post( "/api/restart", Json::object() ).json[ "state" ], "running" );
		else// or the file changes
		{
			const uint64_t generation = status[ "generation" ];
			fs::copy_file( Tested( "Fragile" ), plugin, fs::copy_options::overwrite_existing );
			fs::last_write_time( plugin, fs::file_time_type::clock::now() );
			ASSERT_TRUE( fragile.WaitFor( [ & ]( const Json& s ) { return s[ "generation" ] == generation + 1; } ) );
		}
		EXPECT_EQ( fragile.Value( "Fault" ), 0 );// the value set before the crash is left out
		EXPECT_EQ( fragile.Value( "Level" ), 0.5 );
	}
}

TEST( ServeApi, RebuildsAreReloadedAndBrokenBuildsShown )
{
	const std::string dir    = testsupport::ScratchDir( "reload" );
	const std::string plugin = dir + "/Plugin.so";
	fs::copy_file( Tested( "Fragile" ), plugin );
	Served served( plugin );
	served.Post( "/api/parameters/Level", { { "value", 0.75 } } );
	served.Post( "/api/parameters/Note", { { "value", "kept" } } );
	auto replace = [ & ]( const std::string& from ) {// as a build does: a new file renamed over the old
		fs::copy_file( from, dir + "/next.so", fs::copy_options::overwrite_existing );
		fs::rename( dir + "/next.so", plugin );
	};

	replace( Tested( "FragileBadShader" ) );
	ASSERT_TRUE( served.WaitFor( []( const Json& s ) { return s[ "state" ] == "failed"; } ) );
	const Json failed = served.Status()[ "error" ];
	EXPECT_EQ( failed[ "stage" ], "instantiate" );
	EXPECT_NE( failed[ "log" ].get< std::string >().find( "undeclared_thing" ), std::string::npos ) << failed.dump();

	replace( Tested( "FragileCrashOnLoad" ) );
	ASSERT_TRUE( served.WaitFor( []( const Json& s ) { return s[ "state" ] == "crashed"; } ) );
	const Json crashed = served.Status()[ "error" ];
	EXPECT_TRUE( crashed[ "signal" ] == "SIGABRT" && crashed[ "request" ] == "load the plug-in" ) << crashed.dump();

	replace( Tested( "Fragile" ) );
	ASSERT_TRUE( served.WaitFor( []( const Json& s ) { return s[ "state" ] == "running" && s[ "generation" ] == 2; } ) );
	EXPECT_EQ( served.Value( "Level" ), 0.75 );
	EXPECT_EQ( served.Value( "Note" ), "kept" );

	// Rewritten in place, as a linker may do: another plug-in altogether.
	{
		std::ifstream in( Plugin( "Probe" ), std::ios::binary );
		std::ofstream out( plugin, std::ios::binary | std::ios::trunc );
		out << in.rdbuf();
	}
	ASSERT_TRUE( served.WaitFor( []( const Json& s ) { return s[ "generation" ] == 3; } ) );
	const Json parameters = served.Get( "/api/parameters" ).json;
	EXPECT_EQ( parameters[ 0 ][ "name" ], "Label" );
	EXPECT_EQ( parameters[ 5 ][ "visible" ], false );
	EXPECT_EQ( served.Get( "/api/frame.png" ).status, 200 );// an effect, fed a generated picture
}

TEST( ServeApi, EveryKindOfParameterAndWhatThePluginChangesItself )
{
	Served probe( Plugin( "Probe" ) );// an effect: it gets a generated picture
	const std::tuple< std::string, Json, Json > values[] = {
		{ "Label", "hi there", "hi there" }, { "Image", "b.png", "b.png" }, { "Mode", "Third", 30 }, { "Mode", 20, 20 }, { "Flag", false, 0 } };
	for( const auto& [ name, value, expected ] : values )
		EXPECT_EQ( probe.Post( "/api/parameters/" + name, { { "value", value } } ).json[ "value" ], expected ) << name;
	EXPECT_EQ( probe.Post( "/api/parameters/Spectrum", { { "value", 0 } } ).status, 400 );// a buffer
	Json mode = probe.Get( "/api/parameters/Mode" ).json;
	EXPECT_EQ( mode[ "displayName" ], "Mode shown" );
	EXPECT_EQ( mode[ "group" ], "Groupy" );
	EXPECT_EQ( mode[ "separators" ], Json::array( { 1, 7 } ) );
	EXPECT_EQ( probe.Get( "/api/parameters/Image" ).json[ "extensions" ], Json::array( { "png", "jpg" } ) );
	EXPECT_EQ( probe.Get( "/api/parameters/Hidden" ).json[ "visible" ], false );
	// Amount 0.5 makes the plug-in rename "Mode", give it new elements and
	// show "Hidden", all reported through its parameter events.
	EXPECT_EQ( probe.Post( "/api/parameters/Amount", { { "value", 0.5 } } ).status, 200 );
	mode = probe.Get( "/api/parameters/Mode" ).json;
	EXPECT_EQ( mode[ "displayName" ], "Renamed" );
	EXPECT_EQ( mode[ "elements" ], Json::parse( R"([{"name":"A","value":1.0},{"name":"B","value":2.0}])" ) );
	EXPECT_EQ( probe.Get( "/api/parameters/Hidden" ).json[ "visible" ], true );

	// An event is on for one frame.
	Served fragile( Tested( "Fragile" ) );
	EXPECT_EQ( fragile.Post( "/api/parameters/Pulse", { { "value", true } } ).json[ "value" ], 1 );
	EXPECT_TRUE( fragile.WaitFor( [ & ]( const Json& ) { return fragile.Value( "Pulse" ) == 0; } ) );
}

TEST( ServeApi, StartRefusesABusyPortAndValuesThePluginCannotTake )
{
	Served first( Plugin( "VavoRozar" ) );
	auto startError = [ & ]( uint32_t port, std::vector< Setting > settings, std::vector< std::string > inputs = {} ) -> std::string {
		ServeOptions options;
		options.plugin   = Plugin( "VavoRozar" );
		options.port     = port;
		options.settings = std::move( settings );
		options.inputs   = std::move( inputs );
		std::ostringstream err;
		PreviewServer server( options, { PLUGHOST_TOOL, "serve", "--worker" } );
		try
		{
			server.Start( err );
		}
		catch( const Failure& failure )
		{
			return failure.message;
		}
		catch( const UsageError& error )
		{
			return error.what();
		}
		return "(started) " + err.str();
	};
	EXPECT_NE( startError( first.Port(), {} ).find( "the port is in use" ), std::string::npos );
	EXPECT_NE( startError( 0, { { "Nope", "1" } } ).find( "unknown parameter \"Nope\"" ), std::string::npos );
	// As in render: a number outside the range is sent, with a warning.
	const std::string outside = startError( 0, { { "Scale", "7" } } );
	EXPECT_TRUE( outside.rfind( "(started)", 0 ) == 0 && outside.find( "warning: --set \"Scale\" = 7 is outside its range" ) != std::string::npos )
		<< outside;
	const std::string input = testsupport::ScratchDir( "inputs" ) + "/in.png";
	plughost::WritePng( input, plughost::SolidImage( 4, 4, { 1, 2, 3, 255 } ) );
	EXPECT_NE( startError( 0, {}, { input, input } ).find( "takes at most 1 input(s), got 2" ), std::string::npos );
}

TEST( ServeApi, EffectsShowTheirInputPicture )
{
	const std::string input = testsupport::ScratchDir( "input" ) + "/in.png";
	plughost::WritePng( input, plughost::SolidImage( 64, 36, { 200, 100, 50, 255 } ) );
	ServeOptions options;
	options.plugin = Plugin( "ToneGrade" );// gain and contrast 1: the input as it is
	options.port   = 0;
	options.width  = 64;
	options.height = 36;
	options.inputs = { input };
	std::ostringstream err;
	PreviewServer server( options, { PLUGHOST_TOOL, "serve", "--worker" } );
	server.Start( err );
	httplib::Client client( "127.0.0.1", server.Port() );
	const auto frame = client.Get( "/api/frame.png?after=0" );
	ASSERT_TRUE( frame && frame->status == 200 );
	const plughost::Image image = DecodePng( frame->body );
	const uint8_t* centre       = image.At( 32, 18 );
	EXPECT_TRUE( std::abs( centre[ 0 ] - 200 ) <= 2 && std::abs( centre[ 1 ] - 100 ) <= 2 && std::abs( centre[ 2 ] - 50 ) <= 2 )
		<< int( centre[ 0 ] ) << " " << int( centre[ 1 ] ) << " " << int( centre[ 2 ] );
	server.Stop();
}

TEST( ServeApi, AWorkerThatCannotRunIsReportedNotFatal )
{
	const std::pair< std::vector< std::string >, std::string > workers[] = {
		{ { "/nonexistent/worker" }, "cannot start the worker" }, { { "/bin/false" }, "exited with status 1" } };
	for( const auto& [ worker, message ] : workers )
	{
		ServeOptions options;
		options.plugin = Plugin( "VavoRozar" );
		options.port   = 0;
		std::ostringstream err;
		PreviewServer server( options, worker );
		server.Start( err );
		httplib::Client client( "127.0.0.1", server.Port() );
		const auto status = client.Get( "/api/status" );
		ASSERT_TRUE( status );
		EXPECT_NE( status->body.find( message ), std::string::npos ) << status->body;
		EXPECT_EQ( client.Post( "/api/parameters/0", R"({"value":1})", "application/json" )->status, 503 );
		server.Stop();
	}
}

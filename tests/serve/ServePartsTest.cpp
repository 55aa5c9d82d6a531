// The preview server's parts that need no server: option parsing, the
// request guard, value checks and the file watcher.
#include "TestSupport.h"

#include "serve/EventBus.h"
#include "serve/ParameterValues.h"
#include "serve/PluginWatcher.h"
#include "serve/RequestGuard.h"
#include "serve/ServeOptions.h"

#include <ffgl/FFGL.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <thread>
#include <filesystem>
#include <fstream>

using namespace plughost::cli;
using namespace plughost::cli::serve;

namespace
{
template< typename Action >
std::string Refusal( Action action, int* status = nullptr )
{
	try
	{
		action();
	}
	catch( const ApiError& error )
	{
		if( status )
			*status = error.status;
		return error.what();
	}
	catch( const UsageError& error )
	{
		return error.what();
	}
	return "(accepted)";
}

ParameterState Make( uint32_t index, const std::string& name, uint32_t type, float minimum = 0.0f, float maximum = 1.0f )
{
	ParameterState parameter;
	parameter.description.index   = index;
	parameter.description.name    = name;
	parameter.description.type    = type;
	parameter.description.minimum = minimum;
	parameter.description.maximum = maximum;
	return parameter;
}

void Write( const std::string& path, const std::string& text )
{
	std::ofstream( path, std::ios::binary | std::ios::trunc ) << text;
}
}// namespace

TEST( ServeParts, OptionsAndTheirRefusals )
{
	const ServeOptions options = ParseServeArgs( { "x.so", "--port", "0", "--bind=0.0.0.0", "--size", "64x36", "--fps", "12",
												   "--input", "a.png", "--set", "Scale=0.3", "--timeout", "2" } );
	EXPECT_EQ( options.port, 0u );
	EXPECT_EQ( options.bind, "0.0.0.0" );
	EXPECT_EQ( options.width * 1000 + options.height, 64036u );
	EXPECT_EQ( options.fps, 12.0 );
	EXPECT_EQ( options.inputs.size() + options.settings.size(), 2u );
	const std::pair< std::vector< std::string >, std::string > refused[] = {
		{ {}, "needs a plug-in file" },          { { "x.so", "--port", "70000" }, "--port expects" },
		{ { "x.so", "--fps", "0" }, "--fps" },   { { "x.so", "--size", "0x5" }, "--size" },
		{ { "x.so", "--bind", "" }, "--bind" },  { { "x.so", "y.so" }, "second" },
		{ { "x.so", "--frames", "3" }, "unknown option" } };
	for( const auto& [ args, expected ] : refused )
		EXPECT_NE( Refusal( [ &args = args ] { ParseServeArgs( args ); } ).find( expected ), std::string::npos ) << expected;
	EXPECT_TRUE( ParseServeArgs( { "--worker" } ).worker );
}

TEST( ServeParts, GuardAcceptsOnlyThisServersNames )
{
	const RequestGuard guard( 8080 ), open( 8080, { "studio" } );
	const std::tuple< const RequestGuard*, std::string, std::string, std::string, bool > cases[] = {
		{ &guard, "127.0.0.1:8080", "", "", true },
		{ &guard, "localhost:8080", "http://localhost:8080", "same-origin", true },
		{ &guard, "[::1]:8080", "http://127.0.0.1:8080", "", true },
		{ &guard, "LOCALHOST:8080", "", "none", true },
		{ &guard, "", "", "", false },// no Host at all
		{ &guard, "127.0.0.1:8081", "", "", false },
		{ &guard, "127.0.0.1", "", "", false },// port 80 implied
		{ &guard, "evil.example:8080", "", "", false },// DNS rebinding
		{ &guard, "127.0.0.1:8080", "http://evil.example", "", false },
		{ &guard, "127.0.0.1:8080", "null", "", false },
		{ &guard, "127.0.0.1:8080", "https://127.0.0.1:8080", "", false },
		{ &guard, "127.0.0.1:8080", "", "cross-site", false },
		{ &guard, "127.0.0.1:8080", "", "same-site", false },
		{ &guard, "studio:8080", "", "", false },
		{ &open, "studio:8080", "http://studio:8080", "", true },
		{ &open, "192.168.1.20:8080", "", "", true } };
	for( const auto& [ which, host, origin, site, allowed ] : cases )
		EXPECT_EQ( which->Check( host, origin, site ).empty(), allowed ) << host << " " << origin << " " << site;
	EXPECT_TRUE( IsLoopbackAddress( "127.0.0.2" ) && IsLoopbackAddress( "::1" ) && !IsLoopbackAddress( "0.0.0.0" ) );
}

TEST( ServeParts, ParametersAreFoundByIndexOrName )
{
	const std::vector< ParameterState > parameters = { Make( 0, "Display Type", FF_TYPE_OPTION ), Make( 1, "Scale", FF_TYPE_STANDARD ),
													   Make( 2, "scale", FF_TYPE_STANDARD ) };
	EXPECT_EQ( FindParameter( parameters, "1" ).description.name, "Scale" );
	EXPECT_EQ( FindParameter( parameters, "scale" ).description.index, 2u );// exact first
	EXPECT_EQ( FindParameter( parameters, "display type" ).description.index, 0u );
	int status = 0;
	EXPECT_NE( Refusal( [ & ] { FindParameter( parameters, "3" ); }, &status ).find( "indices are 0 to 2" ), std::string::npos );
	EXPECT_EQ( status, 404 );
	EXPECT_NE( Refusal( [ & ] { FindParameter( parameters, "SCALE" ); } ).find( "no parameter named" ), std::string::npos );// two matches
	EXPECT_NE( Refusal( [ & ] { FindParameter( parameters, "99999999999999" ); } ).find( "no parameter named" ), std::string::npos );
}

TEST( ServeParts, ValuesAreCheckedAgainstTheDescription )
{
	ParameterState option = Make( 0, "Display Type", FF_TYPE_OPTION );
	option.description.elements = { { "Analog", 0.0f }, { "Digital 24h", 3.0f } };
	const ParameterState offset = Make( 1, "Timezone Offset", FF_TYPE_INTEGER, -12.0f, 14.0f );
	const ParameterState text = Make( 2, "Label", FF_TYPE_TEXT ), flag = Make( 3, "Solid", FF_TYPE_BOOLEAN );
	const ParameterState buffer = Make( 4, "Spectrum", FF_TYPE_BUFFER ), level = Make( 5, "Level", FF_TYPE_STANDARD );
	const std::tuple< const ParameterState*, Json, float > accepted[] = {
		{ &option, "Digital 24h", 3.0f }, { &option, "digital 24H", 3.0f }, { &option, 3, 3.0f }, { &offset, -12, -12.0f },
		{ &offset, 14.0, 14.0f },         { &flag, true, 1.0f },            { &flag, 0, 0.0f },   { &level, 0.5, 0.5f } };
	for( const auto& [ parameter, value, expected ] : accepted )
		EXPECT_EQ( ResolveValue( *parameter, value ).number, expected ) << value;
	EXPECT_EQ( ResolveValue( text, "hi" ).text, "hi" );
	const std::tuple< const ParameterState*, Json, int, std::string > refused[] = {
		{ &option, "Digital 99", 400, "\"Analog\" = 0, \"Digital 24h\" = 3" }, { &option, 1, 400, "elements" },
		{ &offset, 1.5, 400, "whole numbers" },  { &offset, 15, 400, "outside its range -12 .. 14" },
		{ &level, "0.5", 400, "takes a number" }, { &level, 1e300, 400, "finite" },
		{ &flag, 0.7, 400, "true or false" },     { &text, 5, 400, "takes a text" },
		{ &text, std::string( kMaxText + 1, 'x' ), 413, "longer than the limit" },
		{ &text, std::string( "a\0b", 3 ), 400, "NUL" }, { &buffer, 0, 400, "buffer" } };
	for( const auto& [ parameter, value, status, expected ] : refused )
	{
		int got = 0;
		const std::string message = Refusal( [ &, &v = value, &p = parameter ] { ResolveValue( *p, v ); }, &got );
		EXPECT_TRUE( got == status && message.find( expected ) != std::string::npos ) << message;
	}
}

TEST( ServeParts, WatcherWaitsForTheFileToSettle )
{
	namespace fs              = std::filesystem;
	const std::string dir     = testsupport::ScratchDir( "watch" );
	const std::string plugin  = dir + "/P.so";
	Write( plugin, "one" );
	PluginWatcher watcher( plugin, std::chrono::milliseconds( 300 ) );
	watcher.Accept( SignatureOf( plugin ) );
	const auto t = PluginWatcher::Clock::now();
	EXPECT_FALSE( watcher.Poll( t ) );
	// Rewritten in place, as a linker does: seen once it keeps still.
	Write( plugin, "two!" );
	EXPECT_FALSE( watcher.Poll( t ) );
	EXPECT_FALSE( watcher.Poll( t + std::chrono::milliseconds( 100 ) ) );
	EXPECT_TRUE( watcher.Poll( t + std::chrono::milliseconds( 400 ) ) );
	// Replaced by a rename, after a while without any file.
	watcher.Accept( SignatureOf( plugin ) );
	fs::remove( plugin );
	EXPECT_FALSE( watcher.Poll( t + std::chrono::seconds( 5 ) ) );
	Write( dir + "/new", "two!" );
	fs::rename( dir + "/new", plugin );
	EXPECT_FALSE( watcher.Poll( t + std::chrono::seconds( 6 ) ) );
	EXPECT_TRUE( watcher.Poll( t + std::chrono::seconds( 7 ) ) );

	std::string directory;
	{
		PrivateCopies copies;
		FileSignature copied;
		const std::string first = copies.Make( plugin, copied ), second = copies.Make( plugin, copied );
		EXPECT_NE( first, second );// a new name for every load
		EXPECT_EQ( copied, SignatureOf( plugin ) );
		std::ifstream in( second );
		EXPECT_EQ( std::string( std::istreambuf_iterator< char >( in ), {} ), "two!" );
		EXPECT_NE( testsupport::ErrorOf( [ & ] { copies.Make( dir + "/missing.so", copied ); } ).find( "cannot read" ), std::string::npos );
		directory = copies.Directory();
	}
	EXPECT_FALSE( fs::exists( directory ) );// removed with its copies
}

TEST( ServeParts, EventsReachEachReaderAndOldOnesFallOff )
{
	using namespace std::chrono_literals;
	EventBus bus( 3 );
	const uint64_t start = bus.Latest();
	for( int i = 0; i < 5; ++i )
		bus.Publish( "log", std::to_string( i ) );
	const auto events = bus.Next( start, 0ms );
	ASSERT_EQ( events.size(), 3u );
	EXPECT_EQ( events.front().data, "2" );// the two oldest fell off
	EXPECT_EQ( EventBus::Format( events.back() ), "id: 5\nevent: log\ndata: 4\n\n" );
	EXPECT_TRUE( bus.Next( events.back().id, 10ms ).empty() );
	std::thread closer( [ & ] {
		std::this_thread::sleep_for( 50ms );
		bus.Close();
	} );
	const auto before = std::chrono::steady_clock::now();
	EXPECT_TRUE( bus.Next( bus.Latest(), 20s ).empty() );// woken by Close, not by the timeout
	EXPECT_LT( std::chrono::steady_clock::now() - before, 10s );
	closer.join();
}

TEST( ServeParts, MessagesCarryParametersAndPixels )
{
	ParameterState scale = Make( 3, "Scale", FF_TYPE_STANDARD );
	scale.value          = std::nanf( "" );
	scale.display        = "\xff wide";
	scale.description.elements = { { "", std::nullopt } };
	const ParameterState back = ParameterFromJson( Json::parse( Dump( ToJson( scale ) ) ) );
	EXPECT_TRUE( std::isnan( back.value ) );// null on the way, NaN again
	EXPECT_EQ( back.display, "\xEF\xBF\xBD wide" );// a plug-in's invalid UTF-8 is replaced, not thrown
	EXPECT_FALSE( back.description.elements.at( 0 ).value );
	ParameterState label = Make( 0, "Label", FF_TYPE_TEXT );
	label.text           = "hello";
	EXPECT_EQ( ParameterFromJson( ToJson( label ) ).text, "hello" );
	const std::string pixels( "\n\0\x01", 3 );
	const Message message = Decode( Encode( FrameRequest( 1.5 ), pixels ) );
	EXPECT_EQ( message.json[ "time" ], 1.5 );
	EXPECT_EQ( message.payload, pixels );
	EXPECT_THROW( Decode( "[1]" ), std::exception );
}

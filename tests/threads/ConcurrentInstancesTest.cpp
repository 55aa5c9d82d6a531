// Hosts may drive different instances from different threads, each thread
// with its own GL context. Code 34 runs once before the threads start; then
// every thread makes its own context and instance, sets parameters and
// renders 500 frames, all at the same time. Built under ThreadSanitizer by
// the tsan preset, which reports any race on the library's shared state.
#include <gtest/gtest.h>

#include <PlugHost.h>

#include <GL/glcorearb.h>

#include <atomic>
#include <cstdio>
#include <exception>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace plughost;

namespace
{
constexpr int kThreads = 3;
constexpr int kFrames  = 500;

struct Subject
{
	const char* name;
	uint32_t option, optionCount;// an option parameter, switched as frames go by
	uint32_t number;             // a float parameter whose display text is checked
	std::vector< std::pair< uint32_t, float > > finalSettings;// that make every thread's picture the same
};

const Subject subjects_[] = {
	// Display type, scale; digital 24h at manual 12:00.
	{ "VavoRozar", 0, 4, 2, { { 0, 3.0f }, { 2, 0.8f }, { 6, 1.0f }, { 7, 0.5f } } },
	// Pattern, shade; speed 0 stops the stripes.
	{ "SineField", 4, 2, 7, { { 4, 1.0f }, { 5, 0.0f }, { 7, 0.2f } } },
};

// The default display text of a float: six decimals, at most 15 characters.
std::string DisplayText( float value )
{
	char text[ 64 ];
	std::snprintf( text, sizeof text, "%f", static_cast< double >( value ) );
	return std::string( text ).substr( 0, 15 );
}

// One thread's whole run; answers what went wrong, or nothing.
std::string RunThread( PluginLibrary& library, const Subject& subject, int thread, Image& last )
{
	try
	{
		GLContext context;
		Instance instance( library, 64, 48 );
		RenderTarget target( 64, 48 );
		for( int frame = 0; frame < kFrames; ++frame )
		{
			const float value = 0.3f + 0.01f * static_cast< float >( ( frame + thread ) % 50 );
			instance.SetFloat( subject.option, static_cast< float >( ( frame / 25 + thread ) % subject.optionCount ) );
			instance.SetFloat( subject.number, value );
			// Each thread must read its own text back, never another's.
			if( instance.Display( subject.number ) != DisplayText( value ) )
				return "display text of frame " + std::to_string( frame ) + " is not " + DisplayText( value );
			if( RenderFrame( instance, target ) != FF_SUCCESS )
				return "frame " + std::to_string( frame ) + " failed";
		}
		for( const auto& setting : subject.finalSettings )
			instance.SetFloat( setting.first, setting.second );
		last = RenderImage( instance, target );
		if( glGetError() != GL_NO_ERROR )
			return "GL error pending";
		return "";
	}
	catch( const std::exception& error )
	{
		return error.what();
	}
}

class ConcurrentInstances : public ::testing::TestWithParam< Subject >
{
};

TEST_P( ConcurrentInstances, OwnThreadsAndContextsAtOnce )
{
	const Subject& subject = GetParam();
	PluginLibrary library( std::string( FFGL_PLUGIN_DIR ) + "/" + subject.name + ".so" );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	library.ClearLog();

	std::vector< std::string > failures( kThreads );
	std::vector< Image > pictures( kThreads );
	std::vector< std::thread > threads;
	for( int t = 0; t < kThreads; ++t )
		threads.emplace_back( [ &, t ] { failures[ t ] = RunThread( library, subject, t, pictures[ t ] ); } );
	for( std::thread& thread : threads )
		thread.join();

	const Image& first = pictures[ 0 ];
	ASSERT_FALSE( first.pixels.empty() ) << failures[ 0 ];
	EXPECT_NE( first, SolidImage( first.width, first.height, Rgba{ first.pixels[ 0 ], first.pixels[ 1 ], first.pixels[ 2 ], first.pixels[ 3 ] } ) )
		<< "nothing drawn";
	for( int t = 0; t < kThreads; ++t )
	{
		EXPECT_EQ( failures[ t ], "" ) << "thread " << t;
		EXPECT_EQ( pictures[ t ], first ) << "thread " << t;
	}
	if( std::string( subject.name ) == "VavoRozar" )
	{
		EXPECT_EQ( library.Log(), std::vector< std::string >( kThreads, "Created VavoRozar effect" ) );
	}
}

// A host that skips code 34 and asks from several threads at once: those
// that find the prototype missing must make one between them, not one each.
TEST( ConcurrentQueries, MakeThePrototypeOnce )
{
	PluginLibrary library( std::string( FFGL_PLUGIN_DIR ) + "/VavoRozar.so" );
	std::atomic< bool > go{ false };
	std::vector< uint32_t > counts( kThreads );
	std::vector< std::thread > threads;
	for( int t = 0; t < kThreads; ++t )
		threads.emplace_back( [ &, t ] {
			while( !go )
				std::this_thread::yield();
			counts[ t ] = library.CallU( FF_GET_NUM_PARAMETERS );
		} );
	go = true;
	for( std::thread& thread : threads )
		thread.join();
	EXPECT_EQ( counts, std::vector< uint32_t >( kThreads, 13u ) );
	EXPECT_EQ( library.Log(), std::vector< std::string >{ "Created VavoRozar effect" } );
}

INSTANTIATE_TEST_SUITE_P( Plugins, ConcurrentInstances, ::testing::ValuesIn( subjects_ ),
						  []( const ::testing::TestParamInfo< Subject >& info ) { return std::string( info.param.name ); } );
}// namespace

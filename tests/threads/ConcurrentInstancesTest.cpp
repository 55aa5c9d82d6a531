// Hosts may drive different instances from different threads, each thread
// with its own GL context. Code 34 runs once before the threads start; then
// every thread makes its own context and clock instance, sets parameters
// and renders 500 frames, all at the same time. Built under ThreadSanitizer
// by the tsan preset, which reports any race on the library's shared state.
#include <gtest/gtest.h>

#include <PlugHost.h>

#include <GL/glcorearb.h>

#include <cstdio>
#include <exception>
#include <string>
#include <thread>
#include <vector>

using namespace plughost;

namespace
{
constexpr int kThreads = 3;
constexpr int kFrames  = 500;
constexpr uint32_t kDisplayType = 0, kScale = 2, kManualMode = 6, kHours = 7;

// The default display text of a float: six decimals, at most 15 characters.
std::string DisplayText( float value )
{
	char text[ 64 ];
	std::snprintf( text, sizeof text, "%f", static_cast< double >( value ) );
	return std::string( text ).substr( 0, 15 );
}

// One thread's whole run; answers what went wrong, or nothing.
std::string RunThread( PluginLibrary& library, int thread, Image& last )
{
	try
	{
		GLContext context;
		Instance instance( library, 64, 48 );
		RenderTarget target( 64, 48 );
		for( int frame = 0; frame < kFrames; ++frame )
		{
			const float scale = 0.3f + 0.01f * static_cast< float >( ( frame + thread ) % 50 );
			instance.SetFloat( kDisplayType, static_cast< float >( ( frame / 25 + thread ) % 4 ) );
			instance.SetFloat( kScale, scale );
			// Each thread must read its own text back, never another's.
			if( instance.Display( kScale ) != DisplayText( scale ) )
				return "display text of frame " + std::to_string( frame ) + " is not " + DisplayText( scale );
			if( RenderFrame( instance, target ) != FF_SUCCESS )
				return "frame " + std::to_string( frame ) + " failed";
		}
		// The same settings on every thread must give the same picture.
		instance.SetFloat( kDisplayType, 3.0f );
		instance.SetFloat( kScale, 0.8f );
		instance.SetFloat( kManualMode, 1.0f );
		instance.SetFloat( kHours, 0.5f );
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
}// namespace

TEST( ConcurrentInstances, ClocksOnTheirOwnThreadsAndContexts )
{
	PluginLibrary library( std::string( FFGL_PLUGIN_DIR ) + "/VavoRozar.so" );
	ASSERT_EQ( library.Initialise(), FF_SUCCESS );
	library.ClearLog();

	std::vector< std::string > failures( kThreads );
	std::vector< Image > pictures( kThreads );
	std::vector< std::thread > threads;
	for( int t = 0; t < kThreads; ++t )
		threads.emplace_back( [ &, t ] { failures[ t ] = RunThread( library, t, pictures[ t ] ); } );
	for( std::thread& thread : threads )
		thread.join();

	const Image& first = pictures[ 0 ];
	ASSERT_FALSE( first.pixels.empty() );
	EXPECT_NE( first, SolidImage( first.width, first.height, Rgba{ first.pixels[ 0 ], first.pixels[ 1 ], first.pixels[ 2 ], first.pixels[ 3 ] } ) )
		<< "the read-out is missing";
	for( int t = 0; t < kThreads; ++t )
	{
		EXPECT_EQ( failures[ t ], "" ) << "thread " << t;
		EXPECT_EQ( pictures[ t ], pictures[ 0 ] ) << "thread " << t;
	}
	EXPECT_EQ( library.Log(), std::vector< std::string >( kThreads, "Created VavoRozar effect" ) );
}

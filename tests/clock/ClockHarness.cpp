#include "ClockHarness.h"

#include <GL/glcorearb.h>
#include <dlfcn.h>
#include <sys/time.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <sstream>

namespace
{
std::atomic< bool > pinned{ false };
std::atomic< int64_t > pinnedSeconds{ 0 };
std::atomic< int64_t > pinnedMicroseconds{ 0 };
}// namespace

// The test executable exports this symbol, so the dlopen'ed plug-in binds
// to it instead of the C library's.
extern "C" int gettimeofday( struct timeval* __restrict tv, void* __restrict tz ) noexcept
{
	if( pinned.load() )
	{
		tv->tv_sec  = static_cast< time_t >( pinnedSeconds.load() );
		tv->tv_usec = static_cast< suseconds_t >( pinnedMicroseconds.load() );
		return 0;
	}
	using Real       = int ( * )( struct timeval*, void* );
	static Real real = reinterpret_cast< Real >( dlsym( RTLD_NEXT, "gettimeofday" ) );
	if( real == nullptr )
		return -1;
	return real( tv, tz );
}

namespace clocktest
{
void PinClock( int64_t seconds, int64_t microseconds )
{
	pinnedSeconds      = seconds;
	pinnedMicroseconds = microseconds;
	pinned             = true;
}

void ReleaseClock() { pinned = false; }

void PinZone( const char* zone )
{
	setenv( "TZ", zone, 1 );
	tzset();
}

plughost::GLContext& Context()
{
	static plughost::GLContext context;
	context.MakeCurrent();
	return context;
}

plughost::PluginLibrary& Clock()
{
	Context();
	static plughost::PluginLibrary library( std::string( FFGL_PLUGIN_DIR ) + "/VavoRozar.so" );
	if( !library.Initialised() )
		library.Initialise();
	return library;
}

std::string Comparison::Describe() const
{
	std::ostringstream out;
	out << "max difference " << maxDifference << " at (" << worstX << ", " << worstY << "), " << skipped
	    << " pixels on a discontinuity skipped";
	return out.str();
}

Comparison Compare( const plughost::Image& image, const std::function< clockref::Pixel( int, int ) >& model )
{
	Comparison result;
	const int w = static_cast< int >( image.width ), h = static_cast< int >( image.height );
	for( int row = 0; row < h; ++row )
		for( int x = 0; x < w; ++x )
		{
			const int y               = h - 1 - row;
			const clockref::Pixel ref = model( x, y );
			if( ref.ambiguous )
			{
				++result.skipped;
				continue;
			}
			const uint8_t* got        = image.At( static_cast< uint32_t >( x ), static_cast< uint32_t >( row ) );
			const double expected[ 4 ] = { ref.r, ref.g, ref.b, ref.a };
			for( int c = 0; c < 4; ++c )
			{
				const int want = static_cast< int >( std::lround( std::clamp( expected[ c ], 0.0, 1.0 ) * 255.0 ) );
				const int diff = std::abs( want - static_cast< int >( got[ c ] ) );
				if( diff > result.maxDifference )
				{
					result.maxDifference = diff;
					result.worstX        = x;
					result.worstY        = y;
				}
			}
		}
	return result;
}

void ApplyManual( plughost::Instance& instance, const clockref::FaceInputs& in, Display display )
{
	// Smooth first so the minute and second values are stored unsnapped.
	instance.SetFloat( DisplayType, static_cast< float >( AnalogSmooth ) );
	instance.SetFloat( ManualMode, 1.0f );
	instance.SetFloat( Hours, in.hours );
	instance.SetFloat( Minutes, in.minutes );
	instance.SetFloat( Seconds, in.seconds );
	instance.SetFloat( DisplayType, static_cast< float >( display ) );
	instance.SetFloat( ShowSeconds, in.showSeconds ? 1.0f : 0.0f );
	instance.SetFloat( Scale, in.scale );
	instance.SetFloat( Red, in.red );
	instance.SetFloat( Green, in.green );
	instance.SetFloat( Blue, in.blue );
	instance.SetFloat( SolidBackground, in.solidBackground ? 1.0f : 0.0f );
	instance.SetFloat( RedSecondsHand, in.redSeconds ? 1.0f : 0.0f );
}

GLObjectCounts CountGLObjects( uint32_t limit )
{
	GLObjectCounts counts;
	for( GLuint name = 1; name <= limit; ++name )
	{
		counts.textures += glIsTexture( name ) == GL_TRUE;
		counts.programs += glIsProgram( name ) == GL_TRUE;
		counts.shaders += glIsShader( name ) == GL_TRUE;
		counts.buffers += glIsBuffer( name ) == GL_TRUE;
		counts.vertexArrays += glIsVertexArray( name ) == GL_TRUE;
	}
	return counts;
}
}// namespace clocktest

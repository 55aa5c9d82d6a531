// The built clock loaded with dlopen and driven through plugMain: whole
// frames against the CPU model (also inside a host's larger framebuffer,
// scissor box, blending and depth test) with the GL state each leaves
// behind, a pinned wall clock, GL objects over many lifetimes and
// degenerate viewports.
//
// Tolerance: on Mesa llvmpipe both faces differ from the model by at most
// 1 step of 255 (single precision, 8-bit rounding, fixed-point bilinear
// weights); the limit allows one more. A misplaced line or texel costs far more.
#include <gtest/gtest.h>

#include <GL/glcorearb.h>
#include <PlugHost.h>
#include <dlfcn.h>
#include <sys/time.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <random>
#include <ctime>
#include <string>
#include <tuple>
#include <vector>

#include "ClockReference.h"

using clockref::FaceInputs;

namespace
{
std::atomic< bool > pinned{ false };
std::atomic< int64_t > pinnedSeconds{ 0 }, pinnedMicroseconds{ 0 };

enum Param : uint32_t { DisplayType, ShowSeconds, Scale, Red, Green, Blue, ManualMode, Hours, Minutes, Seconds,
                        TimezoneOffset, SolidBackground, RedSecondsHand };
enum Display { Analog, AnalogSmooth, Digital12h, Digital24h };
constexpr int kTolerance      = 2;
constexpr int64_t kAfternoon = 1773446400LL + 13 * 3600 + 30 * 60 + 5;// 2026-03-14 13:30:05 UTC

plughost::PluginLibrary& Clock()
{
	static plughost::GLContext context;
	context.MakeCurrent();
	static plughost::PluginLibrary library( std::string( FFGL_PLUGIN_DIR ) + "/VavoRozar.so" );
	if( !library.Initialised() )
		library.Initialise();
	return library;
}

struct Shape { uint32_t width, height; };

// The host around a frame: where the viewport lies in a larger framebuffer
// the host cleared to grey, and host state that the frame must respect.
struct Host
{
	uint32_t x = 0, y = 0, right = 0, top = 0;// margins around the viewport
	bool scissor = false;                     // box over the viewport's middle
	bool blend = false;                       // additive
	bool depthFails = false;                  // a depth test no pixel passes
	bool replacing  = false;                  // blending that writes the source as it is
};
constexpr double kGrey = 0.2;

// One frame as a host draws it, checking that the frame leaves the host's
// state as it was and its own bindings at rest.
plughost::Image Render( plughost::Instance& instance, Shape shape, const Host& host = {} )
{
	plughost::RenderTarget target( host.x + shape.width + host.right, host.y + shape.height + host.top );
	target.Clear( kGrey, kGrey, kGrey, kGrey );
	glViewport( host.x, host.y, shape.width, shape.height );
	glScissor( host.x + shape.width / 4, host.y + shape.height / 4, shape.width / 2, shape.height / 2 );
	const bool blend = host.blend || host.replacing;
	for( auto [ on, capability ] : { std::pair{ host.scissor, GL_SCISSOR_TEST }, { blend, GL_BLEND }, { host.depthFails, GL_DEPTH_TEST } } )
		on ? glEnable( capability ) : glDisable( capability );
	glBlendFunc( GL_ONE, host.replacing ? GL_ZERO : GL_ONE );
	glDepthFunc( GL_NEVER );
	static const GLuint hostBuffer = [] { GLuint name = 0; glGenBuffers( 1, &name ); return name; }();
	glBindBuffer( GL_ARRAY_BUFFER, hostBuffer );
	glActiveTexture( GL_TEXTURE5 );// left behind for the frame to clear
	EXPECT_EQ( instance.ProcessFrame(), FF_SUCCESS );

	const GLint fbo = static_cast< GLint >( target.Framebuffer() ), x = static_cast< GLint >( host.x ), y = static_cast< GLint >( host.y );
	const GLint w = static_cast< GLint >( shape.width ), h = static_cast< GLint >( shape.height );
	const std::pair< GLenum, std::vector< GLint > > wanted[] = {
		{ GL_CURRENT_PROGRAM, { 0 } }, { GL_ACTIVE_TEXTURE, { GL_TEXTURE0 } }, { GL_VERTEX_ARRAY_BINDING, { 0 } },
		{ GL_ARRAY_BUFFER_BINDING, { static_cast< GLint >( hostBuffer ) } }, { GL_DRAW_FRAMEBUFFER_BINDING, { fbo } },
		{ GL_READ_FRAMEBUFFER_BINDING, { fbo } }, { GL_VIEWPORT, { x, y, w, h } }, { GL_SCISSOR_BOX, { x + w / 4, y + h / 4, w / 2, h / 2 } },
		{ GL_SCISSOR_TEST, { host.scissor } }, { GL_BLEND, { blend } }, { GL_DEPTH_TEST, { host.depthFails } },
		{ GL_COLOR_WRITEMASK, { 1, 1, 1, 1 } }, { GL_UNPACK_ALIGNMENT, { 4 } },
	};
	for( const auto& [ pname, want ] : wanted )
	{
		std::vector< GLint > got( 4, -1 );
		glGetIntegerv( pname, got.data() );
		got.resize( want.size() );
		EXPECT_EQ( got, want ) << "GL state " << pname;
	}
	std::vector< GLfloat > clear( 4 );
	glGetFloatv( GL_COLOR_CLEAR_VALUE, clear.data() );
	EXPECT_EQ( clear, std::vector< GLfloat >( 4, static_cast< float >( kGrey ) ) );
	for( GLenum unit = 0; unit <= 10; ++unit )
	{
		GLint texture = -1;
		glActiveTexture( GL_TEXTURE0 + unit );
		glGetIntegerv( GL_TEXTURE_BINDING_2D, &texture );
		EXPECT_EQ( texture, 0 ) << "texture unit " << unit;
	}
	glActiveTexture( GL_TEXTURE0 );
	glBindBuffer( GL_ARRAY_BUFFER, 0 );
	for( GLenum capability : { GL_SCISSOR_TEST, GL_BLEND, GL_DEPTH_TEST } )
		glDisable( capability );
	return target.ReadPixels();
}

// Renders a frame and returns the largest channel difference (8-bit steps)
// from the model of `display` over the whole framebuffer, with a description.
std::pair< int, std::string > RenderAndCompare( plughost::Instance& instance, Shape shape, FaceInputs in, Display display,
												const Host& host = {} )
{
	const auto image = Render( instance, shape, host );
	const int w = static_cast< int >( shape.width ), h = static_cast< int >( shape.height );
	in.hourFormat24h = display == Digital24h;
	const auto model = clockref::Frame( in, display >= Digital12h, w, h );
	int worst = 0, worstX = -1, worstY = -1, skipped = 0;
	for( int y = -static_cast< int >( host.y ); y < h + static_cast< int >( host.top ); ++y )
		for( int x = -static_cast< int >( host.x ); x < w + static_cast< int >( host.right ); ++x )
		{
			// Outside the viewport, the scissor box or the depth test: the host's grey.
			const bool drawn = x >= 0 && y >= 0 && x < w && y < h && !host.depthFails &&
			                   ( !host.scissor || ( x >= w / 4 && y >= h / 4 && x < w / 4 + w / 2 && y < h / 4 + h / 2 ) );
			clockref::Pixel p = drawn ? model[ static_cast< size_t >( y ) * w + x ] : clockref::Pixel{ 0, 0, 0, 0 };
			const double add = !drawn || host.blend ? kGrey : 0.0;
			skipped += p.ambiguous;
			const uint8_t* got     = image.At( static_cast< uint32_t >( x + host.x ), image.height - 1 - static_cast< uint32_t >( y + host.y ) );
			const double want[ 4 ] = { p.r + add, p.g + add, p.b + add, p.a + add };
			for( int c = 0; c < 4 && !p.ambiguous; ++c )
			{
				const int diff = std::abs( static_cast< int >( std::lround( std::clamp( want[ c ], 0.0, 1.0 ) * 255.0 ) ) - got[ c ] );
				if( diff > worst )
					worst = diff, worstX = x, worstY = y;
			}
		}
	return { worst, std::to_string( w ) + "x" + std::to_string( h ) + " display " + std::to_string( display ) + ": max difference " +
					   std::to_string( worst ) + " at (" + std::to_string( worstX ) + ", " + std::to_string( worstY ) + "), " +
					   std::to_string( skipped ) + " pixels on a discontinuity skipped" };
}

// Manual mode; minutes and seconds are sent while smooth so they stay unsnapped.
void ApplyManual( plughost::Instance& instance, const FaceInputs& in, Display display )
{
	const std::pair< Param, float > values[] = {
		{ DisplayType, AnalogSmooth }, { ManualMode, 1 }, { Hours, in.hours }, { Minutes, in.minutes },
		{ Seconds, in.seconds }, { DisplayType, float( display ) }, { ShowSeconds, float( in.showSeconds ) },
		{ Scale, in.scale }, { Red, in.red }, { Green, in.green }, { Blue, in.blue },
		{ SolidBackground, float( in.solidBackground ) }, { RedSecondsHand, float( in.redSeconds ) },
	};
	for( auto [ param, value ] : values )
		instance.SetFloat( param, value );
}

}// namespace

// Exported by the executable, so the dlopen'ed clock reads the pinned time.
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
	return real ? real( tv, tz ) : -1;
}

TEST( ClockFrames, ManualFramesMatchTheModel )
{
	// FaceInputs: red, green, blue, hours, minutes, seconds, scale, show seconds, solid, red seconds.
	// From 64 x 64 pixels on, frames draw over a cover of the face unless the host's state forbids it.
	const struct { Display display; std::vector< Shape > shapes; FaceInputs in; Host host = {}; } rows[] = {
		{ AnalogSmooth, { { 160, 90 }, { 72, 128 }, { 96, 96 }, { 200, 40 } }, { 0.9f, 0.6f, 0.2f, 0.3f, 0.71f, 0.45f, 0.9f } },
		{ Analog, { { 128, 72 }, { 64, 112 } }, { 0.8f, 0.8f, 1.0f, 0.9f, 0.2f, 0.6f, 1.0f, true, false, true } },
		{ AnalogSmooth, { { 120, 80 } }, { 0.8f, 0.8f, 0.8f, 0.5f, 0.0f, 0.25f, 0.3f, false, true, true } },
		// Hands at 0, 90 and 180 degrees, then 270 and 37.
		{ AnalogSmooth, { { 320, 120 }, { 90, 200 }, { 150, 150 } }, { 0.9f, 0.6f, 0.2f, 0.0f, 0.25f, 0.5f, 0.8f } },
		{ AnalogSmooth, { { 256, 144 } }, { 0.8f, 0.8f, 0.8f, 0.75f, 37.0f / 360, 37.0f / 360, 0.7f, true, false, true } },
		// 07:38:52
		{ Digital12h, { { 160, 90 }, { 72, 128 }, { 96, 96 }, { 200, 40 } },
		  { 0.3f, 0.9f, 0.5f, 7.5f / 12, 38.0f / 60 + 0.001f, 52.5f / 60, 0.95f } },
		{ Digital24h, { { 192, 64 }, { 60, 100 } }, { 0.8f, 0.8f, 0.8f, 13.5f / 24, 0.999f, 0.0f, 1.0f, false, false } },
		// Slider ends read 11:59:59, not 00:00:00.
		{ Digital12h, { { 140, 60 } }, { 0.8f, 0.8f, 0.8f, 1.0f, 1.0f, 1.0f, 1.0f } },
		// The largest (513 x 1027) set, rebuilt from the 385 x 771 one made at instantiation.
		{ Digital12h, { { 2400, 24 } }, { 0.8f, 0.8f, 0.8f, 4.0f / 12, 25.0f / 60, 9.0f / 60, 0.6f } },
		// Faces larger than the viewport, and one far too large for any bound.
		{ AnalogSmooth, { { 200, 120 } }, { 0.8f, 0.8f, 0.8f, 0.6f, 0.1f, 0.35f, 1.5f } },
		{ Digital12h, { { 200, 120 } }, { 0.8f, 0.8f, 0.8f, 10.0f / 12, 41.0f / 60, 0.0f, 1.5f, true, false } },
		{ AnalogSmooth, { { 100, 80 } }, { 0.8f, 0.8f, 0.8f, 0.6f, 0.1f, 0.35f, 1e30f } },
		// Scale at or below zero draws nothing, exactly.
		{ AnalogSmooth, { { 64, 48 } }, { 0.8f, 0.8f, 0.8f, 0.1f, 0.2f, 0.3f, 0.0f, true, false } },
		{ Digital12h, { { 64, 48 } }, { 0.8f, 0.8f, 0.8f, 0.1f, 0.2f, 0.3f, -0.5f } },
		// A viewport inside a larger framebuffer, within the host's scissor box, under its blending and depth test.
		{ AnalogSmooth, { { 160, 100 } }, { 0.9f, 0.6f, 0.2f, 0.3f, 0.71f, 0.45f, 0.9f }, { 37, 21, 59, 39 } },
		{ Digital24h, { { 160, 100 } }, { 0.3f, 0.9f, 0.5f, 19.5f / 24, 48.0f / 60, 8.5f / 60, 0.9f, true, false }, { 37, 21, 59, 39, true } },
		{ AnalogSmooth, { { 160, 100 } }, { 0.9f, 0.6f, 0.2f, 0.3f, 0.71f, 0.45f, 0.9f, true, false }, { 0, 0, 0, 0, false, true } },
		{ Digital12h, { { 160, 100 } }, { 0.3f, 0.9f, 0.5f, 7.5f / 12, 38.0f / 60, 52.5f / 60, 0.95f }, { 0, 0, 0, 0, false, true } },
		{ Digital12h, { { 160, 100 } }, { 0.3f, 0.9f, 0.5f, 7.5f / 12, 38.0f / 60, 52.5f / 60, 0.95f }, { 5, 5, 5, 5, false, false, true } },
	};
	for( const auto& r : rows )
		for( const Shape& shape : r.shapes )
		{
			plughost::Instance instance( Clock(), FFGLViewportStruct{ r.host.x, r.host.y, shape.width, shape.height } );
			ApplyManual( instance, r.in, r.display );
			const auto [ diff, what ] = RenderAndCompare( instance, shape, r.in, r.display, r.host );
			EXPECT_LE( diff, r.in.scale > 0 ? kTolerance : 0 ) << what;
		}
}

// Any blending makes the frame draw the whole quad; blending that replaces
// gives the quad's exact pixels to compare the cover with, also where a
// glyph box or a hard step of the programs falls on a pixel centre.
TEST( ClockFrames, CoverAndWholeQuadGiveTheSamePixels )
{
	struct Case { Display display; Shape shape; Host host; FaceInputs in; };
	std::vector< Case > cases = {
		{ Digital12h, { 322, 338 }, { 40, 156, 149, 19 }, { 0.134f, 0.080f, 0.903f, 0.864186406f, 1.0f, 0.411946684f, 1.0f } },
		{ Digital12h, { 441, 218 }, { 3, 92, 76, 196 }, { 0.5f, 0.7f, 0.2f, 0.5f, 0.8378036f, 0.3271447f, 2.0f, false } },
		{ Digital24h, { 21, 200 }, {}, { 0.8f, 0.3f, 0.5f, 0.3f, 0.2f, 0.1f, 2.0f, true, false } },
		{ Analog, { 915, 581 }, {}, { 0.5f, 0.1f, 1.0f, 0.649334848f, 0.696713269f, 0.320463866f, 2.60206842f, true, false } },
	};
	std::mt19937 random( 20261207 );
	auto uniform = [ & ]( float low, float high ) { return std::uniform_real_distribution< float >( low, high )( random ); };
	const float scales[] = { 0.25f, 0.5f, 1.0f, 1.5f, 2.0f, 4.0f };
	for( int i = 0; i < 24; ++i )
	{
		const Shape shape{ 64 + static_cast< uint32_t >( random() % 400 ), 64 + static_cast< uint32_t >( random() % 300 ) };
		const Host host{ static_cast< uint32_t >( random() % 40 ), static_cast< uint32_t >( random() % 40 ), 7, 3 };
		cases.push_back( { Display( i % 4 ), shape, host,
						   { uniform( 0, 1 ), uniform( 0, 1 ), uniform( 0, 1 ), uniform( 0, 1 ), uniform( 0, 1 ), uniform( 0, 1 ),
							 i % 3 ? scales[ random() % 6 ] : uniform( 0.2f, 3.0f ), i % 5 != 0, i % 2 == 0, i % 7 == 0 } } );
	}
	for( const Case& c : cases )
	{
		plughost::Instance instance( Clock(), FFGLViewportStruct{ c.host.x, c.host.y, c.shape.width, c.shape.height } );
		ApplyManual( instance, c.in, c.display );
		Host quad = c.host;
		quad.replacing = true;
		Render( instance, c.shape, c.host );// ticking faces snap minutes and seconds from the second frame on
		const auto covered = Render( instance, c.shape, c.host ), whole = Render( instance, c.shape, quad );
		ASSERT_EQ( covered.pixels.size(), whole.pixels.size() );
		const auto differs = std::mismatch( covered.pixels.begin(), covered.pixels.end(), whole.pixels.begin() );
		EXPECT_TRUE( differs.first == covered.pixels.end() )
			<< c.shape.width << "x" << c.shape.height << " display " << c.display << " scale " << c.in.scale << ": byte "
			<< ( differs.first - covered.pixels.begin() ) << " is " << int( *differs.first ) << " over the cover, " << int( *differs.second )
			<< " with the whole quad";
	}
}

TEST( ClockFrames, HandsPointWhereTheyShould )
{
	// Hour hand along +x, minute hand down; R = 64 pixels at scale 1.
	plughost::Instance instance( Clock(), 128, 128 );
	ApplyManual( instance, { 0.2f, 0.4f, 0.6f, 0.25f, 0.5f, 0.0f, 1.0f, false }, AnalogSmooth );
	const auto image = Render( instance, { 128, 128 } );
	for( auto [ x, row, lit ] : { std::tuple{ 92, 63, true }, { 36, 63, false }, { 63, 104, true } } )
		for( int c = 0; c < 4; ++c )
			EXPECT_NEAR( image.At( x, row )[ c ], c == 3 ? 255 : lit ? 51 * ( c + 1 ) : 0, 1 ) << x << "," << row;
}

class WallClock : public ::testing::Test
{
protected:
	void TearDown() override
	{
		Pin( "UTC0", 0, 0 );
		pinned = false;
	}
	static void Pin( const char* zone, int64_t seconds, int64_t microseconds )
	{
		setenv( "TZ", zone, 1 );
		tzset();
		pinnedSeconds      = seconds;
		pinnedMicroseconds = microseconds;
		pinned             = true;
	}
};

TEST_F( WallClock, FramesShowThePinnedTime )
{
	const struct { const char* zone; int64_t seconds, microseconds; Display display; float offset; Shape shape; FaceInputs shown; } rows[] = {
		{ "UTC0", kAfternoon, 250400, AnalogSmooth, 0, { 120, 90 }, { 0.8f, 0.8f, 0.8f, 1.5f / 12, ( 30 + 5 / 60.0f ) / 60, 5.25f / 60, 0.9f } },
		// The offset moves the hour only: 03:30 on a 12-hour face.
		{ "UTC0", kAfternoon, 250400, Analog, 14, { 100, 100 }, { 0.8f, 0.8f, 0.8f, 3.5f / 12, 0.5f, 5.0f / 60, 1.0f } },
		{ "WST9", kAfternoon, 0, Digital24h, 0, { 150, 60 }, { 0.8f, 0.8f, 0.8f, 4.5f / 24, 0.5f, 5.0f / 60, 1.0f, true, false } },
		// A half-hour zone moves the minutes too: 19:00:05.
		{ "XST-5:30", kAfternoon, 0, Digital24h, 0, { 150, 60 }, { 0.8f, 0.8f, 0.8f, 19.0f / 24, 0.0f, 5.0f / 60, 1.0f } },
		// An instant no calendar can express still draws a frame: midnight.
		{ "UTC0", INT64_C( 1 ) << 61, 0, Digital24h, 0, { 140, 60 }, { 0.8f, 0.8f, 0.8f, 0, 0, 0, 1.0f } },
	};
	for( const auto& r : rows )
	{
		Pin( r.zone, r.seconds, r.microseconds );
		plughost::Instance instance( Clock(), r.shape.width, r.shape.height );
		instance.SetFloat( DisplayType, r.display );
		instance.SetFloat( Scale, r.shown.scale );
		instance.SetFloat( TimezoneOffset, r.offset );
		instance.SetFloat( SolidBackground, r.shown.solidBackground );
		const auto [ diff, what ] = RenderAndCompare( instance, r.shape, r.shown, r.display );
		EXPECT_LE( diff, kTolerance ) << r.zone << " " << r.seconds << ": " << what;
	}
}

TEST_F( WallClock, ManualIgnoresClockAndOffsetAndTickingSnapsFromTheNextFrame )
{
	Pin( "UTC0", kAfternoon, 0 );
	plughost::Instance instance( Clock(), 96, 96 );
	FaceInputs in{ 0.8f, 0.8f, 0.8f, 0.1f, 0.51f, 0.0f, 1.0f, false };
	ApplyManual( instance, in, AnalogSmooth );
	instance.SetFloat( TimezoneOffset, 5.0f );
	instance.SetFloat( DisplayType, Analog );
	for( float shown : { 0.51f, 31.0f / 60.0f } )
	{
		in.minutes                = shown;
		const auto [ diff, what ] = RenderAndCompare( instance, { 96, 96 }, in, Analog );
		EXPECT_LE( diff, kTolerance ) << what;
	}
	EXPECT_FLOAT_EQ( instance.GetFloat( Minutes ).value_or( -1.0f ), 31.0f / 60.0f );
}

TEST( ClockState, ManyLifetimesLeaveNoGLObjectBehind )
{
	plughost::RenderTarget target( 32, 32 );
	{
		plughost::Instance warm( Clock(), 32, 32 );// first frames may create driver objects
		plughost::RenderFrame( warm, target );
	}
	// Live textures, programs, shaders, buffers and vertex arrays.
	auto count = [] {
		std::vector< int > counts;
		for( auto is : { glIsTexture, glIsProgram, glIsShader, glIsBuffer, glIsVertexArray } )
		{
			counts.push_back( 0 );
			for( GLuint name = 1; name <= ( 1u << 15 ); ++name )
				counts.back() += is( name ) == GL_TRUE;
		}
		return counts;
	};
	const auto before = count();
	for( int cycle = 0; cycle < 200; ++cycle )
	{
		// Odd cycles use a width whose glyph set is rebuilt on the first frame; every
		// cycle then draws in a degenerate viewport, which must be harmless.
		plughost::Instance instance( Clock(), cycle % 2 ? 1500 : 32, 32 );
		instance.SetFloat( DisplayType, static_cast< float >( cycle % 4 ) );
		ASSERT_EQ( plughost::RenderFrame( instance, target ), FF_SUCCESS );
		const std::pair< uint32_t, uint32_t > degenerate[] = { { 16, 0 }, { 0, 0 }, { 0, 16 }, { 4294967295u, 0 } };
		instance.Resize( degenerate[ cycle % 4 ].first, degenerate[ cycle % 4 ].second );
		ASSERT_EQ( plughost::RenderFrame( instance, target ), FF_SUCCESS ) << "cycle " << cycle;
	}
	EXPECT_EQ( count(), before );
}

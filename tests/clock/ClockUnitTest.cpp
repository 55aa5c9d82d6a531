// The clock's parts linked straight in: glyph size rule and rasteriser, time
// conversion with the zone pinned, and GL lifecycle paths a host cannot
// reach through plugMain alone.
#include <gtest/gtest.h>

#include <GLContext.h>
#include <RenderTarget.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <new>
#include <set>
#include <tuple>
#include <vector>

#include "ClockReference.h"
#include "ClockTime.h"
#include "DigitGlyphs.h"
#include "VavoRozar.h"

namespace
{
std::vector< GLuint > deletedTextures;

void PinZone( const char* zone )
{
	setenv( "TZ", zone, 1 );
	tzset();
}
}// namespace

extern bool failNothrowArrays;

// The clock's nothrow array allocations come through here, to be refused on demand.
void* operator new[]( std::size_t size, const std::nothrow_t& ) noexcept
{
	if( failNothrowArrays )
		return nullptr;
	try
	{
		return ::operator new[]( size );
	}
	catch( ... )
	{
		return nullptr;
	}
}

// A driver may leave a texture made from no pixels holding anything; this one fills it with ink.
extern "C" void glTexImage2D( GLenum target, GLint level, GLint internal, GLsizei width, GLsizei height, GLint border,
							  GLenum format, GLenum type, const void* pixels )
{
	using Real       = void ( * )( GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void* );
	static Real real = reinterpret_cast< Real >( dlsym( RTLD_NEXT, "glTexImage2D" ) );
	std::vector< uint8_t > ink;
	if( pixels == nullptr && format == GL_RED && type == GL_UNSIGNED_BYTE )
		ink.assign( static_cast< std::size_t >( width ) * static_cast< std::size_t >( height ), 255 );
	real( target, level, internal, width, height, border, format, type, ink.empty() ? pixels : ink.data() );
}

// The clock's texture deletions come through here first; recorded, then passed on.
extern "C" void glDeleteTextures( GLsizei n, const GLuint* textures )
{
	using Real       = void ( * )( GLsizei, const GLuint* );
	static Real real = reinterpret_cast< Real >( dlsym( RTLD_NEXT, "glDeleteTextures" ) );
	for( GLsizei i = 0; i < n && textures != nullptr; ++i )
		if( textures[ i ] != 0 )
			deletedTextures.push_back( textures[ i ] );
	real( n, textures );
}

TEST( GlyphSize, TableOfWidths )
{
	const struct { uint32_t viewport; int bound, w, h; } cases[] = {
		{ 0, 384, 65, 131 }, { 0, 512, 65, 131 }, { 289, 512, 65, 131 }, { 290, 512, 67, 135 },
		{ 640, 512, 145, 291 }, { 1280, 512, 291, 583 }, { 1281, 512, 293, 587 }, { 1285, 512, 293, 587 },
		{ 1684, 384, 383, 767 }, { 1685, 384, 385, 771 }, { 1920, 384, 385, 771 }, { 1920, 512, 437, 875 },
		{ 2246, 512, 513, 1027 },
		// 2 * 0.114 * width passes INT_MAX near 9.4e9; every 32-bit width still gives the largest set.
		{ 1u << 31, 512, 513, 1027 }, { 4294967295u, 512, 513, 1027 }, { 4294967295u, 384, 385, 771 },
	};
	for( const auto& c : cases )
	{
		const auto size = clockglyphs::ComputeGlyphSize( c.viewport, c.bound );
		EXPECT_EQ( std::make_pair( size.width, size.height ), std::make_pair( c.w, c.h ) ) << c.viewport << " " << c.bound;
	}
}

TEST( Glyphs, MatchTheModelAndTheHandCountsAndStayInsideTheImage )
{
	// Lit texels worked out from the segment and disc rules: glyphs 8, 1, the colon, then 2, 3
	// and 5 (three bars and two columns each); 0 where not worked out.
	const struct { int w, h; long lit[ 6 ]; } sizes[] = {
		{ 65, 131, { 2972, 1066, 386, 1906, 1906, 1906 } }, { 385, 771, { 0, 0, 0, 65057, 65057, 65057 } },
		{ 513, 1027, { 0, 0, 0, 116790, 116790, 116790 } }, { 291, 583, {} }, { 100, 40, {} }, { 7, 9, {} }, { 1, 1, {} },
	};
	const int counted[ 6 ] = { 8, 1, 10, 2, 3, 5 };
	for( const auto& size : sizes )
		for( int g = 0; g < 11; ++g )
		{
			// Guard bytes around the image stay untouched.
			std::vector< uint8_t > buffer( static_cast< size_t >( size.w ) * size.h + 64, 0x5A );
			std::fill( buffer.begin() + 32, buffer.end() - 32, 0 );
			clockglyphs::RasteriseGlyph( { buffer.data() + 32, size.w, size.h }, g );
			const std::vector< uint8_t > texels( buffer.begin() + 32, buffer.end() - 32 );
			SCOPED_TRACE( testing::Message() << "glyph " << g << " at " << size.w << "x" << size.h );
			ASSERT_EQ( texels, clockref::MakeGlyph( g, size.w, size.h ) );
			ASSERT_EQ( std::count( buffer.begin(), buffer.begin() + 32, 0x5A ) + std::count( buffer.end() - 32, buffer.end(), 0x5A ), 64 );
			for( int i = 0; i < 6; ++i )
				EXPECT_TRUE( counted[ i ] != g || size.lit[ i ] == 0 || std::count( texels.begin(), texels.end(), 255 ) == size.lit[ i ] )
				    << std::count( texels.begin(), texels.end(), 255 ) << " lit, not " << size.lit[ i ];
		}
}

TEST( ClockTime, LocalTimeFallsBackToUtc )
{
	// Only the local conversion fails: the UTC fields are shown. The last second gmtime can
	// express; a zone east of UTC pushes the local date past the largest year.
	struct tm last{};
	last.tm_year = INT32_MAX, last.tm_mon = 11, last.tm_mday = 31;
	last.tm_hour = 23, last.tm_min = 59, last.tm_sec = 59;
	const time_t edge = timegm( &last );
	ASSERT_NE( edge, static_cast< time_t >( -1 ) ) << "timegm cannot express the largest year here";
	PinZone( "EAST-10" );
	struct tm probe{};
	ASSERT_EQ( localtime_r( &edge, &probe ), nullptr );
	const auto t = clocktime::ToLocalTime( edge, 0 );
	PinZone( "UTC0" );
	EXPECT_EQ( std::make_tuple( t.hour, t.minute, t.second ), std::make_tuple( 23, 59, 59 ) );
}

TEST( ClockTime, FollowsAZoneChangedWhileRunning )
{
	// The host changes TZ without calling tzset; each conversion must follow it, and back.
	const time_t noonUtc = 12 * 3600;
	const std::pair< const char*, int > zones[] = { { "UTC0", 12 }, { "EAST-9", 21 }, { "WEST5", 7 }, { "UTC0", 12 } };
	for( const auto& [ zone, hour ] : zones )
	{
		setenv( "TZ", zone, 1 );
		EXPECT_EQ( clocktime::ToLocalTime( noonUtc, 0 ).hour, hour ) << zone;
	}
}

TEST( ClockTime, Fractions )
{
	const struct { int h, m, s, ms; float offset; bool h24, smooth; float hours, minutes, seconds; } cases[] = {
		{ 13, 30, 0, 0, 0, true, false, 13.5f / 24, 0.5f, 0 },
		// The offset moves the hour only, wrapping through 24; 12-hour faces truncate a fractional one.
		{ 3, 0, 0, 0, -12, true, false, 15.0f / 24, 0, 0 }, { 3, 0, 0, 0, -12, false, false, 3.0f / 12, 0, 0 },
		{ 10, 0, 0, 0, 1.5f, true, false, 11.5f / 24, 0, 0 }, { 10, 0, 0, 0, 1.5f, false, false, 11.0f / 12, 0, 0 },
		// Noon reads 0 on a 12-hour face; seconds never move the hour.
		{ 12, 0, 0, 0, 0, false, true, 0, 0, 0 }, { 7, 0, 59, 999, 0, false, true, 7.0f / 12, 59.0f / 3600, 59.999f / 60 },
		{ 10, 15, 30, 250, 0, false, false, 10.25f / 12, 0.25f, 0.5f },
	};
	for( const auto& c : cases )
	{
		SCOPED_TRACE( testing::Message() << "case " << ( &c - cases ) );
		const auto f = clocktime::ToFractions( { c.h, c.m, c.s, c.ms }, c.offset, c.h24, c.smooth );
		EXPECT_FLOAT_EQ( f.hours, c.hours );
		EXPECT_FLOAT_EQ( f.minutes, c.minutes );
		EXPECT_FLOAT_EQ( f.seconds, c.seconds );
	}
	// Offsets far beyond a day still give a day time (fmod of a negative sum would not).
	for( float offset : { -25.0f, -1000.5f, 1.0e9f, -1.0e9f } )
		for( bool h24 : { false, true } )
		{
			const float hours = clocktime::ToFractions( { 0, 30, 0, 0 }, offset, h24, false ).hours;
			EXPECT_TRUE( hours >= 0.0f && hours <= 1.0f ) << offset << " gives " << hours;
		}
	// A face truncates these back to integers; whole hours and minutes must not drop by one.
	for( int v = 0; v < 60; ++v )
		for( bool h24 : { false, true } )
		{
			const auto f = clocktime::ToFractions( { v % 24, v, v, 0 }, 0.0f, h24, false );
			EXPECT_EQ( static_cast< int >( f.hours * ( h24 ? 24.0f : 12.0f ) ), v % ( h24 ? 24 : 12 ) ) << v;
			EXPECT_EQ( std::make_pair( static_cast< int >( f.minutes * 60.0f ), static_cast< int >( f.seconds * 60.0f ) ), std::make_pair( v, v ) );
		}
}

bool failNothrowArrays = false;

// With the glyph buffer refused, the digital face draws nothing over its background.
TEST( ClockDirect, GlyphsWithoutABufferAreBlank )
{
	static plughost::GLContext context;
	context.MakeCurrent();
	VavoRozar clock;
	// Width 1000 gives the same glyph size at instantiation and in frames: no rebuild.
	const FFGLViewportStruct viewport{ 0, 0, 1000, 200 };
	failNothrowArrays = true;
	const FFResult made = clock.InitGL( &viewport );
	failNothrowArrays = false;
	ASSERT_EQ( made, FF_SUCCESS );
	const std::pair< uint32_t, float > settings[] = { { 0, 3.0f }, { 6, 1.0f }, { 7, 0.5f }, { 8, 0.5f }, { 2, 1.0f } };
	for( const auto& [ index, value ] : settings )
		clock.SetFloatParameter( index, value );
	{
		plughost::RenderTarget target( viewport.width, viewport.height );
		target.Clear( 0.3f, 0.3f, 0.3f, 0.3f );
		// Blending that keeps the source forces the full quad, which samples every glyph texel.
		glEnable( GL_BLEND );
		glBlendFunc( GL_ONE, GL_ZERO );
		ASSERT_EQ( clock.ProcessOpenGL( nullptr ), FF_SUCCESS );
		glDisable( GL_BLEND );
		const plughost::Image image = target.ReadPixels();
		std::size_t inked = 0;
		for( std::size_t i = 0; i < image.pixels.size(); ++i )
			inked += image.pixels[ i ] != ( i % 4 == 3 ? 255 : 0 );
		EXPECT_EQ( inked, 0u ) << "only the opaque black background";
	}
	clock.DeInitGL();
}

TEST( ClockDirect, GlyphSetsRebuiltOnlyForANewWidthAndDeletedOnce )
{
	static plughost::GLContext context;
	context.MakeCurrent();
	VavoRozar clock;
	EXPECT_EQ( clock.InitGL( nullptr ), FF_FAIL );
	const FFGLViewportStruct viewport{ 0, 0, 1920, 8 };
	ASSERT_EQ( clock.InitGL( &viewport ), FF_SUCCESS );
	// Instantiation bounds the glyph width by 384, frames by 512; a new height alone never rebuilds.
	const struct { uint32_t width, height; bool rebuilt; } steps[] = {
		{ 1920, 8, true }, { 1920, 700, false }, { 1280, 8, true }, { 1281, 8, true }, { 1285, 8, false },
	};
	std::set< GLuint > rebuilt;
	for( const auto& step : steps )
	{
		const FFGLViewportStruct size{ 0, 0, step.width, step.height };
		clock.Resize( &size );
		deletedTextures.clear();
		EXPECT_EQ( clock.ProcessOpenGL( nullptr ), FF_SUCCESS );
		EXPECT_EQ( deletedTextures.size(), step.rebuilt ? 11u : 0u ) << step.width << "x" << step.height;
		rebuilt = std::set< GLuint >( deletedTextures.begin(), deletedTextures.end() );
	}
	deletedTextures.clear();
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
	EXPECT_EQ( deletedTextures.size(), 11u );
	for( GLuint name : deletedTextures )
		EXPECT_EQ( rebuilt.count( name ), 0u ) << "deleted twice: " << name;
	// The names freed above may already belong to someone else.
	deletedTextures.clear();
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
	EXPECT_TRUE( deletedTextures.empty() );

	// A frame without InitGL creates nothing: the same texture name comes back (or, on a driver
	// that never reuses names, the next one).
	GLuint probe = 0, next = 0;
	glGenTextures( 1, &probe );
	glDeleteTextures( 1, &probe );
	EXPECT_EQ( clock.ProcessOpenGL( nullptr ), FF_SUCCESS );
	glGenTextures( 1, &next );
	EXPECT_LE( next, probe + 1 );
	glDeleteTextures( 1, &next );
	// Initialised again, it works again.
	ASSERT_EQ( clock.InitGL( &viewport ), FF_SUCCESS );
	EXPECT_EQ( clock.ProcessOpenGL( nullptr ), FF_SUCCESS );
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
}

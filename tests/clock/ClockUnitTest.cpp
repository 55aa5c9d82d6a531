// The clock's parts linked straight in: glyph size rule and rasteriser, time
// conversion with the zone pinned, and GL lifecycle paths a host cannot
// reach through plugMain alone.
#include <gtest/gtest.h>

#include <GLContext.h>
#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <set>
#include <tuple>
#include <vector>

#include "ClockReference.h"
#include "ClockTime.h"
#include "DigitGlyphs.h"
#include "VavoRozar.h"

namespace
{
using clockglyphs::ComputeGlyphSize;
using clocktime::ToFractions;
using clocktime::ToLocalTime;
std::vector< GLuint > deletedTextures;

std::vector< uint8_t > Rasterise( int glyph, int width, int height )
{
	std::vector< uint8_t > buffer( static_cast< size_t >( width ) * height, 0 );
	clockglyphs::RasteriseGlyph( { buffer.data(), width, height }, glyph );
	return buffer;
}

void PinZone( const char* zone )
{
	setenv( "TZ", zone, 1 );
	tzset();
}

int64_t Utc( int h, int m, int s ) { return 1773446400LL + h * 3600LL + m * 60LL + s; }// on 2026-03-14

void MakeCurrent()
{
	static plughost::GLContext context;
	context.MakeCurrent();
}
}// namespace

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
		{ 2246, 512, 513, 1027 }, { 5000, 512, 513, 1027 },
		// 2 * 0.114 * width passes INT_MAX near 9.4e9; every 32-bit width still gives the largest set.
		{ 1u << 31, 512, 513, 1027 }, { 4294967294u, 384, 385, 771 }, { 4294967295u, 512, 513, 1027 },
		{ 4294967295u, 384, 385, 771 },
	};
	for( const auto& c : cases )
	{
		const auto size = ComputeGlyphSize( c.viewport, c.bound );
		EXPECT_EQ( std::make_pair( size.width, size.height ), std::make_pair( c.w, c.h ) ) << c.viewport << " " << c.bound;
	}
	for( uint32_t width = 0; width < 6000; ++width )
		for( int bound : { 384, 512 } )
		{
			const auto size = ComputeGlyphSize( width, bound );
			const auto want = clockref::GlyphSizeFor( width, bound );
			ASSERT_EQ( ( std::array{ size.width, size.height } ), want ) << width;
		}
}

TEST( Glyphs, TexelsWorkedOutByHand )
{
	// First and last lit texel of one row; -1 when the row is empty.
	const struct { int glyph, w, h, row, first, last; } spans[] = {
		// 65 x 131: bars 10 rows, 33 long at x 32, first row 5 shorter at each end; columns at x 12 and 52;
		{ 8, 65, 131, 0, 21, 43 }, { 8, 65, 131, 5, 16, 48 }, { 8, 65, 131, 65, 16, 48 }, { 8, 65, 131, 125, 16, 48 },
		{ 8, 65, 131, 130, -1, -1 }, { 8, 65, 131, 36, 7, 57 },
		// columns 11 wide on rows 10..62 and 68..120, one texel at the top, three at the bottom;
		{ 1, 65, 131, 9, -1, -1 }, { 1, 65, 131, 10, 52, 52 }, { 1, 65, 131, 36, 47, 57 }, { 1, 65, 131, 62, 51, 53 },
		{ 1, 65, 131, 63, -1, -1 }, { 1, 65, 131, 68, 52, 52 }, { 1, 65, 131, 94, 47, 57 }, { 1, 65, 131, 120, 51, 53 },
		{ 1, 65, 131, 121, -1, -1 },
		// colon discs of radius 8 at x 32 on rows 43 and 87 (row cy - r stays empty).
		{ 10, 65, 131, 43, 25, 39 }, { 10, 65, 131, 87, 25, 39 }, { 10, 65, 131, 35, -1, -1 }, { 10, 65, 131, 36, 29, 35 },
		// 513 x 1027: bars 82 rows, 259 long; columns 82 wide at x 416; colon radius 64 on rows 342, 684.
		{ 8, 513, 1027, 20, 148, 364 }, { 8, 513, 1027, 513, 127, 385 }, { 1, 513, 1027, 282, 375, 457 },
		{ 10, 513, 1027, 342, 193, 319 }, { 10, 513, 1027, 684, 193, 319 },
	};
	for( const auto& s : spans )
	{
		const auto texels = Rasterise( s.glyph, s.w, s.h );
		int first = -1, last = -1;
		for( int x = 0; x < s.w; ++x )
			if( texels[ static_cast< size_t >( s.row ) * s.w + x ] )
				first = first < 0 ? x : first, last = x;
		EXPECT_EQ( std::make_pair( first, last ), std::make_pair( s.first, s.last ) )
		    << "glyph " << s.glyph << " " << s.w << "x" << s.h << " row " << s.row;
	}
	const struct { int glyph, w, h, lit; } counts[] = {
		{ 8, 65, 131, 2972 }, { 1, 65, 131, 1066 }, { 10, 65, 131, 386 }, { 2, 65, 131, 1906 }, { 3, 65, 131, 1906 },
		{ 5, 65, 131, 1906 }, { 2, 385, 771, 65057 }, { 3, 385, 771, 65057 }, { 5, 385, 771, 65057 },
		{ 2, 513, 1027, 116790 }, { 3, 513, 1027, 116790 }, { 5, 513, 1027, 116790 },
	};
	for( const auto& c : counts )
	{
		const auto texels = Rasterise( c.glyph, c.w, c.h );
		EXPECT_EQ( std::count( texels.begin(), texels.end(), 255 ), c.lit ) << "glyph " << c.glyph << " " << c.w << "x" << c.h;
	}
	for( int s = 0; s < 7; ++s )
		EXPECT_FALSE( clockglyphs::SegmentLit( -1, s ) || clockglyphs::SegmentLit( 10, s ) ) << s;
}

TEST( Glyphs, MatchTheModelAndStayInsideTheImage )
{
	const std::pair< int, int > sizes[] = { { 65, 131 }, { 145, 291 }, { 291, 583 }, { 385, 771 }, { 437, 875 },
		                                    { 513, 1027 }, { 100, 40 }, { 7, 9 }, { 1, 1 } };
	for( auto [ w, h ] : sizes )
		for( int g = 0; g < 11; ++g )
		{
			// Guard bytes around the image stay untouched.
			std::vector< uint8_t > buffer( static_cast< size_t >( w ) * h + 64, 0x5A );
			std::fill( buffer.begin() + 32, buffer.end() - 32, 0 );
			clockglyphs::RasteriseGlyph( { buffer.data() + 32, w, h }, g );
			const std::vector< uint8_t > texels( buffer.begin() + 32, buffer.end() - 32 );
			ASSERT_EQ( texels, clockref::MakeGlyph( g, w, h ) ) << "glyph " << g << " at " << w << "x" << h;
			for( int i = 0; i < 32; ++i )
				ASSERT_TRUE( buffer[ i ] == 0x5A && buffer[ buffer.size() - 1 - i ] == 0x5A ) << g << " " << w << "x" << h;
		}
}

TEST( ClockTime, LocalTimeFollowsTheZone )
{
	const struct { const char* zone; int64_t seconds, microseconds; int hour, minute, second, millisecond; } cases[] = {
		{ "UTC0", Utc( 13, 30, 5 ), 250999, 13, 30, 5, 250 },// milliseconds truncated
		{ "XST-5:30", Utc( 23, 45, 0 ), 0, 5, 15, 0, 0 },   // half-hour zone: minutes are local too
		{ "YST8", Utc( 3, 0, 0 ), 0, 19, 0, 0, 0 },
		{ "UTC0", INT64_MAX / 2, 123456, 0, 0, 0, 123 },     // no calendar can express it: midnight
	};
	for( const auto& c : cases )
	{
		PinZone( c.zone );
		const auto t = ToLocalTime( c.seconds, c.microseconds );
		EXPECT_EQ( std::tie( t.hour, t.minute, t.second, t.millisecond ),
		           std::tie( c.hour, c.minute, c.second, c.millisecond ) ) << c.zone << " " << c.seconds;
	}
	PinZone( "UTC0" );
	EXPECT_EQ( ToLocalTime( Utc( 1, 0, 0 ), -1500 ).millisecond, 999 );
	EXPECT_EQ( ToLocalTime( Utc( 1, 0, 0 ), 2345000 ).millisecond, 345 );
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
	const auto t = ToLocalTime( edge, 0 );
	PinZone( "UTC0" );
	EXPECT_EQ( std::make_tuple( t.hour, t.minute, t.second ), std::make_tuple( 23, 59, 59 ) );
}

TEST( ClockTime, Fractions )
{
	const struct { int h, m, s, ms; float offset; bool h24, smooth; float hours, minutes, seconds; } cases[] = {
		{ 13, 30, 0, 0, 0, false, false, 1.5f / 12, 0.5f, 0 }, { 13, 30, 0, 0, 0, false, true, 1.5f / 12, 0.5f, 0 },
		{ 13, 30, 0, 0, 0, true, false, 13.5f / 24, 0.5f, 0 },
		// The offset moves the hour only, wrapping through 24; 12-hour faces truncate a fractional one.
		{ 3, 0, 0, 0, -12, true, false, 15.0f / 24, 0, 0 }, { 3, 0, 0, 0, -12, false, false, 3.0f / 12, 0, 0 },
		{ 20, 0, 0, 0, 14, true, false, 10.0f / 24, 0, 0 }, { 0, 30, 0, 0, -100, true, false, 20.5f / 24, 0.5f, 0 },
		{ 10, 0, 0, 0, 1.5f, true, false, 11.5f / 24, 0, 0 }, { 10, 0, 0, 0, 1.5f, false, false, 11.0f / 12, 0, 0 },
		// Midnight and noon both read 0 on a 12-hour face; seconds never move the hour.
		{ 0, 0, 0, 0, 0, false, true, 0, 0, 0 }, { 12, 0, 0, 0, 0, false, true, 0, 0, 0 },
		{ 7, 0, 59, 999, 0, false, true, 7.0f / 12, 59.0f / 3600, 59.999f / 60 },
		{ 10, 15, 30, 250, 0, false, true, 10.25f / 12, 15.5f / 60, 30.25f / 60 },
		{ 10, 15, 30, 250, 0, false, false, 10.25f / 12, 0.25f, 0.5f },
	};
	for( const auto& c : cases )
	{
		SCOPED_TRACE( testing::Message() << "case " << ( &c - cases ) );
		const auto f = ToFractions( { c.h, c.m, c.s, c.ms }, c.offset, c.h24, c.smooth );
		EXPECT_FLOAT_EQ( f.hours, c.hours );
		EXPECT_FLOAT_EQ( f.minutes, c.minutes );
		EXPECT_FLOAT_EQ( f.seconds, c.seconds );
	}
	// Offsets far beyond a day still give a day time (fmod of a negative sum would not).
	for( float offset : { -25.0f, -100.0f, -1000.5f, 100.0f, 1.0e9f, -1.0e9f } )
		for( bool h24 : { false, true } )
		{
			const float hours = ToFractions( { 0, 30, 0, 0 }, offset, h24, false ).hours;
			EXPECT_TRUE( hours >= 0.0f && hours <= 1.0f ) << offset << " gives " << hours;
		}
	// A face truncates these back to integers; whole hours and minutes must not drop by one.
	for( int v = 0; v < 60; ++v )
		for( bool h24 : { false, true } )
		{
			const auto f = ToFractions( { v % 24, v, v, 0 }, 0.0f, h24, false );
			EXPECT_EQ( static_cast< int >( f.hours * ( h24 ? 24.0f : 12.0f ) ), v % ( h24 ? 24 : 12 ) ) << v;
			EXPECT_EQ( static_cast< int >( f.minutes * 60.0f ), v );
			EXPECT_EQ( static_cast< int >( f.seconds * 60.0f ), v );
		}
}

TEST( ClockDirect, MissingViewportRefusedAndEachGlyphSetDeletedOnce )
{
	MakeCurrent();
	VavoRozar clock;
	EXPECT_EQ( clock.InitGL( nullptr ), FF_FAIL );
	const FFGLViewportStruct viewport{ 0, 0, 1920, 8 };
	ASSERT_EQ( clock.InitGL( &viewport ), FF_SUCCESS );
	deletedTextures.clear();
	EXPECT_EQ( clock.ProcessOpenGL( nullptr ), FF_SUCCESS );// 385 -> 437 wide
	const std::set< GLuint > rebuilt( deletedTextures.begin(), deletedTextures.end() );
	EXPECT_EQ( rebuilt.size(), 11u );
	deletedTextures.clear();
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
	EXPECT_EQ( deletedTextures.size(), 11u );
	for( GLuint name : deletedTextures )
		EXPECT_EQ( rebuilt.count( name ), 0u ) << "deleted twice: " << name;
	// The names freed above may already belong to someone else.
	deletedTextures.clear();
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
	EXPECT_TRUE( deletedTextures.empty() );
	// Initialised again, it works again.
	ASSERT_EQ( clock.InitGL( &viewport ), FF_SUCCESS );
	EXPECT_EQ( clock.ProcessOpenGL( nullptr ), FF_SUCCESS );
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
}

TEST( ClockDirect, FrameWithoutInitCreatesNothing )
{
	MakeCurrent();
	VavoRozar clock;
	GLuint probe = 0, next = 0;
	glGenTextures( 1, &probe );
	glDeleteTextures( 1, &probe );
	EXPECT_EQ( clock.ProcessOpenGL( nullptr ), FF_SUCCESS );
	glGenTextures( 1, &next );
	// No glyph set in between: the same name comes back or, on a driver that never reuses names, the next one.
	EXPECT_LE( next, probe + 1 );
	glDeleteTextures( 1, &next );
	EXPECT_EQ( clock.DeInitGL(), FF_SUCCESS );
}

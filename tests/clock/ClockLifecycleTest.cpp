// The clock as a host sees it over time: the pinned wall clock, GL state
// left behind by frames, glyph rebuilds on resize, and GL objects across
// many instance lifetimes.
#include <gtest/gtest.h>

#include <GL/glcorearb.h>

#include <set>

#include "ClockHarness.h"

using namespace clocktest;
using clockref::FaceInputs;

namespace
{
// 2026-03-14 13:30:05.250 UTC.
constexpr int64_t kAfternoon = 1773446400LL + 13 * 3600 + 30 * 60 + 5;

class WallClock : public ::testing::Test
{
protected:
	void SetUp() override
	{
		Clock();
		PinZone( "UTC0" );
		PinClock( kAfternoon, 250400 );
	}
	void TearDown() override
	{
		ReleaseClock();
		PinZone( "UTC0" );
	}
};

plughost::Image Render( plughost::Instance& instance, uint32_t width, uint32_t height )
{
	plughost::RenderTarget target( width, height );
	return plughost::RenderImage( instance, target );
}

// Sizes (width x height) of the live textures among the first names.
std::multiset< std::pair< int, int > > TextureSizes( GLuint limit = 4096 )
{
	std::multiset< std::pair< int, int > > sizes;
	GLint previous = 0;
	glGetIntegerv( GL_TEXTURE_BINDING_2D, &previous );
	for( GLuint name = 1; name <= limit; ++name )
	{
		if( !glIsTexture( name ) )
			continue;
		glBindTexture( GL_TEXTURE_2D, name );
		GLint w = 0, h = 0;
		glGetTexLevelParameteriv( GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w );
		glGetTexLevelParameteriv( GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h );
		sizes.insert( { w, h } );
	}
	glBindTexture( GL_TEXTURE_2D, static_cast< GLuint >( previous ) );
	return sizes;
}

size_t GlyphSetsOfSize( int w, int h )
{
	return TextureSizes().count( { w, h } );
}
}// namespace

TEST_F( WallClock, AnalogSmoothShowsThePinnedTime )
{
	plughost::Instance instance( Clock(), 120, 90 );
	instance.SetFloat( DisplayType, AnalogSmooth );
	instance.SetFloat( Scale, 0.9f );
	const auto image = Render( instance, 120, 90 );
	FaceInputs in;
	in.scale   = 0.9f;
	in.hours   = ( 1.0f + 30.0f / 60.0f ) / 12.0f;
	in.minutes = ( 30.0f + 5.0f / 60.0f ) / 60.0f;
	in.seconds = ( 5.0f + 250.0f / 1000.0f ) / 60.0f;
	const auto c = Compare( image, [ & ]( int x, int y ) { return clockref::AnalogPixel( in, 120, 90, x, y ); } );
	EXPECT_LE( c.maxDifference, 2 ) << c.Describe();
}

TEST_F( WallClock, OffsetMovesTheHourOnly )
{
	// 13:30 with +14 h: 03:30, a quarter turn less a bit on a 12-hour face.
	plughost::Instance instance( Clock(), 100, 100 );
	instance.SetFloat( DisplayType, Analog );
	instance.SetFloat( TimezoneOffset, 14.0f );
	instance.SetFloat( Scale, 1.0f );
	const auto image = Render( instance, 100, 100 );
	FaceInputs in;
	in.scale   = 1.0f;
	in.hours   = ( 3.0f + 30.0f / 60.0f ) / 12.0f;
	in.minutes = 30.0f / 60.0f;
	in.seconds = 5.0f / 60.0f;
	const auto c = Compare( image, [ & ]( int x, int y ) { return clockref::AnalogPixel( in, 100, 100, x, y ); } );
	EXPECT_LE( c.maxDifference, 2 ) << c.Describe();
}

TEST_F( WallClock, DigitalTwentyFourHoursInAnotherZone )
{
	// Nine hours west of UTC: 04:30:05.
	PinZone( "WST9" );
	plughost::Instance instance( Clock(), 150, 60 );
	instance.SetFloat( DisplayType, Digital24h );
	instance.SetFloat( Scale, 1.0f );
	instance.SetFloat( SolidBackground, 0.0f );
	const auto image = Render( instance, 150, 60 );
	FaceInputs in;
	in.scale           = 1.0f;
	in.hourFormat24h   = true;
	in.solidBackground = false;
	in.hours           = ( 4.0f + 30.0f / 60.0f ) / 24.0f;
	in.minutes         = 30.0f / 60.0f;
	in.seconds         = 5.0f / 60.0f;
	const auto glyph   = clockref::GlyphSizeFor( 150, 512 );
	const clockref::DigitalFace face( 150, 60, glyph[ 0 ], glyph[ 1 ] );
	const auto c = Compare( image, [ & ]( int x, int y ) { return face.At( in, x, y ); } );
	EXPECT_LE( c.maxDifference, 2 ) << c.Describe();
}

TEST_F( WallClock, UnconvertibleTimeStillDrawsMidnight )
{
	// An instant no calendar can express: the frame shows 00:00:00.
	PinClock( INT64_C( 1 ) << 61, 0 );
	plughost::Instance instance( Clock(), 140, 60 );
	instance.SetFloat( DisplayType, Digital24h );
	instance.SetFloat( Scale, 1.0f );
	const auto image = Render( instance, 140, 60 );
	FaceInputs in;
	in.scale         = 1.0f;
	in.hourFormat24h = true;
	in.hours = in.minutes = in.seconds = 0.0f;
	const auto glyph = clockref::GlyphSizeFor( 140, 512 );
	const clockref::DigitalFace face( 140, 60, glyph[ 0 ], glyph[ 1 ] );
	const auto c = Compare( image, [ & ]( int x, int y ) { return face.At( in, x, y ); } );
	EXPECT_LE( c.maxDifference, 2 ) << c.Describe();
}

TEST_F( WallClock, ManualModeIgnoresClockAndOffset )
{
	plughost::Instance instance( Clock(), 80, 80 );
	FaceInputs in;
	in.hours   = 0.5f;
	in.minutes = 0.25f;
	in.seconds = 0.75f;
	in.scale   = 1.0f;
	ApplyManual( instance, in, AnalogSmooth );
	instance.SetFloat( TimezoneOffset, 5.0f );
	const auto image = Render( instance, 80, 80 );
	const auto c = Compare( image, [ & ]( int x, int y ) { return clockref::AnalogPixel( in, 80, 80, x, y ); } );
	EXPECT_LE( c.maxDifference, 2 ) << c.Describe();
}

TEST_F( WallClock, TickingSnapShowsFromTheNextFrame )
{
	// Minutes 0.51 stored while smooth; after switching to "Analog" the
	// first frame still shows 0.51, later frames 31/60.
	plughost::Instance instance( Clock(), 96, 96 );
	FaceInputs in;
	in.hours   = 0.1f;
	in.minutes = 0.51f;
	in.seconds = 0.0f;
	in.scale   = 1.0f;
	in.showSeconds = false;
	ApplyManual( instance, in, AnalogSmooth );
	instance.SetFloat( DisplayType, Analog );
	const auto first = Render( instance, 96, 96 );
	EXPECT_LE( Compare( first, [ & ]( int x, int y ) { return clockref::AnalogPixel( in, 96, 96, x, y ); } ).maxDifference, 2 );
	const auto second = Render( instance, 96, 96 );
	in.minutes        = 31.0f / 60.0f;
	EXPECT_LE( Compare( second, [ & ]( int x, int y ) { return clockref::AnalogPixel( in, 96, 96, x, y ); } ).maxDifference, 2 );
	EXPECT_FLOAT_EQ( instance.GetFloat( Minutes ).value_or( -1.0f ), 31.0f / 60.0f );
}

TEST( ClockState, FramesLeaveUnitZeroAndNoProgram )
{
	Clock();
	plughost::RenderTarget target( 64, 64 );
	for( Display display : { Analog, Digital24h, AnalogSmooth, Digital12h } )
	{
		plughost::Instance instance( Clock(), 64, 64 );
		instance.SetFloat( DisplayType, static_cast< float >( display ) );
		// Leave something behind that a digital frame must clear.
		glActiveTexture( GL_TEXTURE5 );
		ASSERT_EQ( plughost::RenderFrame( instance, target ), FF_SUCCESS );
		GLint program = -1, active = -1;
		glGetIntegerv( GL_CURRENT_PROGRAM, &program );
		glGetIntegerv( GL_ACTIVE_TEXTURE, &active );
		EXPECT_EQ( program, 0 ) << display;
		EXPECT_EQ( active, GL_TEXTURE0 ) << display;
		for( GLenum unit = 0; unit <= 10; ++unit )
		{
			glActiveTexture( GL_TEXTURE0 + unit );
			GLint bound = -1;
			glGetIntegerv( GL_TEXTURE_BINDING_2D, &bound );
			EXPECT_EQ( bound, 0 ) << "unit " << unit << " display " << display;
		}
		glActiveTexture( GL_TEXTURE0 );
		GLint vao = -1;
		glGetIntegerv( GL_VERTEX_ARRAY_BINDING, &vao );
		EXPECT_EQ( vao, 0 );
	}
}

TEST( ClockState, GlyphTexturesAreExactR8LinearClamped )
{
	Clock();
	plughost::Instance instance( Clock(), 640, 8 );
	// Newly made names of the 145 x 291 set, in creation order: digits 0..9, colon.
	std::vector< GLuint > names;
	for( GLuint name = 1; name <= 4096; ++name )
	{
		if( !glIsTexture( name ) )
			continue;
		glBindTexture( GL_TEXTURE_2D, name );
		GLint w = 0, h = 0;
		glGetTexLevelParameteriv( GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w );
		glGetTexLevelParameteriv( GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h );
		if( w == 145 && h == 291 )
			names.push_back( name );
	}
	ASSERT_EQ( names.size(), 11u );
	std::vector< uint8_t > texels( 145 * 291 );
	glPixelStorei( GL_PACK_ALIGNMENT, 1 );
	for( int g = 0; g < 11; ++g )
	{
		glBindTexture( GL_TEXTURE_2D, names[ g ] );
		GLint format = 0, minFilter = 0, magFilter = 0, wrapS = 0, wrapT = 0;
		glGetTexLevelParameteriv( GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format );
		glGetTexParameteriv( GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter );
		glGetTexParameteriv( GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter );
		glGetTexParameteriv( GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS );
		glGetTexParameteriv( GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT );
		EXPECT_EQ( format, GL_R8 );
		EXPECT_EQ( minFilter, GL_LINEAR );
		EXPECT_EQ( magFilter, GL_LINEAR );
		EXPECT_EQ( wrapS, GL_CLAMP_TO_EDGE );
		EXPECT_EQ( wrapT, GL_CLAMP_TO_EDGE );
		glGetTexImage( GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, texels.data() );
		EXPECT_EQ( texels, clockref::MakeGlyph( g, 145, 291 ).texels ) << "glyph " << g;
	}
	glBindTexture( GL_TEXTURE_2D, 0 );
}

TEST( ClockState, GlyphSetFollowsTheViewportWidthOnly )
{
	Clock();
	plughost::RenderTarget target( 8, 8 );
	{
		plughost::Instance instance( Clock(), 1920, 8 );
		EXPECT_EQ( GlyphSetsOfSize( 385, 771 ), 11u );// bound 384 at instantiation
		plughost::RenderFrame( instance, target );
		EXPECT_EQ( GlyphSetsOfSize( 385, 771 ), 0u );
		EXPECT_EQ( GlyphSetsOfSize( 437, 875 ), 11u );// bound 512 per frame
	}
	plughost::Instance instance( Clock(), 1280, 8 );
	plughost::RenderFrame( instance, target );
	EXPECT_EQ( GlyphSetsOfSize( 291, 583 ), 11u );
	instance.Resize( 1280, 700 );// height alone: kept
	plughost::RenderFrame( instance, target );
	EXPECT_EQ( GlyphSetsOfSize( 291, 583 ), 11u );
	instance.Resize( 1281, 8 );
	plughost::RenderFrame( instance, target );
	EXPECT_EQ( GlyphSetsOfSize( 291, 583 ), 0u );
	EXPECT_EQ( GlyphSetsOfSize( 293, 587 ), 11u );
	// 1285 computes the same size: the same textures stay.
	const auto sizes = TextureSizes();
	instance.Resize( 1285, 8 );
	plughost::RenderFrame( instance, target );
	EXPECT_EQ( TextureSizes(), sizes );
}

TEST( ClockState, ZeroHeightViewportIsHarmless )
{
	Clock();
	plughost::RenderTarget target( 16, 16 );
	for( Display display : { Analog, Digital12h } )
	{
		plughost::Instance instance( Clock(), 16, 16 );
		instance.SetFloat( DisplayType, static_cast< float >( display ) );
		for( auto [ w, h ] : { std::pair< uint32_t, uint32_t >{ 16, 0 }, { 0, 0 }, { 0, 16 }, { 4294967295u, 0 } } )
		{
			instance.Resize( w, h );
			EXPECT_EQ( plughost::RenderFrame( instance, target ), FF_SUCCESS );
		}
	}
}

TEST( ClockState, ManyLifetimesLeaveNoGLObjectBehind )
{
	Clock();
	plughost::RenderTarget target( 32, 32 );
	{
		// Warm up: the first frame of each program may create driver objects.
		plughost::Instance warm( Clock(), 32, 32 );
		plughost::RenderFrame( warm, target );
	}
	const GLObjectCounts before = CountGLObjects();
	for( int cycle = 0; cycle < 200; ++cycle )
	{
		// Odd cycles render digital frames at a width whose glyph set is
		// rebuilt on the first frame.
		const uint32_t width = cycle % 2 ? 1500 : 32;
		plughost::Instance instance( Clock(), width, 32 );
		instance.SetFloat( DisplayType, static_cast< float >( cycle % 4 ) );
		ASSERT_EQ( plughost::RenderFrame( instance, target ), FF_SUCCESS );
	}
	const GLObjectCounts after = CountGLObjects();
	EXPECT_EQ( after.textures, before.textures );
	EXPECT_EQ( after.programs, before.programs );
	EXPECT_EQ( after.shaders, before.shaders );
	EXPECT_EQ( after.buffers, before.buffers );
	EXPECT_EQ( after.vertexArrays, before.vertexArrays );
}

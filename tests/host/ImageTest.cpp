#include "HostTestSupport.h"

#include <PlugHost.h>

#include <GL/glcorearb.h>
#include <gtest/gtest.h>

#include <fstream>

using namespace plughost;

namespace
{
Image Varied()
{
	// Alpha varies independently of colour so any premultiplication shows.
	Image image( 7, 5 );
	for( uint32_t y = 0; y < image.height; ++y )
		for( uint32_t x = 0; x < image.width; ++x )
		{
			uint8_t* p = image.At( x, y );
			p[ 0 ]     = static_cast< uint8_t >( 200 + x );
			p[ 1 ]     = static_cast< uint8_t >( 10 * y );
			p[ 2 ]     = static_cast< uint8_t >( x * y );
			p[ 3 ]     = static_cast< uint8_t >( ( x * 37 + y * 11 ) % 256 );
		}
	return image;
}

TEST( Png, RoundTripKeepsEveryByte )
{
	const std::string path = hosttest::ScratchDir( "png" ) + "/varied.png";
	const Image image      = Varied();
	WritePng( path, image );
	EXPECT_EQ( ReadPng( path ), image );
}

TEST( Png, ReadErrorsNameTheFile )
{
	const std::string dir = hosttest::ScratchDir( "png-errors" );
	std::ofstream( dir + "/bogus.png" ) << "not a png";
	for( const std::string& path : { dir + "/missing.png", dir + "/bogus.png" } )
	{
		try
		{
			ReadPng( path );
			ADD_FAILURE() << path << " should not read";
		}
		catch( const Error& error )
		{
			EXPECT_NE( std::string( error.what() ).find( path ), std::string::npos ) << error.what();
		}
	}
}

TEST( Png, WriteRejectsBadImagesAndPaths )
{
	EXPECT_THROW( WritePng( hosttest::ScratchDir( "png-bad" ) + "/empty.png", Image{} ), Error );
	Image wrong( 2, 2 );
	wrong.pixels.pop_back();
	EXPECT_THROW( WritePng( hosttest::ScratchDir( "png-bad" ) + "/wrong.png", wrong ), Error );
	EXPECT_THROW( WritePng( "/nonexistent/dir/out.png", SolidImage( 1, 1, Rgba{} ) ), Error );
}

TEST( Images, SizeLimitsAndPatterns )
{
	EXPECT_THROW( Image( 0, 4 ), Error );
	EXPECT_THROW( Image( 4, 20000 ), Error );
	const Image checker = CheckerImage( 4, 4, 2, Rgba{ 255, 0, 0, 255 }, Rgba{ 0, 0, 255, 255 } );
	EXPECT_EQ( checker.At( 0, 0 )[ 0 ], 255 );
	EXPECT_EQ( checker.At( 2, 0 )[ 2 ], 255 );
	EXPECT_EQ( checker.At( 2, 2 )[ 0 ], 255 );
	const Image gradient = GradientImage( 3, 3 );
	EXPECT_EQ( gradient.At( 2, 0 )[ 0 ], 255 );
	EXPECT_EQ( gradient.At( 0, 2 )[ 1 ], 255 );
}

TEST( Images, NextPowerOfTwo )
{
	const std::pair< uint32_t, uint32_t > table[] = { { 0, 1 }, { 1, 1 }, { 2, 2 }, { 3, 4 }, { 640, 1024 }, { 1024, 1024 }, { 1025, 2048 } };
	for( const auto& [ size, power ] : table )
		EXPECT_EQ( NextPowerOfTwo( size ), power ) << size;
}

TEST( Target, ReadPixelsPutsTheTopRowFirst )
{
	hosttest::Context();
	RenderTarget target( 6, 4 );
	target.Clear( 0.0f, 0.0f, 1.0f, 1.0f );
	// Paint GL's topmost row (y = height - 1) red.
	glEnable( GL_SCISSOR_TEST );
	glScissor( 0, 3, 6, 1 );
	glClearColor( 1.0f, 0.0f, 0.0f, 1.0f );
	glClear( GL_COLOR_BUFFER_BIT );
	glDisable( GL_SCISSOR_TEST );
	const Image image = target.ReadPixels();
	EXPECT_EQ( image.At( 0, 0 )[ 0 ], 255 );
	EXPECT_EQ( image.At( 5, 0 )[ 2 ], 0 );
	EXPECT_EQ( image.At( 0, 3 )[ 2 ], 255 );
	EXPECT_EQ( image.At( 0, 3 )[ 0 ], 0 );
}

TEST( Target, ClearsToTransparentBlackByDefault )
{
	hosttest::Context();
	RenderTarget target( 3, 2 );
	target.Clear( 1.0f, 1.0f, 1.0f, 1.0f );
	target.Clear();
	EXPECT_EQ( target.ReadPixels(), Image( 3, 2 ) );
	GLint viewport[ 4 ] = {};
	glGetIntegerv( GL_VIEWPORT, viewport );
	EXPECT_EQ( viewport[ 2 ], 3 );
	EXPECT_EQ( viewport[ 3 ], 2 );
}

TEST( Target, UnusableSizeThrows )
{
	hosttest::Context();
	EXPECT_THROW( RenderTarget( 0, 10 ), Error );
}
}// namespace

namespace
{
TEST( Context, SecondContextOutlivesAFirstOneEnding )
{
	auto first  = std::make_unique< GLContext >();
	GLContext second;
	first.reset();
	second.MakeCurrent();
	RenderTarget target( 2, 2 );
	target.Clear( 0.0f, 1.0f, 0.0f, 1.0f );
	EXPECT_EQ( target.ReadPixels().At( 1, 1 )[ 1 ], 255 );
	EXPECT_FALSE( second.Version().empty() );
}
}// namespace

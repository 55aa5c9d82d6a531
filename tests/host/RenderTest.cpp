// Instances, textures, targets and PNG files.
#include "TestSupport.h"

#include <PlugHost.h>

#include <GL/glcorearb.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace plughost;

namespace
{
class ProbeInstance : public ::testing::Test
{
protected:
	void SetUp() override { testsupport::Context(); }
	PluginLibrary library{ testsupport::Plugin( "Probe" ) };
};

TEST_F( ProbeInstance, ParametersByKind )
{
	Instance instance( library, 32, 16 );
	EXPECT_EQ( instance.SetFloat( 3, 0.75f ), FF_SUCCESS );
	EXPECT_FLOAT_EQ( instance.GetFloat( 3 ).value_or( -1.0f ), 0.75f );
	EXPECT_EQ( instance.SetText( 0, "world" ), FF_SUCCESS );
	EXPECT_EQ( instance.GetText( 0 ).value_or( "?" ), "world" );
	EXPECT_EQ( instance.Display( 3 ).value_or( "?" ), "0.750000" );
	EXPECT_EQ( instance.DisplayName( 2 ).value_or( "?" ), "Mode shown" );
	// A float sent to a text parameter would be read as a pointer.
	EXPECT_EQ( instance.SetFloat( 0, 1.0f ), FF_FAIL );
	EXPECT_FALSE( instance.GetFloat( 0 ) );
	EXPECT_EQ( instance.SetText( 3, "0.5" ), FF_FAIL );
	EXPECT_FALSE( instance.GetText( 3 ) );
	EXPECT_EQ( instance.GetText( 0 ).value_or( "?" ), "world" );
}

TEST_F( ProbeInstance, EventsAreConsumedUpToTheCapacity )
{
	Instance instance( library, 8, 8 );
	EXPECT_EQ( instance.PendingEventCount().value_or( 99 ), 0u );
	ASSERT_EQ( instance.SetFloat( 3, 0.5f ), FF_SUCCESS );// changes three descriptions
	const uint32_t pending = instance.PendingEventCount().value_or( 0 );
	ASSERT_GE( pending, 3u );
	EXPECT_EQ( instance.ConsumeEvents( 2 ).size(), 2u );
	EXPECT_EQ( instance.PendingEventCount().value_or( 99 ), pending - 2 );
	EXPECT_TRUE( instance.ConsumeEvents( 0 ).empty() );
	EXPECT_EQ( instance.ConsumeEvents( 16 ).size(), pending - 2 );
}

TEST_F( ProbeInstance, EachInstanceIsDestroyedOnceAndFailuresThrow )
{
	{
		Instance first( library, 8, 8 );
		Instance second = std::move( first );
		EXPECT_EQ( first.Handle(), nullptr );
		Instance third( library, 8, 8 );
		third = std::move( second );// destroys the one third held
		EXPECT_EQ( third.SetFloat( 3, 0.25f ), FF_SUCCESS );
		RenderTarget target( 8, 8 );
		EXPECT_THROW( RenderFrame( third, target, { nullptr } ), Error );
	}
	const auto log = library.Log();
	EXPECT_EQ( std::count( log.begin(), log.end(), "DeInitGL" ), 2 );
	PluginLibrary refusing( testsupport::Plugin( "ProbeInitGLFails" ) );
	EXPECT_THROW( Instance( refusing, 8, 8 ), Error );
}

TEST( Textures, PaddedInputHoldsThePictureUpsideDownInItsCorner )
{
	testsupport::Context();
	const Image picture = GradientImage( 40, 20 );
	InputTexture input( picture, 64, 32 );
	const FFGLTextureStruct& record = input.Texture();
	EXPECT_EQ( record.Width * 100 + record.Height, 4020u );
	EXPECT_EQ( record.HardwareWidth * 100 + record.HardwareHeight, 6432u );
	GLint size[ 2 ] = {};
	glBindTexture( GL_TEXTURE_2D, input.Handle() );
	glGetTexLevelParameteriv( GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size[ 0 ] );
	glGetTexLevelParameteriv( GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size[ 1 ] );
	glBindTexture( GL_TEXTURE_2D, 0 );
	EXPECT_EQ( size[ 0 ] * 100 + size[ 1 ], 6432 );
	// Copied through a framebuffer into a target, it reads back byte for byte.
	RenderTarget target( 40, 20 );
	GLuint source = 0;
	glGenFramebuffers( 1, &source );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, source );
	glFramebufferTexture2D( GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, input.Handle(), 0 );
	glBindFramebuffer( GL_DRAW_FRAMEBUFFER, target.Framebuffer() );
	glBlitFramebuffer( 0, 0, 40, 20, 0, 0, 40, 20, GL_COLOR_BUFFER_BIT, GL_NEAREST );
	glDeleteFramebuffers( 1, &source );
	EXPECT_EQ( target.ReadPixels(), picture );
	// The allocation beyond the picture holds the padding colour asked for.
	InputTexture padded( picture, 64, 32, { 255, 0, 255, 128 } );
	RenderTarget whole( 64, 32 );
	glGenFramebuffers( 1, &source );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, source );
	glFramebufferTexture2D( GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, padded.Handle(), 0 );
	glBindFramebuffer( GL_DRAW_FRAMEBUFFER, whole.Framebuffer() );
	glBlitFramebuffer( 0, 0, 64, 32, 0, 0, 64, 32, GL_COLOR_BUFFER_BIT, GL_NEAREST );
	glDeleteFramebuffers( 1, &source );
	const Image all = whole.ReadPixels();
	for( const auto& [ x, y ] : { std::pair{ 63, 0 }, std::pair{ 40, 31 }, std::pair{ 0, 11 } } )
		EXPECT_EQ( std::vector< uint8_t >( all.pixels.begin() + ( y * 64 + x ) * 4, all.pixels.begin() + ( y * 64 + x ) * 4 + 4 ),
				   ( std::vector< uint8_t >{ 255, 0, 255, 128 } ) ) << x << "," << y;
	EXPECT_EQ( std::vector< uint8_t >( all.pixels.begin() + ( 31 * 64 ) * 4, all.pixels.begin() + ( 31 * 64 ) * 4 + 4 ),
			   std::vector< uint8_t >( picture.pixels.begin() + ( 19 * 40 ) * 4, picture.pixels.begin() + ( 19 * 40 ) * 4 + 4 ) );
	EXPECT_THROW( InputTexture( SolidImage( 8, 8, Rgba{} ), 4, 8 ), Error );
	EXPECT_THROW( InputTexture( Image{} ), Error );
}

TEST( Textures, TargetClearsAndReadsTheTopRowFirst )
{
	testsupport::Context();
	EXPECT_THROW( RenderTarget( 0, 10 ), Error );
	RenderTarget target( 6, 4 );
	target.Clear( 1.0f, 1.0f, 1.0f, 1.0f );
	target.Clear();
	EXPECT_EQ( target.ReadPixels(), Image( 6, 4 ) );// transparent black
	GLint viewport[ 4 ] = {};
	glGetIntegerv( GL_VIEWPORT, viewport );
	EXPECT_EQ( viewport[ 2 ] * 10 + viewport[ 3 ], 64 );
	// GL's topmost row (y = height - 1) red.
	glEnable( GL_SCISSOR_TEST );
	glScissor( 0, 3, 6, 1 );
	glClearColor( 1.0f, 0.0f, 0.0f, 1.0f );
	glClear( GL_COLOR_BUFFER_BIT );
	glDisable( GL_SCISSOR_TEST );
	const Image image = target.ReadPixels();
	EXPECT_EQ( image.At( 5, 0 )[ 0 ], 255 );
	EXPECT_EQ( image.At( 0, 1 )[ 0 ], 0 );
}

TEST( Textures, SecondContextOutlivesAFirstOneEnding )
{
	auto first = std::make_unique< GLContext >();
	GLContext second;
	first.reset();
	second.MakeCurrent();
	RenderTarget target( 2, 2 );
	target.Clear( 0.0f, 1.0f, 0.0f, 1.0f );
	EXPECT_EQ( target.ReadPixels().At( 1, 1 )[ 1 ], 255 );
}

TEST( Png, RoundTripKeepsEveryByte )
{
	Image image( 7, 5 );// alpha varies apart from colour, so premultiplying shows
	for( uint32_t y = 0; y < image.height; ++y )
		for( uint32_t x = 0; x < image.width; ++x )
			std::copy_n( std::initializer_list< uint8_t >{ uint8_t( 200 + x ), uint8_t( 10 * y ), uint8_t( x * y ),
															uint8_t( ( x * 37 + y * 11 ) % 256 ) }.begin(), 4, image.At( x, y ) );
	const std::string dir = testsupport::ScratchDir( "png" );
	WritePng( dir + "/varied.png", image );
	EXPECT_EQ( ReadPng( dir + "/varied.png" ), image );
}

TEST( Png, ErrorsNameTheFile )
{
	const std::string dir = testsupport::ScratchDir( "png-errors" );
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
	Image wrong( 2, 2 );
	wrong.pixels.pop_back();
	EXPECT_THROW( WritePng( dir + "/wrong.png", wrong ), Error );
	EXPECT_THROW( WritePng( dir + "/empty.png", Image{} ), Error );
	EXPECT_THROW( WritePng( "/nonexistent/dir/out.png", SolidImage( 1, 1, Rgba{} ) ), Error );
}

TEST( Images, SizesAndPatterns )
{
	EXPECT_THROW( Image( 0, 4 ), Error );
	EXPECT_THROW( Image( 4, 20000 ), Error );
	const Image checker = CheckerImage( 4, 4, 2, Rgba{ 255, 0, 0, 255 }, Rgba{ 0, 0, 255, 255 } );
	EXPECT_TRUE( checker.At( 0, 0 )[ 0 ] == 255 && checker.At( 2, 0 )[ 2 ] == 255 && checker.At( 2, 2 )[ 0 ] == 255 );
	const Image gradient = GradientImage( 3, 3 );
	EXPECT_TRUE( gradient.At( 2, 0 )[ 0 ] == 255 && gradient.At( 0, 2 )[ 1 ] == 255 );
	const std::pair< uint32_t, uint32_t > powers[] = { { 0, 1 }, { 1, 1 }, { 3, 4 }, { 1024, 1024 }, { 1025, 2048 } };
	for( const auto& [ size, power ] : powers )
		EXPECT_EQ( NextPowerOfTwo( size ), power ) << size;
}
}// namespace

// Instances, textures, targets and PNG files.
#include "TestSupport.h"

#include <PlugHost.h>

#include <GL/glcorearb.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <tuple>

using namespace plughost;

namespace
{
class ProbeInstance : public ::testing::Test
{
protected:
	void SetUp() override { testsupport::Context(); }
	PluginLibrary library{ testsupport::Plugin( "Probe" ) };
};

// A float sent to a text parameter would be read as a pointer: the typed
// calls refuse the wrong kind without calling.
TEST_F( ProbeInstance, ParametersByKindAndEvents )
{
	Instance instance( library, 32, 16 );
	EXPECT_EQ( ( std::tuple{ instance.SetFloat( 3, 0.75f ), instance.GetFloat( 3 ).value_or( -1.0f ), instance.SetText( 0, "world" ),
							 instance.Display( 3 ).value_or( "?" ), instance.DisplayName( 2 ).value_or( "?" ), instance.SetFloat( 0, 1.0f ),
							 instance.GetFloat( 0 ).has_value(), instance.SetText( 3, "0.5" ), instance.GetText( 3 ).has_value(),
							 instance.GetText( 0 ).value_or( "?" ) } ),
			   std::tuple( FF_SUCCESS, 0.75f, FF_SUCCESS, "0.750000", "Mode shown", FF_FAIL, false, FF_FAIL, false, "world" ) );
	ASSERT_EQ( instance.SetFloat( 3, 0.5f ), FF_SUCCESS );// changes three descriptions
	EXPECT_EQ( ( std::tuple{ instance.ConsumeEvents( 2 ).size(), instance.PendingEventCount().value_or( 99 ), instance.ConsumeEvents( 16 ).size() } ),
			   std::tuple( 2u, 1u, 1u ) );
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

// Copied through a framebuffer into a target, the padded input reads back
// byte for byte: the picture sits upside down in its corner.
TEST( Textures, PaddedInputHoldsThePictureUpsideDownInItsCorner )
{
	testsupport::Context();
	const Image picture = GradientImage( 40, 20 );
	InputTexture input( picture, 64, 32 );
	const FFGLTextureStruct& record = input.Texture();
	EXPECT_EQ( std::tuple( record.Width, record.Height, record.HardwareWidth, record.HardwareHeight ), std::tuple( 40u, 20u, 64u, 32u ) );
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

// Alpha varies apart from colour, so premultiplying would show.
// The round trip of varying alpha is checked by the tool's frame (RunToolTest).
TEST( Png, ErrorsNameTheFile )
{
	const std::string dir = testsupport::ScratchDir( "png" );
	std::ofstream( dir + "/bogus.png" ) << "not a png";
	for( const std::string& path : { dir + "/missing.png", dir + "/bogus.png" } )
		EXPECT_NE( testsupport::ErrorOf( [ & ] { ReadPng( path ); } ).find( path ), std::string::npos );
	Image wrong( 2, 2 );
	wrong.pixels.pop_back();
	EXPECT_THROW( WritePng( dir + "/wrong.png", wrong ), Error );
	EXPECT_THROW( WritePng( dir + "/empty.png", Image{} ), Error );
	EXPECT_THROW( WritePng( "/nonexistent/dir/out.png", SolidImage( 1, 1, Rgba{} ) ), Error );
	EXPECT_THROW( Image( 4, 20000 ), Error );
}
}// namespace

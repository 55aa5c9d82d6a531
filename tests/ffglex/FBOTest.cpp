#include "GLTestSupport.h"
#include "ffglex/FFGLFBO.h"

using namespace ffglex_test;
using ffglex::FFGLFBO;

namespace
{
class FBOTest : public GLTest
{
protected:
	void TearDown() override
	{
		fbo.Release();
		GLTest::TearDown();
	}

	static GLint TextureLevelValue( GLuint texture, GLenum name )
	{
		GLint value = -1;
		glBindTexture( GL_TEXTURE_2D, texture );
		glGetTexLevelParameteriv( GL_TEXTURE_2D, 0, name, &value );
		glBindTexture( GL_TEXTURE_2D, 0 );
		return value;
	}

	static GLint AttachmentValue( GLuint framebuffer, GLenum attachment, GLenum name )
	{
		GLint value = -1;
		glBindFramebuffer( GL_FRAMEBUFFER, framebuffer );
		glGetFramebufferAttachmentParameteriv( GL_FRAMEBUFFER, attachment, name, &value );
		glBindFramebuffer( GL_FRAMEBUFFER, 0 );
		return value;
	}

	void ExpectEmpty() const
	{
		EXPECT_EQ( fbo.GetGLID(), 0u );
		EXPECT_EQ( fbo.GetWidth(), 0 );
		EXPECT_EQ( fbo.GetHeight(), 0 );
		FFGLTextureStruct info = fbo.GetTextureInfo();
		EXPECT_EQ( info.Width, 0u );
		EXPECT_EQ( info.Height, 0u );
		EXPECT_EQ( info.HardwareWidth, 0u );
		EXPECT_EQ( info.HardwareHeight, 0u );
		EXPECT_EQ( info.Handle, 0u );
	}

	FFGLFBO fbo;
};
}// namespace

TEST_F( FBOTest, BuildsACompleteTargetOfTheRequestedSize )
{
	ASSERT_TRUE( fbo.Initialise( 24, 10, GL_RGBA8 ) );
	EXPECT_EQ( fbo.GetWidth(), 24 );
	EXPECT_EQ( fbo.GetHeight(), 10 );
	FFGLTextureStruct info = fbo.GetTextureInfo();
	EXPECT_EQ( info.Width, 24u );
	EXPECT_EQ( info.Height, 10u );
	EXPECT_EQ( info.HardwareWidth, 24u );
	EXPECT_EQ( info.HardwareHeight, 10u );
	ASSERT_TRUE( glIsTexture( info.Handle ) );
	EXPECT_EQ( TextureLevelValue( info.Handle, GL_TEXTURE_WIDTH ), 24 );
	EXPECT_EQ( TextureLevelValue( info.Handle, GL_TEXTURE_HEIGHT ), 10 );
	EXPECT_EQ( TextureLevelValue( info.Handle, GL_TEXTURE_INTERNAL_FORMAT ), GL_RGBA8 );

	const GLuint id = fbo.GetGLID();
	EXPECT_EQ( AttachmentValue( id, GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME ), GLint( info.Handle ) );
	EXPECT_EQ( AttachmentValue( id, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE ), GL_RENDERBUFFER );
	EXPECT_EQ( AttachmentValue( id, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE ), 24 );
	glBindFramebuffer( GL_FRAMEBUFFER, id );
	EXPECT_EQ( glCheckFramebufferStatus( GL_FRAMEBUFFER ), static_cast< GLenum >( GL_FRAMEBUFFER_COMPLETE ) );

	// Rendering into it reaches the colour texture.
	glClearColor( 0.0f, 0.4f, 1.0f, 1.0f );
	glClear( GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT );
	unsigned char rgba[ 4 ] = {};
	glReadPixels( 23, 9, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba );
	EXPECT_EQ( ( Pixel{ rgba[ 0 ], rgba[ 1 ], rgba[ 2 ], rgba[ 3 ] } ), ( Pixel{ 0, 102, 255, 255 } ) );
}

TEST_F( FBOTest, FloatFormatsKeepValuesAboveOne )
{
	ASSERT_TRUE( fbo.Initialise( 4, 4, GL_RGBA32F ) );
	const GLuint texture = fbo.GetTextureInfo().Handle;
	EXPECT_EQ( TextureLevelValue( texture, GL_TEXTURE_INTERNAL_FORMAT ), GL_RGBA32F );
	glBindFramebuffer( GL_FRAMEBUFFER, fbo.GetGLID() );
	glClearColor( 2.5f, -1.0f, 0.25f, 1.0f );
	glClear( GL_COLOR_BUFFER_BIT );
	float rgba[ 4 ] = {};
	glReadPixels( 1, 1, 1, 1, GL_RGBA, GL_FLOAT, rgba );
	EXPECT_EQ( rgba[ 0 ], 2.5f );
	EXPECT_EQ( rgba[ 1 ], -1.0f );
	EXPECT_EQ( rgba[ 2 ], 0.25f );

	fbo.Release();
	ASSERT_TRUE( fbo.Initialise( 4, 4, GL_RGBA16F ) );
	EXPECT_EQ( TextureLevelValue( fbo.GetTextureInfo().Handle, GL_TEXTURE_INTERNAL_FORMAT ), GL_RGBA16F );
}

TEST_F( FBOTest, LeavesTheCallersFramebuffersAndViewportBound )
{
	RenderTarget hostDraw( 2, 2 ), hostRead( 2, 2 );
	glBindFramebuffer( GL_DRAW_FRAMEBUFFER, hostDraw.Framebuffer() );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, hostRead.Framebuffer() );
	glViewport( 5, 7, 100, 100 );

	ASSERT_TRUE( fbo.Initialise( 8, 6 ) );
	EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), GLint( hostDraw.Framebuffer() ) );
	EXPECT_EQ( GetInteger( GL_READ_FRAMEBUFFER_BINDING ), GLint( hostRead.Framebuffer() ) );
	EXPECT_EQ( GetInteger( GL_TEXTURE_BINDING_2D ), 0 );
	EXPECT_EQ( GetInteger( GL_RENDERBUFFER_BINDING ), 0 );

	GLint viewport[ 4 ] = {};
	glGetIntegerv( GL_VIEWPORT, viewport );
	EXPECT_EQ( viewport[ 0 ], 5 );
	fbo.ResizeViewPort();
	glGetIntegerv( GL_VIEWPORT, viewport );
	EXPECT_EQ( viewport[ 0 ], 0 );
	EXPECT_EQ( viewport[ 1 ], 0 );
	EXPECT_EQ( viewport[ 2 ], 8 );
	EXPECT_EQ( viewport[ 3 ], 6 );
}

TEST_F( FBOTest, InitialiseIsRefusedWhileReady )
{
	ASSERT_TRUE( fbo.Initialise( 8, 8, GL_RGBA8 ) );
	const GLuint id = fbo.GetGLID();
	const FFGLTextureStruct before = fbo.GetTextureInfo();
	EXPECT_FALSE( fbo.Initialise( 16, 4, GL_RGBA32F ) );
	EXPECT_EQ( fbo.GetGLID(), id );
	EXPECT_EQ( fbo.GetWidth(), 8 );
	EXPECT_EQ( fbo.GetHeight(), 8 );
	EXPECT_EQ( fbo.GetTextureInfo().Handle, before.Handle );
	EXPECT_EQ( TextureLevelValue( before.Handle, GL_TEXTURE_INTERNAL_FORMAT ), GL_RGBA8 );
	EXPECT_TRUE( glIsFramebuffer( id ) );
}

TEST_F( FBOTest, ReleaseDeletesEverythingAndMayRepeat )
{
	ASSERT_TRUE( fbo.Initialise( 8, 8 ) );
	const GLuint id = fbo.GetGLID();
	const GLuint texture = fbo.GetTextureInfo().Handle;
	const GLint depth = AttachmentValue( id, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME );
	fbo.Release();
	ExpectEmpty();
	EXPECT_FALSE( glIsFramebuffer( id ) );
	EXPECT_FALSE( glIsTexture( texture ) );
	EXPECT_FALSE( glIsRenderbuffer( GLuint( depth ) ) );
	fbo.Release();
	ExpectEmpty();

	// A different size after Release.
	ASSERT_TRUE( fbo.Initialise( 3, 5 ) );
	EXPECT_EQ( TextureLevelValue( fbo.GetTextureInfo().Handle, GL_TEXTURE_WIDTH ), 3 );
}

TEST_F( FBOTest, SizesWithoutPixelsAreRefusedBeforeTouchingGL )
{
	for( GLsizei size : { 0, -1, -100000 } )
	{
		EXPECT_FALSE( fbo.Initialise( size, 8 ) );
		EXPECT_FALSE( fbo.Initialise( 8, size ) );
		ExpectEmpty();
	}
	EXPECT_EQ( DrainErrors(), static_cast< GLenum >( GL_NO_ERROR ) );
	EXPECT_TRUE( fbo.Initialise( 1, 1 ) );
}

TEST_F( FBOTest, IncompleteTargetIsUndoneAndTheBindingsRestored )
{
	RenderTarget host( 2, 2 );
	// An integer format cannot take float pixel transfers, so the colour
	// texture gets no storage and the framebuffer cannot be complete.
	EXPECT_FALSE( fbo.Initialise( 8, 8, GL_RGBA8UI ) );
	EXPECT_NE( DrainErrors(), static_cast< GLenum >( GL_NO_ERROR ) );
	ExpectEmpty();
	EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), GLint( host.Framebuffer() ) );
	EXPECT_EQ( GetInteger( GL_READ_FRAMEBUFFER_BINDING ), GLint( host.Framebuffer() ) );
	// Nothing was left behind by the failed attempt.
	for( GLuint name = 1; name < 256; ++name )
		ASSERT_FALSE( glIsRenderbuffer( name ) ) << name;

	EXPECT_TRUE( fbo.Initialise( 8, 8, GL_RGBA8 ) );
}

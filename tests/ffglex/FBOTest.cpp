#include "GLTestSupport.h"
#include "ffglex/FFGLFBO.h"

using namespace ffglex_test;

namespace
{
class FBOTest : public GLTest
{
protected:
	void TearDown() override
	{
		fbo.Release();
		glBindFramebuffer( GL_FRAMEBUFFER, 0 );
		GLTest::TearDown();
	}
	static GLint TextureValue( GLuint texture, GLenum name )
	{
		GLint value = -1;
		glBindTexture( GL_TEXTURE_2D, texture );
		glGetTexLevelParameteriv( GL_TEXTURE_2D, 0, name, &value );
		glBindTexture( GL_TEXTURE_2D, 0 );
		return value;
	}
	void ExpectEmpty() const
	{
		FFGLTextureStruct info = fbo.GetTextureInfo();
		EXPECT_EQ( fbo.GetGLID() | info.Width | info.Height | info.HardwareWidth | info.HardwareHeight | info.Handle, 0u );
	}
	ffglex::FFGLFBO fbo;
};
}// namespace

TEST_F( FBOTest, BuildsACompleteTargetAndRestoresTheCallersBindings )
{
	RenderTarget hostDraw( 1, 1 ), hostRead( 1, 1 );
	glBindFramebuffer( GL_DRAW_FRAMEBUFFER, hostDraw.framebuffer );
	glViewport( 5, 7, 100, 100 );

	ASSERT_TRUE( fbo.Initialise( 24, 10, GL_RGBA8 ) );
	EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), GLint( hostDraw.framebuffer ) );
	EXPECT_EQ( GetInteger( GL_READ_FRAMEBUFFER_BINDING ), GLint( hostRead.framebuffer ) );
	FFGLTextureStruct info = fbo.GetTextureInfo();
	EXPECT_TRUE( info.Width == 24 && info.Height == 10 && info.HardwareWidth == 24 && info.HardwareHeight == 10 );
	EXPECT_EQ( TextureValue( info.Handle, GL_TEXTURE_WIDTH ), 24 );
	EXPECT_EQ( TextureValue( info.Handle, GL_TEXTURE_INTERNAL_FORMAT ), GL_RGBA8 );

	glBindFramebuffer( GL_FRAMEBUFFER, fbo.GetGLID() );
	EXPECT_EQ( glCheckFramebufferStatus( GL_FRAMEBUFFER ), GLenum( GL_FRAMEBUFFER_COMPLETE ) );
	GLint depthType = 0;
	glGetFramebufferAttachmentParameteriv( GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &depthType );
	EXPECT_EQ( depthType, GL_RENDERBUFFER );

	fbo.ResizeViewPort();// the target's own size at the origin, whatever the host's
	GLint viewport[ 4 ] = {};
	glGetIntegerv( GL_VIEWPORT, viewport );
	EXPECT_TRUE( viewport[ 0 ] == 0 && viewport[ 1 ] == 0 && viewport[ 2 ] == 24 && viewport[ 3 ] == 10 );
	glClearColor( 0.0f, 0.4f, 1.0f, 1.0f );
	glClear( GL_COLOR_BUFFER_BIT );
	unsigned char rgba[ 4 ] = {};
	glReadPixels( 23, 9, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba );
	EXPECT_EQ( ( Pixel{ rgba[ 0 ], rgba[ 1 ], rgba[ 2 ], rgba[ 3 ] } ), ( Pixel{ 0, 102, 255, 255 } ) );
}

TEST_F( FBOTest, FloatFormatKeepsValuesOutsideTheUnitRange )
{
	ASSERT_TRUE( fbo.Initialise( 4, 4, GL_RGBA32F ) );
	EXPECT_EQ( TextureValue( fbo.GetTextureInfo().Handle, GL_TEXTURE_INTERNAL_FORMAT ), GL_RGBA32F );
	glBindFramebuffer( GL_FRAMEBUFFER, fbo.GetGLID() );
	glClearColor( 2.5f, -1.0f, 0.25f, 1.0f );
	glClear( GL_COLOR_BUFFER_BIT );
	float rgba[ 4 ] = {};
	glReadPixels( 1, 1, 1, 1, GL_RGBA, GL_FLOAT, rgba );
	EXPECT_TRUE( rgba[ 0 ] == 2.5f && rgba[ 1 ] == -1.0f && rgba[ 2 ] == 0.25f );
}

TEST_F( FBOTest, InitialiseIsRefusedWhileReadyAndReleaseEmpties )
{
	ASSERT_TRUE( fbo.Initialise( 8, 8, GL_RGBA8 ) );
	const GLuint id = fbo.GetGLID(), texture = fbo.GetTextureInfo().Handle;
	EXPECT_FALSE( fbo.Initialise( 16, 4, GL_RGBA32F ) );
	EXPECT_TRUE( fbo.GetGLID() == id && fbo.GetWidth() == 8 && fbo.GetHeight() == 8 );
	EXPECT_EQ( TextureValue( texture, GL_TEXTURE_INTERNAL_FORMAT ), GL_RGBA8 );

	fbo.Release();
	fbo.Release();
	ExpectEmpty();
	EXPECT_FALSE( glIsFramebuffer( id ) || glIsTexture( texture ) );
	ASSERT_TRUE( fbo.Initialise( 3, 5 ) );
	EXPECT_EQ( TextureValue( fbo.GetTextureInfo().Handle, GL_TEXTURE_HEIGHT ), 5 );
}

TEST_F( FBOTest, FailuresLeaveItEmptyAndRetryable )
{
	for( GLsizei size : { 0, -1, -100000 } )
	{
		EXPECT_FALSE( fbo.Initialise( size, 8 ) );
		EXPECT_FALSE( fbo.Initialise( 8, size ) );
	}
	EXPECT_EQ( DrainErrors(), GLenum( GL_NO_ERROR ) );// refused before any GL call
	ExpectEmpty();

	// Integer formats take no float transfers: no storage, so incomplete.
	RenderTarget host( 1, 1 );
	EXPECT_FALSE( fbo.Initialise( 8, 8, GL_RGBA8UI ) );
	DrainErrors();
	ExpectEmpty();
	EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), GLint( host.framebuffer ) );
	for( GLuint name = 1; name < 256; ++name )
		ASSERT_FALSE( glIsRenderbuffer( name ) ) << name;
	EXPECT_TRUE( fbo.Initialise( 8, 8 ) );
}

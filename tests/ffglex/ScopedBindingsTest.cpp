#include "GLTestSupport.h"
#include "ffglex/FFGLExtensions.h"

using namespace ffglex_test;
using namespace ffglex;

namespace
{
class ScopedBindingsTest : public GLTest
{
protected:
	void SetUp() override
	{
		GLTest::SetUp();
		glGenVertexArrays( 2, arrays );
		glGenBuffers( 2, buffers );
		glGenTextures( 2, textures );
		glGenRenderbuffers( 2, renderBuffers );
		glBindVertexArray( arrays[ 1 ] );// holds the element buffer binding
	}
	void TearDown() override
	{
		glBindVertexArray( 0 );
		glDeleteRenderbuffers( 2, renderBuffers );
		glDeleteTextures( 2, textures );
		glDeleteBuffers( 2, buffers );
		glDeleteVertexArrays( 2, arrays );
		glDeleteProgram( program );
		GLTest::TearDown();
	}
	GLuint arrays[ 2 ] = {}, buffers[ 2 ] = {}, textures[ 2 ] = {}, renderBuffers[ 2 ] = {};
	GLuint program = BuildRawProgram( texCoordVertex, texCoordFragment );
};

// While the guard lives its object is bound; afterwards nothing is. Ended
// early, its destructor leaves alone what was bound in between.
template< typename Guard, typename... Args >
void CheckGuard( GLenum query, GLuint name, GLuint other, void ( *bind )( GLuint ), Args... args )
{
	{
		Guard guard( args... );
		EXPECT_EQ( GetInteger( query ), GLint( name ) );
	}
	EXPECT_EQ( GetInteger( query ), 0 );
	{
		Guard guard( args... );
		guard.EndScope();
		EXPECT_EQ( GetInteger( query ), 0 );
		bind( other );
	}
	EXPECT_EQ( GetInteger( query ), GLint( other ) );
	bind( 0 );
}
}// namespace

TEST_F( ScopedBindingsTest, EveryGuardBindsForItsScopeOnly )
{
	GLuint b = buffers[ 0 ], b2 = buffers[ 1 ], t = textures[ 0 ], t2 = textures[ 1 ];
	CheckGuard< ScopedVBOBinding >( GL_ARRAY_BUFFER_BINDING, b, b2, []( GLuint n ) { glBindBuffer( GL_ARRAY_BUFFER, n ); }, b );
	CheckGuard< ScopedIBOBinding >( GL_ELEMENT_ARRAY_BUFFER_BINDING, b, b2,
	                                []( GLuint n ) { glBindBuffer( GL_ELEMENT_ARRAY_BUFFER, n ); }, b );
	auto bindUniform = []( GLuint n ) { glBindBuffer( GL_UNIFORM_BUFFER, n ); };
	CheckGuard< ScopedUBOBinding >( GL_UNIFORM_BUFFER_BINDING, b, b2, bindUniform, b );
	CheckGuard< ScopedBufferBinding >( GL_UNIFORM_BUFFER_BINDING, b, b2, bindUniform, GLenum( GL_UNIFORM_BUFFER ), b );
	auto bindTexture = []( GLuint n ) { glBindTexture( GL_TEXTURE_2D, n ); };
	CheckGuard< Scoped2DTextureBinding >( GL_TEXTURE_BINDING_2D, t, t2, bindTexture, t );
	CheckGuard< ScopedTextureBinding >( GL_TEXTURE_BINDING_2D, t, t2, bindTexture, GLenum( GL_TEXTURE_2D ), t );
	CheckGuard< ScopedShaderBinding >( GL_CURRENT_PROGRAM, program, program, []( GLuint n ) { glUseProgram( n ); }, program );
	CheckGuard< ScopedVAOBinding >( GL_VERTEX_ARRAY_BINDING, arrays[ 0 ], arrays[ 1 ], []( GLuint n ) { glBindVertexArray( n ); },
	                                arrays[ 0 ] );
	glBindVertexArray( arrays[ 1 ] );
	CheckGuard< ScopedRenderBufferBinding >( GL_RENDERBUFFER_BINDING, renderBuffers[ 0 ], renderBuffers[ 1 ],
	                                         []( GLuint n ) { glBindRenderbuffer( GL_RENDERBUFFER, n ); }, renderBuffers[ 0 ] );

	// Nested guards of one kind: the inner one leaves nothing bound.
	Scoped2DTextureBinding outer( t );
	{
		Scoped2DTextureBinding inner( t2 );
	}
	EXPECT_EQ( GetInteger( GL_TEXTURE_BINDING_2D ), 0 );
}

TEST_F( ScopedBindingsTest, SamplerActivationReturnsToUnitZero )
{
	glActiveTexture( GL_TEXTURE0 + 5 );
	{
		ScopedSamplerActivation activation( 3 );
		EXPECT_EQ( GetInteger( GL_ACTIVE_TEXTURE ), GL_TEXTURE0 + 3 );
	}
	EXPECT_EQ( GetInteger( GL_ACTIVE_TEXTURE ), GL_TEXTURE0 );
	{
		ScopedSamplerActivation activation( 2 );
		activation.EndScope();
		glActiveTexture( GL_TEXTURE0 + 4 );
	}
	EXPECT_EQ( GetInteger( GL_ACTIVE_TEXTURE ), GL_TEXTURE0 + 4 );
	glActiveTexture( GL_TEXTURE0 );
}

TEST_F( ScopedBindingsTest, FramebufferGuardRestoresWhatItFoundOrDefault )
{
	RenderTarget draw( 1, 1 ), read( 1, 1 ), inner( 1, 1 );
	for( auto behaviour : { ScopedFBOBinding::RestorePrevious, ScopedFBOBinding::RestoreToDefault } )
	{
		glBindFramebuffer( GL_DRAW_FRAMEBUFFER, draw.framebuffer );
		glBindFramebuffer( GL_READ_FRAMEBUFFER, read.framebuffer );
		{
			ScopedFBOBinding binding( inner.framebuffer, behaviour );
			EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), GLint( inner.framebuffer ) );
			EXPECT_EQ( GetInteger( GL_READ_FRAMEBUFFER_BINDING ), GLint( inner.framebuffer ) );
		}
		bool restore = behaviour == ScopedFBOBinding::RestorePrevious;
		EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), restore ? GLint( draw.framebuffer ) : 0 );
		EXPECT_EQ( GetInteger( GL_READ_FRAMEBUFFER_BINDING ), restore ? GLint( read.framebuffer ) : 0 );
	}
}

#include "GLTestSupport.h"
#include <memory>
#include "ffglex/FFGLScopedBufferBinding.h"
#include "ffglex/FFGLScopedFBOBinding.h"
#include "ffglex/FFGLScopedRenderBufferBinding.h"
#include "ffglex/FFGLScopedSamplerActivation.h"
#include "ffglex/FFGLScopedShaderBinding.h"
#include "ffglex/FFGLScopedTextureBinding.h"
#include "ffglex/FFGLScopedVAOBinding.h"

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
		// The element buffer binding lives in the bound vertex array.
		glBindVertexArray( arrays[ 1 ] );
	}
	void TearDown() override
	{
		glBindVertexArray( 0 );
		glDeleteRenderbuffers( 2, renderBuffers );
		glDeleteTextures( 2, textures );
		glDeleteBuffers( 2, buffers );
		glDeleteVertexArrays( 2, arrays );
		GLTest::TearDown();
	}

	GLuint arrays[ 2 ] = {};
	GLuint buffers[ 2 ] = {};
	GLuint textures[ 2 ] = {};
	GLuint renderBuffers[ 2 ] = {};
};

// Checks the guard's binding while it lives, that ending it early leaves
// nothing bound, and that its destructor then leaves alone what was bound
// after it.
template< typename Guard, typename... Args >
void CheckGuard( GLenum query, GLint name, GLint other, void ( *bind )( GLint ), Args... args )
{
	{
		Guard guard( args... );
		EXPECT_EQ( GetInteger( query ), name );
	}
	EXPECT_EQ( GetInteger( query ), 0 ) << "after destruction";
	{
		Guard guard( args... );
		guard.EndScope();
		EXPECT_EQ( GetInteger( query ), 0 ) << "after EndScope";
		bind( other );
	}
	EXPECT_EQ( GetInteger( query ), other ) << "destructor after EndScope";
	bind( 0 );
}
}// namespace

TEST_F( ScopedBindingsTest, BufferGuardsBindTheirTargetAndLeaveItEmpty )
{
	auto bindArray = []( GLint b ) { glBindBuffer( GL_ARRAY_BUFFER, GLuint( b ) ); };
	auto bindElements = []( GLint b ) { glBindBuffer( GL_ELEMENT_ARRAY_BUFFER, GLuint( b ) ); };
	auto bindUniform = []( GLint b ) { glBindBuffer( GL_UNIFORM_BUFFER, GLuint( b ) ); };
	GLint name = GLint( buffers[ 0 ] ), other = GLint( buffers[ 1 ] );
	CheckGuard< ScopedVBOBinding >( GL_ARRAY_BUFFER_BINDING, name, other, bindArray, buffers[ 0 ] );
	CheckGuard< ScopedIBOBinding >( GL_ELEMENT_ARRAY_BUFFER_BINDING, name, other, bindElements, buffers[ 0 ] );
	CheckGuard< ScopedUBOBinding >( GL_UNIFORM_BUFFER_BINDING, name, other, bindUniform, buffers[ 0 ] );
	CheckGuard< ScopedBufferBinding >( GL_UNIFORM_BUFFER_BINDING, name, other, bindUniform, GLenum( GL_UNIFORM_BUFFER ),
	                                   buffers[ 0 ] );
}

TEST_F( ScopedBindingsTest, OtherGuardsBindAndLeaveNothingBound )
{
	GLuint program = BuildRawProgram( passThroughVertex, texCoordFragment );
	auto bindTexture = []( GLint t ) { glBindTexture( GL_TEXTURE_2D, GLuint( t ) ); };
	auto useProgram = []( GLint p ) { glUseProgram( GLuint( p ) ); };
	auto bindArray = []( GLint a ) { glBindVertexArray( GLuint( a ) ); };
	auto bindRenderBuffer = []( GLint r ) { glBindRenderbuffer( GL_RENDERBUFFER, GLuint( r ) ); };

	CheckGuard< Scoped2DTextureBinding >( GL_TEXTURE_BINDING_2D, GLint( textures[ 0 ] ), GLint( textures[ 1 ] ), bindTexture,
	                                      textures[ 0 ] );
	CheckGuard< ScopedTextureBinding >( GL_TEXTURE_BINDING_2D, GLint( textures[ 0 ] ), GLint( textures[ 1 ] ), bindTexture,
	                                    GLenum( GL_TEXTURE_2D ), textures[ 0 ] );
	CheckGuard< ScopedShaderBinding >( GL_CURRENT_PROGRAM, GLint( program ), GLint( program ), useProgram, program );
	CheckGuard< ScopedVAOBinding >( GL_VERTEX_ARRAY_BINDING, GLint( arrays[ 0 ] ), GLint( arrays[ 1 ] ), bindArray, arrays[ 0 ] );
	CheckGuard< ScopedRenderBufferBinding >( GL_RENDERBUFFER_BINDING, GLint( renderBuffers[ 0 ] ), GLint( renderBuffers[ 1 ] ),
	                                         bindRenderBuffer, renderBuffers[ 0 ] );
	glDeleteProgram( program );
}

TEST_F( ScopedBindingsTest, GuardsEndThroughTheirBaseClass )
{
	std::unique_ptr< ScopedBufferBinding > buffer = std::make_unique< ScopedVBOBinding >( buffers[ 0 ] );
	std::unique_ptr< ScopedTextureBinding > texture = std::make_unique< Scoped2DTextureBinding >( textures[ 0 ] );
	EXPECT_EQ( GetInteger( GL_ARRAY_BUFFER_BINDING ), GLint( buffers[ 0 ] ) );
	buffer.reset();
	texture.reset();
	EXPECT_EQ( GetInteger( GL_ARRAY_BUFFER_BINDING ), 0 );
	EXPECT_EQ( GetInteger( GL_TEXTURE_BINDING_2D ), 0 );
}

TEST_F( ScopedBindingsTest, NestedGuardsOfOneKindLeaveNothingBound )
{
	Scoped2DTextureBinding outer( textures[ 0 ] );
	{
		Scoped2DTextureBinding inner( textures[ 1 ] );
		EXPECT_EQ( GetInteger( GL_TEXTURE_BINDING_2D ), GLint( textures[ 1 ] ) );
	}
	EXPECT_EQ( GetInteger( GL_TEXTURE_BINDING_2D ), 0 );
}

TEST_F( ScopedBindingsTest, SamplerActivationReturnsToUnitZero )
{
	glActiveTexture( GL_TEXTURE0 + 5 );
	{
		ScopedSamplerActivation activation( 3 );
		EXPECT_EQ( GetInteger( GL_ACTIVE_TEXTURE ), GL_TEXTURE0 + 3 );
		// Texture guards act on the active unit.
		Scoped2DTextureBinding binding( textures[ 0 ] );
		EXPECT_EQ( GetInteger( GL_TEXTURE_BINDING_2D ), GLint( textures[ 0 ] ) );
	}
	EXPECT_EQ( GetInteger( GL_ACTIVE_TEXTURE ), GL_TEXTURE0 );
	EXPECT_EQ( GetInteger( GL_TEXTURE_BINDING_2D ), 0 );

	{
		ScopedSamplerActivation activation( 2 );
		activation.EndScope();
		glActiveTexture( GL_TEXTURE0 + 4 );
	}
	EXPECT_EQ( GetInteger( GL_ACTIVE_TEXTURE ), GL_TEXTURE0 + 4 ) << "destructor after EndScope";
}

TEST_F( ScopedBindingsTest, FramebufferGuardRestoresWhatItFound )
{
	RenderTarget drawTarget( 2, 2 ), readTarget( 2, 2 ), inner( 2, 2 );
	const GLint draw = GLint( drawTarget.Framebuffer() ), read = GLint( readTarget.Framebuffer() );
	glBindFramebuffer( GL_DRAW_FRAMEBUFFER, GLuint( draw ) );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, GLuint( read ) );
	{
		ScopedFBOBinding binding( inner.Framebuffer(), ScopedFBOBinding::RestorePrevious );
		EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), GLint( inner.Framebuffer() ) );
		EXPECT_EQ( GetInteger( GL_READ_FRAMEBUFFER_BINDING ), GLint( inner.Framebuffer() ) );
	}
	EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), draw );
	EXPECT_EQ( GetInteger( GL_READ_FRAMEBUFFER_BINDING ), read );

	{
		ScopedFBOBinding binding( inner.Framebuffer(), ScopedFBOBinding::RestoreToDefault );
		EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), GLint( inner.Framebuffer() ) );
	}
	EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), 0 );
	EXPECT_EQ( GetInteger( GL_READ_FRAMEBUFFER_BINDING ), 0 );

	// Ended early: the destructor leaves a later binding alone.
	glBindFramebuffer( GL_FRAMEBUFFER, GLuint( draw ) );
	{
		ScopedFBOBinding binding( inner.Framebuffer(), ScopedFBOBinding::RestorePrevious );
		binding.EndScope();
		EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), draw );
		glBindFramebuffer( GL_FRAMEBUFFER, GLuint( read ) );
	}
	EXPECT_EQ( GetInteger( GL_DRAW_FRAMEBUFFER_BINDING ), read );
}

// Shared by the toolkit's GL tests: one headless context for the whole run
// and raw-GL helpers, so that the toolkit is never used to check itself.
#pragma once

#include <GLContext.h>
#include <gtest/gtest.h>
#include <array>
#include <memory>
#include "ffglex/FFGLGL.h"

namespace ffglex_test
{
using Pixel = std::array< int, 4 >;

inline GLint GetInteger( GLenum name )
{
	GLint value = -1;
	glGetIntegerv( name, &value );
	return value;
}

inline GLenum DrainErrors()
{
	GLenum first = glGetError();
	while( glGetError() != GL_NO_ERROR )
	{
	}
	return first;
}

// Fails any test that leaves a GL error it did not drain on purpose.
class GLTest : public ::testing::Test
{
protected:
	static void SetUpTestSuite() { context = std::make_unique< plughost::GLContext >(); }
	static void TearDownTestSuite() { context.reset(); }
	void SetUp() override { DrainErrors(); }
	void TearDown() override { EXPECT_EQ( DrainErrors(), GLenum( GL_NO_ERROR ) ); }

	static inline std::unique_ptr< plughost::GLContext > context;
};

// A framebuffer with one RGBA8 colour texture; bound with its viewport.
class RenderTarget
{
public:
	RenderTarget( int width, int height )
	{
		glGenTextures( 1, &texture );
		glBindTexture( GL_TEXTURE_2D, texture );
		glTexImage2D( GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr );
		glBindTexture( GL_TEXTURE_2D, 0 );
		glGenFramebuffers( 1, &framebuffer );
		glBindFramebuffer( GL_FRAMEBUFFER, framebuffer );
		glFramebufferTexture2D( GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0 );
		glViewport( 0, 0, width, height );
		glClearColor( 0, 0, 1, 0 );// a colour the test programs never write
		glClear( GL_COLOR_BUFFER_BIT );
	}
	~RenderTarget()
	{
		glDeleteFramebuffers( 1, &framebuffer );
		glDeleteTextures( 1, &texture );
	}
	Pixel Read( int x, int y ) const
	{
		unsigned char rgba[ 4 ] = {};
		glBindFramebuffer( GL_READ_FRAMEBUFFER, framebuffer );
		glReadPixels( x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba );
		return { rgba[ 0 ], rgba[ 1 ], rgba[ 2 ], rgba[ 3 ] };
	}
	GLuint framebuffer = 0;
	GLuint texture = 0;
};

// Position at location 0 and texture coordinate at 1, written as colour.
inline const char* const texCoordVertex = R"(#version 410 core
layout( location = 0 ) in vec4 position;
layout( location = 1 ) in vec2 texCoord;
out vec2 uv;
void main() { gl_Position = position; uv = texCoord; }
)";
inline const char* const texCoordFragment = R"(#version 410 core
in vec2 uv;
out vec4 colour;
void main() { colour = vec4( uv, 0.0, 1.0 ); }
)";

inline GLuint BuildRawProgram( const char* vertex, const char* fragment )
{
	GLuint program = glCreateProgram();
	const char* sources[] = { vertex, fragment };
	const GLenum types[] = { GL_VERTEX_SHADER, GL_FRAGMENT_SHADER };
	for( int i = 0; i < 2; ++i )
	{
		GLuint shader = glCreateShader( types[ i ] );
		glShaderSource( shader, 1, &sources[ i ], nullptr );
		glCompileShader( shader );
		glAttachShader( program, shader );
		glDeleteShader( shader );// goes with the program
	}
	glLinkProgram( program );
	return program;
}
}// namespace ffglex_test

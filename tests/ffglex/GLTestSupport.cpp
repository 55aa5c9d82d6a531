#include "GLTestSupport.h"

#include <GLContext.h>
#include <cstdio>
#include <memory>
#include <vector>

namespace ffglex_test
{
namespace
{
// Created before the first test, destroyed after the last one.
class GLEnvironment : public ::testing::Environment
{
public:
	void SetUp() override { context = std::make_unique< plughost::GLContext >(); }
	void TearDown() override { context.reset(); }

private:
	std::unique_ptr< plughost::GLContext > context;
};

[[maybe_unused]] ::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment( new GLEnvironment );
}// namespace

const char* const passThroughVertex = R"(#version 410 core
layout( location = 0 ) in vec4 position;
layout( location = 1 ) in vec2 texCoord;
out vec2 uv;
void main()
{
	gl_Position = position;
	uv = texCoord;
}
)";

const char* const texCoordFragment = R"(#version 410 core
in vec2 uv;
out vec4 colour;
void main()
{
	colour = vec4( uv, 0.0, 1.0 );
}
)";

void GLTest::SetUp()
{
	DrainErrors();
}

void GLTest::TearDown()
{
	EXPECT_EQ( DrainErrors(), static_cast< GLenum >( GL_NO_ERROR ) );
	// Leave the resting state every test starts from.
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	glUseProgram( 0 );
	glBindVertexArray( 0 );
	glActiveTexture( GL_TEXTURE0 );
}

GLenum GLTest::DrainErrors()
{
	GLenum first = glGetError();
	for( int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i )
	{
	}
	return first;
}

RenderTarget::RenderTarget( int width, int height ) :
	width( width ),
	height( height )
{
	glGenTextures( 1, &texture );
	glBindTexture( GL_TEXTURE_2D, texture );
	glTexImage2D( GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr );
	glBindTexture( GL_TEXTURE_2D, 0 );
	glGenFramebuffers( 1, &framebuffer );
	Bind();
	glFramebufferTexture2D( GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0 );
	EXPECT_EQ( glCheckFramebufferStatus( GL_FRAMEBUFFER ), static_cast< GLenum >( GL_FRAMEBUFFER_COMPLETE ) );
}

RenderTarget::~RenderTarget()
{
	glDeleteFramebuffers( 1, &framebuffer );
	glDeleteTextures( 1, &texture );
}

void RenderTarget::Bind() const
{
	glBindFramebuffer( GL_FRAMEBUFFER, framebuffer );
	glViewport( 0, 0, width, height );
}

void RenderTarget::Clear( float r, float g, float b, float a ) const
{
	glClearColor( r, g, b, a );
	glClear( GL_COLOR_BUFFER_BIT );
}

Pixel RenderTarget::Read( int x, int y ) const
{
	unsigned char rgba[ 4 ] = {};
	GLint previousRead = GetInteger( GL_READ_FRAMEBUFFER_BINDING );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, framebuffer );
	glReadPixels( x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba );
	glBindFramebuffer( GL_READ_FRAMEBUFFER, static_cast< GLuint >( previousRead ) );
	return { rgba[ 0 ], rgba[ 1 ], rgba[ 2 ], rgba[ 3 ] };
}

GLuint BuildRawProgram( const char* vertex, const char* fragment )
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
		glDeleteShader( shader );// freed with the program
	}
	glLinkProgram( program );
	GLint linked = 0;
	glGetProgramiv( program, GL_LINK_STATUS, &linked );
	EXPECT_EQ( linked, GL_TRUE );
	return program;
}

std::string RawCompileLog( GLenum type, const char* source )
{
	GLuint shader = glCreateShader( type );
	glShaderSource( shader, 1, &source, nullptr );
	glCompileShader( shader );
	GLint length = 0;
	glGetShaderiv( shader, GL_INFO_LOG_LENGTH, &length );
	std::vector< char > log( static_cast< size_t >( length ) + 1, '\0' );
	glGetShaderInfoLog( shader, length, nullptr, log.data() );
	glDeleteShader( shader );
	return log.data();
}

GLint GetInteger( GLenum name )
{
	GLint value = -1;
	glGetIntegerv( name, &value );
	return value;
}

StdoutCapture::StdoutCapture()
{
	fflush( stdout );
	::testing::internal::CaptureStdout();
}

std::string StdoutCapture::Finish()
{
	if( finished )
		return {};
	finished = true;
	fflush( stdout );
	return ::testing::internal::GetCapturedStdout();
}
}// namespace ffglex_test

#include "TrivialPass.h"

#include "Error.h"

#include <GL/glcorearb.h>

#include <string>

namespace plughost
{
namespace
{
const char* const vertexCode_ = R"(#version 410 core
layout( location = 0 ) in vec3 position;
layout( location = 1 ) in vec2 texCoord;
out vec2 uv;
void main() { gl_Position = vec4( position, 1.0 ); uv = texCoord; }
)";
const char* const fragmentCode_ = R"(#version 410 core
in vec2 uv;
out vec4 fragColor;
void main() { fragColor = vec4( uv, 0.5, 1.0 ); }
)";

// Two triangles over the whole viewport, five floats a vertex: x y z u v.
const float quad_[] = {
	-1, -1, 0, 0, 0, 1, -1, 0, 1, 0, 1, 1, 0, 1, 1,
	-1, -1, 0, 0, 0, 1, 1,  0, 1, 1, -1, 1, 0, 0, 1,
};

GLuint CompileStage( GLenum stage, const char* code )
{
	const GLuint shader = glCreateShader( stage );
	glShaderSource( shader, 1, &code, nullptr );
	glCompileShader( shader );
	GLint ok = GL_FALSE;
	glGetShaderiv( shader, GL_COMPILE_STATUS, &ok );
	if( ok != GL_TRUE )
	{
		glDeleteShader( shader );
		return 0;
	}
	return shader;
}
}// namespace

TrivialPass::TrivialPass()
{
	const GLuint vertex = CompileStage( GL_VERTEX_SHADER, vertexCode_ );
	const GLuint fragment = CompileStage( GL_FRAGMENT_SHADER, fragmentCode_ );
	GLint linked = GL_FALSE;
	if( vertex != 0 && fragment != 0 )
	{
		program = glCreateProgram();
		glAttachShader( program, vertex );
		glAttachShader( program, fragment );
		glLinkProgram( program );
		glGetProgramiv( program, GL_LINK_STATUS, &linked );
		glDetachShader( program, vertex );
		glDetachShader( program, fragment );
	}
	glDeleteShader( vertex );
	glDeleteShader( fragment );
	if( linked != GL_TRUE )
	{
		Release();
		throw Error( "the trivial pass's program failed to build" );
	}

	glGenVertexArrays( 1, &vertexArray );
	glBindVertexArray( vertexArray );
	glGenBuffers( 1, &buffer );
	glBindBuffer( GL_ARRAY_BUFFER, buffer );
	glBufferData( GL_ARRAY_BUFFER, sizeof quad_, quad_, GL_STATIC_DRAW );
	constexpr GLsizei stride = 5 * sizeof( float );
	glEnableVertexAttribArray( 0 );
	glVertexAttribPointer( 0, 3, GL_FLOAT, GL_FALSE, stride, nullptr );
	glEnableVertexAttribArray( 1 );
	glVertexAttribPointer( 1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast< const void* >( 3 * sizeof( float ) ) );
	glBindVertexArray( 0 );
	glBindBuffer( GL_ARRAY_BUFFER, 0 );
}

TrivialPass::~TrivialPass()
{
	Release();
}

void TrivialPass::Release() noexcept
{
	if( buffer != 0 )
		glDeleteBuffers( 1, &buffer );
	if( vertexArray != 0 )
		glDeleteVertexArrays( 1, &vertexArray );
	if( program != 0 )
		glDeleteProgram( program );
	buffer = vertexArray = program = 0;
}

void TrivialPass::Draw() const
{
	glUseProgram( program );
	glBindVertexArray( vertexArray );
	glDrawArrays( GL_TRIANGLES, 0, 6 );
	glBindVertexArray( 0 );
	glUseProgram( 0 );
}
}// namespace plughost

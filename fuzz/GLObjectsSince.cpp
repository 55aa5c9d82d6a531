#include "GLObjectsSince.h"

namespace glcensus
{
namespace
{
struct Kind
{
	const char* name;
	GLuint ( *probe )();// a fresh name, already given back
	bool ( *alive )( GLuint );
};

template< void ( *Gen )( GLsizei, GLuint* ), void ( *Delete )( GLsizei, const GLuint* ) >
GLuint Probe()
{
	GLuint name = 0;
	Gen( 1, &name );
	Delete( 1, &name );
	return name;
}

// Shaders and programs share one namespace.
GLuint ProbeShaderName()
{
	GLuint name = glCreateShader( GL_VERTEX_SHADER );
	glDeleteShader( name );
	return name;
}

const Kind kinds_[ GLObjectsSince::kKinds ] = {
	{ "texture", Probe< glGenTextures, glDeleteTextures >, []( GLuint n ) { return glIsTexture( n ) == GL_TRUE; } },
	{ "buffer", Probe< glGenBuffers, glDeleteBuffers >, []( GLuint n ) { return glIsBuffer( n ) == GL_TRUE; } },
	{ "vertex array", Probe< glGenVertexArrays, glDeleteVertexArrays >, []( GLuint n ) { return glIsVertexArray( n ) == GL_TRUE; } },
	{ "framebuffer", Probe< glGenFramebuffers, glDeleteFramebuffers >, []( GLuint n ) { return glIsFramebuffer( n ) == GL_TRUE; } },
	{ "renderbuffer", Probe< glGenRenderbuffers, glDeleteRenderbuffers >, []( GLuint n ) { return glIsRenderbuffer( n ) == GL_TRUE; } },
	{ "sampler", Probe< glGenSamplers, glDeleteSamplers >, []( GLuint n ) { return glIsSampler( n ) == GL_TRUE; } },
	{ "query", Probe< glGenQueries, glDeleteQueries >, []( GLuint n ) { return glIsQuery( n ) == GL_TRUE; } },
	{ "program pipeline", Probe< glGenProgramPipelines, glDeleteProgramPipelines >, []( GLuint n ) { return glIsProgramPipeline( n ) == GL_TRUE; } },
	{ "transform feedback", Probe< glGenTransformFeedbacks, glDeleteTransformFeedbacks >, []( GLuint n ) { return glIsTransformFeedback( n ) == GL_TRUE; } },
	{ "shader or program", ProbeShaderName, []( GLuint n ) { return glIsShader( n ) == GL_TRUE || glIsProgram( n ) == GL_TRUE; } },
};
}// namespace

GLObjectsSince::GLObjectsSince()
{
	for( int k = 0; k < kKinds; ++k )
		mark[ k ] = kinds_[ k ].probe();
}

std::vector< std::string > GLObjectsSince::Alive() const
{
	std::vector< std::string > alive;
	for( int k = 0; k < kKinds; ++k )
	{
		const GLuint end = kinds_[ k ].probe();
		for( GLuint name = mark[ k ] + 1; name < end; ++name )
			if( kinds_[ k ].alive( name ) )
				alive.push_back( std::string( kinds_[ k ].name ) + " " + std::to_string( name ) );
	}
	return alive;
}

std::string Describe( const std::vector< std::string >& alive )
{
	std::string text;
	for( const std::string& entry : alive )
		text += ( text.empty() ? "" : ", " ) + entry;
	return text.empty() ? "none" : text;
}
}// namespace glcensus

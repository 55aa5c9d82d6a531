#include "GLCensus.h"

#include <GL/glcorearb.h>

#include <algorithm>
#include <iterator>

namespace plughost
{
namespace
{
// A runaway plug-in could hand out names by the million; past this many per
// kind the census stops asking rather than stall the caller.
constexpr GLuint kMaxScan = 1u << 22;

struct KindInfo
{
	const char* singular;
	const char* plural;
	GLboolean ( *is )( GLuint );
	GLuint ( *next )();// a name never handed out before, left unused
};

template< void ( *Gen )( GLsizei, GLuint* ), void ( *Delete )( GLsizei, const GLuint* ) >
GLuint NextGenerated()
{
	GLuint name = 0;
	Gen( 1, &name );
	Delete( 1, &name );
	return name;
}

GLuint NextProgram()
{
	const GLuint name = glCreateProgram();
	glDeleteProgram( name );
	return name;
}

GLuint NextShader()
{
	const GLuint name = glCreateShader( GL_VERTEX_SHADER );
	glDeleteShader( name );
	return name;
}

const KindInfo kKinds[ kGLObjectKinds ] = {
	{ "texture", "textures", glIsTexture, NextGenerated< glGenTextures, glDeleteTextures > },
	{ "buffer", "buffers", glIsBuffer, NextGenerated< glGenBuffers, glDeleteBuffers > },
	{ "framebuffer", "framebuffers", glIsFramebuffer, NextGenerated< glGenFramebuffers, glDeleteFramebuffers > },
	{ "renderbuffer", "renderbuffers", glIsRenderbuffer, NextGenerated< glGenRenderbuffers, glDeleteRenderbuffers > },
	{ "vertex array", "vertex arrays", glIsVertexArray, NextGenerated< glGenVertexArrays, glDeleteVertexArrays > },
	{ "program", "programs", glIsProgram, NextProgram },
	{ "shader", "shaders", glIsShader, NextShader },
	{ "sampler", "samplers", glIsSampler, NextGenerated< glGenSamplers, glDeleteSamplers > },
	{ "query", "queries", glIsQuery, NextGenerated< glGenQueries, glDeleteQueries > },
	{ "transform feedback", "transform feedbacks", glIsTransformFeedback,
	  NextGenerated< glGenTransformFeedbacks, glDeleteTransformFeedbacks > },
	{ "program pipeline", "program pipelines", glIsProgramPipeline,
	  NextGenerated< glGenProgramPipelines, glDeleteProgramPipelines > },
};
}// namespace

std::string GLObjectKindName( GLObjectKind kind, std::size_t count )
{
	const KindInfo& info = kKinds[ static_cast< std::size_t >( kind ) ];
	return count == 1 ? info.singular : info.plural;
}

GLCensus GLCensus::Take()
{
	GLCensus census;
	for( std::size_t k = 0; k < kGLObjectKinds; ++k )
	{
		// Programs and shaders share one name space; either probe bounds both.
		const GLuint next = std::min( kKinds[ k ].next(), kMaxScan );
		for( GLuint name = 1; name < next; ++name )
			if( kKinds[ k ].is( name ) )
				census.names[ k ].push_back( name );
	}
	return census;
}

std::size_t GLCensus::Total() const
{
	std::size_t total = 0;
	for( const auto& list : names )
		total += list.size();
	return total;
}

GLCensus GLCensus::Since( const GLCensus& earlier ) const
{
	GLCensus added;
	for( std::size_t k = 0; k < kGLObjectKinds; ++k )
		std::set_difference( names[ k ].begin(), names[ k ].end(), earlier.names[ k ].begin(), earlier.names[ k ].end(),
							 std::back_inserter( added.names[ k ] ) );
	return added;
}

std::string GLCensus::Describe( std::size_t maxNames ) const
{
	std::string text;
	for( std::size_t k = 0; k < kGLObjectKinds; ++k )
	{
		const auto& list = names[ k ];
		if( list.empty() )
			continue;
		text += text.empty() ? "" : ", ";
		text += std::to_string( list.size() ) + " " + GLObjectKindName( static_cast< GLObjectKind >( k ), list.size() ) + " (";
		for( std::size_t i = 0; i < list.size() && i < maxNames; ++i )
			text += ( i ? ", " : "" ) + std::to_string( list[ i ] );
		text += list.size() > maxNames ? ", ...)" : ")";
	}
	return text.empty() ? "none" : text;
}
}// namespace plughost

#include "FFGLShader.h"

#include <cassert>
#include <utility>
#include <vector>
#include "FFGLLogging.h"

namespace ffglex
{
namespace
{
bool HasText( const char* text )
{
	return text != nullptr && text[ 0 ] != '\0';
}
}// namespace

FFGLShader::FFGLShader() :
	vertexShaderID( 0 ),
	geometryShaderID( 0 ),
	fragmentShaderID( 0 ),
	programID( 0 )
{
}

FFGLShader::FFGLShader( FFGLShader&& other ) noexcept :
	vertexShaderID( std::exchange( other.vertexShaderID, 0 ) ),
	geometryShaderID( std::exchange( other.geometryShaderID, 0 ) ),
	fragmentShaderID( std::exchange( other.fragmentShaderID, 0 ) ),
	programID( std::exchange( other.programID, 0 ) ),
	transformFeedbackVaryings( std::exchange( other.transformFeedbackVaryings, {} ) )
{
}

FFGLShader& FFGLShader::operator=( FFGLShader&& other ) noexcept
{
	if( this != &other )
	{
		assert( vertexShaderID == 0 && geometryShaderID == 0 && fragmentShaderID == 0 && programID == 0 );
		vertexShaderID = std::exchange( other.vertexShaderID, 0 );
		geometryShaderID = std::exchange( other.geometryShaderID, 0 );
		fragmentShaderID = std::exchange( other.fragmentShaderID, 0 );
		programID = std::exchange( other.programID, 0 );
		transformFeedbackVaryings = std::exchange( other.transformFeedbackVaryings, {} );
	}
	return *this;
}

FFGLShader::~FFGLShader()
{
	// GL objects can only be freed with the owner's context current, which a
	// destructor cannot count on: the owner must have freed them already.
	assert( vertexShaderID == 0 );
	assert( geometryShaderID == 0 );
	assert( fragmentShaderID == 0 );
	assert( programID == 0 );
}

bool FFGLShader::Compile( const char* vertexShader, const char* fragmentShader )
{
	return Compile( vertexShader, nullptr, fragmentShader );
}

bool FFGLShader::Compile( const std::string& vertexShader, const std::string& fragmentShader )
{
	return Compile( vertexShader.c_str(), fragmentShader.c_str() );
}

bool FFGLShader::Compile( const char* vertexShader, const char* geometryShader, const char* fragmentShader )
{
	if( !HasText( vertexShader ) )
		return false;
	// Only a transform-feedback program has a use without a fragment stage.
	if( !HasText( fragmentShader ) && transformFeedbackVaryings.empty() )
		return false;

	// Names from an earlier Compile would otherwise be overwritten and leak.
	FreeGLResources();

	bool built = CompileVertexShader( vertexShader );
	if( built && HasText( geometryShader ) )
		built = CompileGeometryShader( geometryShader );
	if( built && HasText( fragmentShader ) )
		built = CompileFragmentShader( fragmentShader );
	if( built )
		built = LinkProgram();
	if( !built )
		FreeGLResources();
	return built;
}

bool FFGLShader::CompileVertexShader( const char* source )
{
	return CompileStage( GL_VERTEX_SHADER, source, vertexShaderID, "Vertex Shader error: " );
}

bool FFGLShader::CompileGeometryShader( const char* source )
{
	return CompileStage( GL_GEOMETRY_SHADER, source, geometryShaderID, "Geometry Shader error: " );
}

bool FFGLShader::CompileFragmentShader( const char* source )
{
	return CompileStage( GL_FRAGMENT_SHADER, source, fragmentShaderID, "Fragment Shader error: " );
}

bool FFGLShader::CompileStage( GLenum type, const char* source, GLuint& shader, const char* errorPrefix )
{
	if( source == nullptr )
		source = "";
	if( shader != 0 )
		glDeleteShader( shader );
	shader = glCreateShader( type );
	glShaderSource( shader, 1, &source, nullptr );
	glCompileShader( shader );

	// Starts at 0 so that a failed query counts as a failed compile.
	GLint status = 0;
	glGetShaderiv( shader, GL_COMPILE_STATUS, &status );
	if( status != GL_TRUE )
	{
		GLint length = 0;
		glGetShaderiv( shader, GL_INFO_LOG_LENGTH, &length );
		if( length < 0 )
			length = 0;
		std::vector< char > log( static_cast< size_t >( length ) + 1, '\0' );
		glGetShaderInfoLog( shader, length, nullptr, log.data() );
		log.back() = '\0';
		Log( errorPrefix, log.data() );
	}
	return status == GL_TRUE;
}

bool FFGLShader::LinkProgram()
{
	if( programID != 0 )
		glDeleteProgram( programID );
	programID = glCreateProgram();
	glAttachShader( programID, vertexShaderID );
	if( geometryShaderID != 0 )
		glAttachShader( programID, geometryShaderID );
	if( fragmentShaderID != 0 )
		glAttachShader( programID, fragmentShaderID );

	if( !transformFeedbackVaryings.empty() )
	{
		std::vector< const char* > names;
		names.reserve( transformFeedbackVaryings.size() );
		for( const std::string& name : transformFeedbackVaryings )
			names.push_back( name.c_str() );
		glTransformFeedbackVaryings( programID, static_cast< GLsizei >( names.size() ), names.data(), GL_INTERLEAVED_ATTRIBS );
	}

	GLint status = 0;
	glLinkProgram( programID );
	glGetProgramiv( programID, GL_LINK_STATUS, &status );
	if( status != GL_TRUE )
	{
		char log[ 1024 ] = {};
		GLsizei length = 0;
		glGetProgramInfoLog( programID, sizeof log - 1, &length, log );
		if( length < 0 || length > static_cast< GLsizei >( sizeof log - 1 ) )
			length = 0;
		log[ length ] = '\0';
		// Link failures are reported under the fragment prefix on purpose:
		// hosts' users already look for that line.
		Log( "Fragment Shader error: ", log );
	}
	return status == GL_TRUE;
}

void FFGLShader::FreeGLResources()
{
	if( vertexShaderID != 0 )
	{
		glDeleteShader( vertexShaderID );
		vertexShaderID = 0;
	}
	if( fragmentShaderID != 0 )
	{
		glDeleteShader( fragmentShaderID );
		fragmentShaderID = 0;
	}
	if( geometryShaderID != 0 )
	{
		glDeleteShader( geometryShaderID );
		geometryShaderID = 0;
	}
	if( programID != 0 )
	{
		glDeleteProgram( programID );
		programID = 0;
	}
}

void FFGLShader::AddTransformFeedbackVarying( const char* name )
{
	if( name != nullptr )
		transformFeedbackVaryings.emplace_back( name );
}

void FFGLShader::AddTransformFeedbackVarying( const std::string& name )
{
	transformFeedbackVaryings.push_back( name );
}

GLint FFGLShader::FindUniform( const char* name ) const
{
	if( name == nullptr )
		return -1;
	return glGetUniformLocation( programID, name );
}

void FFGLShader::Set( const char* name, float value )
{
	glUniform1f( FindUniform( name ), value );
}

void FFGLShader::Set( const char* name, float x, float y )
{
	glUniform2f( FindUniform( name ), x, y );
}

void FFGLShader::Set( const char* name, float x, float y, float z )
{
	glUniform3f( FindUniform( name ), x, y, z );
}

void FFGLShader::Set( const char* name, float x, float y, float z, float w )
{
	glUniform4f( FindUniform( name ), x, y, z, w );
}

void FFGLShader::Set( const char* name, int value )
{
	glUniform1i( FindUniform( name ), value );
}
}// namespace ffglex

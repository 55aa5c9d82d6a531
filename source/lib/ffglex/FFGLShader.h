// A GLSL program object built from a vertex, an optional geometry and an
// optional fragment stage. GL objects are created by Compile and freed by
// FreeGLResources, both with the owner's context current; the destructor
// makes no GL call and only checks that they were freed.
#pragma once

#include <string>
#include <vector>
#include "FFGLGL.h"

namespace ffglex
{
class FFGLShader
{
public:
	FFGLShader();
	~FFGLShader();
	FFGLShader( const FFGLShader& ) = delete;
	FFGLShader& operator=( const FFGLShader& ) = delete;
	// Hands the GL objects and the varyings over and leaves the source empty.
	// The target of a move assignment must hold no GL objects (freed), as
	// for destruction.
	FFGLShader( FFGLShader&& other ) noexcept;
	FFGLShader& operator=( FFGLShader&& other ) noexcept;

	// Vertex and fragment stage. The fragment text may be missing only when
	// transform-feedback varyings have been added. Any program held from an
	// earlier Compile is freed first.
	bool Compile( const char* vertexShader, const char* fragmentShader );
	bool Compile( const std::string& vertexShader, const std::string& fragmentShader );
	// Three stages; a missing or empty geometry text leaves that stage out.
	bool Compile( const char* vertexShader, const char* geometryShader, const char* fragmentShader );

	bool CompileVertexShader( const char* source );
	bool CompileGeometryShader( const char* source );
	bool CompileFragmentShader( const char* source );
	bool LinkProgram();
	void FreeGLResources();

	// Captured interleaved into one buffer; takes effect at the next link.
	// The name is copied; a null name is ignored.
	void AddTransformFeedbackVarying( const char* name );
	void AddTransformFeedbackVarying( const std::string& name );

	// -1 when the program has no active uniform of that name.
	GLint FindUniform( const char* name ) const;
	// The setters act on the program currently in use: bind it first.
	void Set( const char* name, float value );
	void Set( const char* name, float x, float y );
	void Set( const char* name, float x, float y, float z );
	void Set( const char* name, float x, float y, float z, float w );
	void Set( const char* name, int value );

	bool IsReady() const { return programID != 0; }
	GLuint GetGLID() const { return programID; }
	GLuint GetVertexShaderID() const { return vertexShaderID; }
	GLuint GetGeometryShaderID() const { return geometryShaderID; }
	GLuint GetFragmentShaderID() const { return fragmentShaderID; }

private:
	bool CompileStage( GLenum type, const char* source, GLuint& shader, const char* errorPrefix );

	GLuint vertexShaderID;
	GLuint geometryShaderID;
	GLuint fragmentShaderID;
	GLuint programID;
	std::vector< std::string > transformFeedbackVaryings;
};
}// namespace ffglex

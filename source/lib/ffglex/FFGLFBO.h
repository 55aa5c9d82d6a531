// An off-screen render target: a framebuffer with a colour texture on
// attachment 0 and a depth renderbuffer, all of one size. The owner calls
// Release with the context current; destruction frees nothing.
#pragma once

#include "FFGLGL.h"
#include "../ffgl/FFGL.h"

namespace ffglex
{
class FFGLFBO
{
public:
	FFGLFBO() = default;
	// A copy would delete the same GL objects twice. A move hands them over
	// and leaves the source empty; the target of a move assignment must be
	// empty (released) already, since freeing needs the context current.
	FFGLFBO( const FFGLFBO& ) = delete;
	FFGLFBO& operator=( const FFGLFBO& ) = delete;
	FFGLFBO( FFGLFBO&& other ) noexcept;
	FFGLFBO& operator=( FFGLFBO&& other ) noexcept;

	// Creates and attaches everything, leaving the caller's framebuffer
	// bindings as they were. Refused while already initialised; to change
	// size or format, Release first.
	bool Initialise( GLsizei width, GLsizei height, GLint internalFormat = GL_RGBA8 );
	bool GenerateFBO();
	bool GenerateDepthBuffer();
	bool GenerateColorTexture();
	// Deletes whatever exists and zeroes the size; may be called repeatedly.
	void Release();

	// Viewport at the origin with this target's size.
	void ResizeViewPort() const;

	GLsizei GetWidth() const { return width; }
	GLsizei GetHeight() const { return height; }
	GLuint GetGLID() const { return fboID; }
	FFGLTextureStruct GetTextureInfo() const;

private:
	GLsizei width = 0;
	GLsizei height = 0;
	GLint colorInternalFormat = 0;
	GLuint fboID = 0;
	GLuint depthBufferID = 0;
	GLuint colorTextureID = 0;
};
}// namespace ffglex

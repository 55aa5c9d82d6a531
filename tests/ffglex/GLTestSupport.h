// Shared by the toolkit's GL tests: one headless context for the whole run,
// and a small RGBA8 render target built with raw GL so that the toolkit is
// never used to check itself.
#pragma once

#include <gtest/gtest.h>
#include <array>
#include <string>
#include "ffglex/FFGLGL.h"

namespace ffglex_test
{
using Pixel = std::array< int, 4 >;

// Every GL test derives from this; it fails the test when GL reports an
// error that the test did not drain on purpose.
class GLTest : public ::testing::Test
{
protected:
	void SetUp() override;
	void TearDown() override;
	// Clears GL's error flags; returns the first one.
	static GLenum DrainErrors();
};

// A framebuffer with one RGBA8 colour texture; binds itself and sets the
// viewport when constructed, deletes everything when destroyed.
class RenderTarget
{
public:
	RenderTarget( int width, int height );
	~RenderTarget();
	RenderTarget( const RenderTarget& ) = delete;
	RenderTarget& operator=( const RenderTarget& ) = delete;

	void Bind() const;
	void Clear( float r, float g, float b, float a ) const;
	Pixel Read( int x, int y ) const;
	GLuint Framebuffer() const { return framebuffer; }

private:
	int width;
	int height;
	GLuint framebuffer = 0;
	GLuint texture = 0;
};

// A program from raw GL; the source of truth for what a working program is.
GLuint BuildRawProgram( const char* vertex, const char* fragment );
// The info log GL gives for this shader source, compiled independently.
std::string RawCompileLog( GLenum type, const char* source );

GLint GetInteger( GLenum name );

// Captures what the process writes to standard output while alive.
class StdoutCapture
{
public:
	StdoutCapture();
	~StdoutCapture() { Finish(); }
	StdoutCapture( const StdoutCapture& ) = delete;
	StdoutCapture& operator=( const StdoutCapture& ) = delete;
	std::string Finish();

private:
	bool finished = false;
};

// Position at 0, texture coordinate at 1: the quad's attribute contract.
extern const char* const passThroughVertex;
// Writes the interpolated texture coordinate as red and green.
extern const char* const texCoordFragment;
}// namespace ffglex_test

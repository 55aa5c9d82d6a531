// A headless OpenGL 4.1 core context on Mesa's surfaceless EGL platform.
// No window and no display: frames are drawn into framebuffer objects.
#pragma once

#include <EGL/egl.h>
#include <string>

namespace plughost
{
class GLContext
{
public:
	// Creates the context and makes it current on this thread; throws
	// std::runtime_error with a readable reason when that is not possible.
	// With `share`, the two contexts share textures, buffers and syncs.
	GLContext( int major = 4, int minor = 1, EGLContext share = EGL_NO_CONTEXT );
	~GLContext();
	GLContext( const GLContext& ) = delete;
	GLContext& operator=( const GLContext& ) = delete;

	void MakeCurrent();
	EGLDisplay Display() const { return display; }
	EGLContext Handle() const { return context; }
	std::string Renderer() const;
	std::string Version() const;

private:
	EGLDisplay display = EGL_NO_DISPLAY;
	EGLContext context = EGL_NO_CONTEXT;
};
}// namespace plughost

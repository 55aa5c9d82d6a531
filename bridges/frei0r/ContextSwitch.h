// Makes an instance's own EGL context current on the calling thread for the
// length of one call, and puts back whatever the host had current there:
// its EGL context with draw and read surfaces and the bound client API, or
// its GLX context and drawables. Nothing of the host's context is touched
// but its binding to the thread, so none of its GL state changes.
#pragma once

#include <EGL/egl.h>

namespace ffglfrei0r
{
class ContextSwitch
{
public:
	// `ours` may be EGL_NO_CONTEXT: then the host's context is only set
	// aside (for making a new context, which binds itself).
	ContextSwitch( EGLDisplay display, EGLContext ours );
	~ContextSwitch();
	ContextSwitch( const ContextSwitch& )            = delete;
	ContextSwitch& operator=( const ContextSwitch& ) = delete;

	// False when our context could not be made current.
	bool Active() const { return active; }

private:
	EGLenum api          = EGL_OPENGL_ES_API;
	EGLDisplay display   = EGL_NO_DISPLAY;
	EGLDisplay hostDisplay = EGL_NO_DISPLAY;
	EGLSurface hostDraw  = EGL_NO_SURFACE;
	EGLSurface hostRead  = EGL_NO_SURFACE;
	EGLContext hostContext = EGL_NO_CONTEXT;
	void* glxDisplay     = nullptr;
	unsigned long glxDraw = 0;
	unsigned long glxRead = 0;
	void* glxContext     = nullptr;
	bool active          = false;
};
}// namespace ffglfrei0r

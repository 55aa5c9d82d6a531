#include "GLContext.h"

#include <EGL/eglext.h>
#include <GL/glcorearb.h>
#include <cstdio>
#include <mutex>
#include <set>
#include <stdexcept>

namespace plughost
{
namespace
{
std::string EglError( const char* what )
{
	char code[ 16 ];
	snprintf( code, sizeof code, "0x%04X", eglGetError() );
	return std::string( what ) + " failed (EGL error " + code + ")";
}

// Every context shares the one surfaceless display. It stays initialised
// for the life of the process: eglTerminate is not counted, so one context
// ending would pull the display from under the others, and terminating makes
// Mesa unload its driver while driver state may still be referenced.
bool AcquireDisplay( EGLDisplay display )
{
	static std::mutex mutex;
	static std::set< EGLDisplay > initialised;
	std::lock_guard< std::mutex > lock( mutex );
	if( initialised.count( display ) != 0 )
		return true;
	if( !eglInitialize( display, nullptr, nullptr ) )
		return false;
	initialised.insert( display );
	return true;
}
}// namespace

GLContext::GLContext( int major, int minor, EGLContext share )
{
	auto getPlatformDisplay = reinterpret_cast< PFNEGLGETPLATFORMDISPLAYEXTPROC >( eglGetProcAddress( "eglGetPlatformDisplayEXT" ) );
	if( getPlatformDisplay == nullptr )
		throw std::runtime_error( "EGL lacks eglGetPlatformDisplayEXT; is Mesa's EGL installed?" );
	display = getPlatformDisplay( EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr );
	if( display == EGL_NO_DISPLAY )
		throw std::runtime_error( EglError( "eglGetPlatformDisplayEXT(surfaceless)" ) );
	if( !AcquireDisplay( display ) )
		throw std::runtime_error( EglError( "eglInitialize" ) );
	if( !eglBindAPI( EGL_OPENGL_API ) )
	{
		throw std::runtime_error( EglError( "eglBindAPI(OpenGL)" ) );
	}
	const EGLint attributes[] = {
		EGL_CONTEXT_MAJOR_VERSION, major,
		EGL_CONTEXT_MINOR_VERSION, minor,
		EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
		EGL_NONE
	};
	context = eglCreateContext( display, EGL_NO_CONFIG_KHR, share, attributes );
	if( context == EGL_NO_CONTEXT )
	{
		throw std::runtime_error( EglError( "eglCreateContext(OpenGL core)" ) );
	}
	try
	{
		MakeCurrent();
	}
	catch( ... )
	{
		eglDestroyContext( display, context );
		throw;
	}
}

GLContext::~GLContext()
{
	// Only release the thread's binding if it is this context.
	if( eglGetCurrentContext() == context )
		eglMakeCurrent( display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT );
	eglDestroyContext( display, context );
}

void GLContext::MakeCurrent()
{
	if( !eglMakeCurrent( display, EGL_NO_SURFACE, EGL_NO_SURFACE, context ) )
		throw std::runtime_error( EglError( "eglMakeCurrent" ) );
}

std::string GLContext::Renderer() const
{
	const GLubyte* text = glGetString( GL_RENDERER );
	return text ? reinterpret_cast< const char* >( text ) : "";
}

std::string GLContext::Version() const
{
	const GLubyte* text = glGetString( GL_VERSION );
	return text ? reinterpret_cast< const char* >( text ) : "";
}
}// namespace plughost

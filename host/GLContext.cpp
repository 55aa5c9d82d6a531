#include "GLContext.h"

#include <EGL/eglext.h>
#include <GL/glcorearb.h>
#include <cstdio>
#include <map>
#include <mutex>
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

// Every context shares the one surfaceless display, and eglTerminate is not
// counted: terminate only when the last context using the display goes.
std::mutex& DisplayMutex()
{
	static std::mutex mutex;
	return mutex;
}

std::map< EGLDisplay, int >& DisplayUsers()
{
	static std::map< EGLDisplay, int > users;
	return users;
}

bool AcquireDisplay( EGLDisplay display )
{
	std::lock_guard< std::mutex > lock( DisplayMutex() );
	int& users = DisplayUsers()[ display ];
	if( users == 0 && !eglInitialize( display, nullptr, nullptr ) )
	{
		DisplayUsers().erase( display );
		return false;
	}
	++users;
	return true;
}

void ReleaseDisplay( EGLDisplay display )
{
	std::lock_guard< std::mutex > lock( DisplayMutex() );
	auto found = DisplayUsers().find( display );
	if( found == DisplayUsers().end() )
		return;
	if( --found->second == 0 )
	{
		DisplayUsers().erase( found );
		eglTerminate( display );
	}
}
}// namespace

GLContext::GLContext( int major, int minor )
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
		std::string reason = EglError( "eglBindAPI(OpenGL)" );
		ReleaseDisplay( display );
		throw std::runtime_error( reason );
	}
	const EGLint attributes[] = {
		EGL_CONTEXT_MAJOR_VERSION, major,
		EGL_CONTEXT_MINOR_VERSION, minor,
		EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
		EGL_NONE
	};
	context = eglCreateContext( display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes );
	if( context == EGL_NO_CONTEXT )
	{
		std::string reason = EglError( "eglCreateContext(OpenGL core)" );
		ReleaseDisplay( display );
		throw std::runtime_error( reason );
	}
	try
	{
		MakeCurrent();
	}
	catch( ... )
	{
		eglDestroyContext( display, context );
		ReleaseDisplay( display );
		throw;
	}
}

GLContext::~GLContext()
{
	// Only release the thread's binding if it is this context.
	if( eglGetCurrentContext() == context )
		eglMakeCurrent( display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT );
	eglDestroyContext( display, context );
	ReleaseDisplay( display );
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

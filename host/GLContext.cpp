#include "GLContext.h"

#include <EGL/eglext.h>
#include <GL/glcorearb.h>
#include <cstdio>
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
}// namespace

GLContext::GLContext( int major, int minor )
{
	auto getPlatformDisplay = reinterpret_cast< PFNEGLGETPLATFORMDISPLAYEXTPROC >( eglGetProcAddress( "eglGetPlatformDisplayEXT" ) );
	if( getPlatformDisplay == nullptr )
		throw std::runtime_error( "EGL lacks eglGetPlatformDisplayEXT; is Mesa's EGL installed?" );
	display = getPlatformDisplay( EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr );
	if( display == EGL_NO_DISPLAY )
		throw std::runtime_error( EglError( "eglGetPlatformDisplayEXT(surfaceless)" ) );
	if( !eglInitialize( display, nullptr, nullptr ) )
		throw std::runtime_error( EglError( "eglInitialize" ) );
	if( !eglBindAPI( EGL_OPENGL_API ) )
	{
		eglTerminate( display );
		throw std::runtime_error( EglError( "eglBindAPI(OpenGL)" ) );
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
		eglTerminate( display );
		throw std::runtime_error( reason );
	}
	MakeCurrent();
}

GLContext::~GLContext()
{
	eglMakeCurrent( display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT );
	eglDestroyContext( display, context );
	eglTerminate( display );
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

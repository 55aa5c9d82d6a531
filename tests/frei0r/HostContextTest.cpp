// A host that has its own GL context current on the thread that calls the
// module keeps it: the same context, display, surfaces and client API, and
// the same GL state, after constructing, rendering and destroying.
#include "Frei0rModule.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glcorearb.h>

#include <gtest/gtest.h>

#include <array>
#include <iostream>
#include <vector>

using namespace frei0rtest;

namespace
{
// The host's own: an OpenGL context on a pbuffer of the surfaceless display.
class HostContext
{
public:
	HostContext()
	{
		auto getDisplay = reinterpret_cast< PFNEGLGETPLATFORMDISPLAYEXTPROC >( eglGetProcAddress( "eglGetPlatformDisplayEXT" ) );
		display         = getDisplay( EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr );
		eglInitialize( display, nullptr, nullptr );
		eglBindAPI( EGL_OPENGL_API );
		const EGLint configAttributes[] = { EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
											EGL_RED_SIZE, 8, EGL_NONE };
		EGLConfig config = nullptr;
		EGLint found     = 0;
		if( eglChooseConfig( display, configAttributes, &config, 1, &found ) && found == 1 )
		{
			const EGLint size[] = { EGL_WIDTH, 32, EGL_HEIGHT, 32, EGL_NONE };
			surface             = eglCreatePbufferSurface( display, config, size );
		}
		const EGLint contextAttributes[] = { EGL_CONTEXT_MAJOR_VERSION, 4, EGL_CONTEXT_MINOR_VERSION, 1,
											 EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE };
		context = eglCreateContext( display, surface != EGL_NO_SURFACE ? config : EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT,
									contextAttributes );
		eglMakeCurrent( display, surface, surface, context );
		// The API the host left bound is one more thing to keep.
		eglBindAPI( EGL_OPENGL_ES_API );
	}
	~HostContext()
	{
		eglBindAPI( EGL_OPENGL_API );
		eglMakeCurrent( display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT );
		if( surface != EGL_NO_SURFACE )
			eglDestroySurface( display, surface );
		eglDestroyContext( display, context );
	}
	EGLDisplay display = EGL_NO_DISPLAY;
	EGLSurface surface = EGL_NO_SURFACE;
	EGLContext context = EGL_NO_CONTEXT;
};

struct HostState
{
	EGLContext context;
	EGLDisplay display;
	EGLSurface draw, read;
	EGLenum api;
	GLint framebuffer, program, activeTexture, texture, vertexArray;
	std::array< GLint, 4 > viewport;
	std::array< GLfloat, 4 > clearColour;
	GLboolean blend;

	static HostState Now()
	{
		HostState state{};
		state.context = eglGetCurrentContext();
		state.display = eglGetCurrentDisplay();
		state.draw    = eglGetCurrentSurface( EGL_DRAW );
		state.read    = eglGetCurrentSurface( EGL_READ );
		state.api     = eglQueryAPI();
		glGetIntegerv( GL_DRAW_FRAMEBUFFER_BINDING, &state.framebuffer );
		glGetIntegerv( GL_CURRENT_PROGRAM, &state.program );
		glGetIntegerv( GL_ACTIVE_TEXTURE, &state.activeTexture );
		glGetIntegerv( GL_TEXTURE_BINDING_2D, &state.texture );
		glGetIntegerv( GL_VERTEX_ARRAY_BINDING, &state.vertexArray );
		glGetIntegerv( GL_VIEWPORT, state.viewport.data() );
		glGetFloatv( GL_COLOR_CLEAR_VALUE, state.clearColour.data() );
		state.blend = glIsEnabled( GL_BLEND );
		return state;
	}
	bool operator==( const HostState& o ) const
	{
		return context == o.context && display == o.display && draw == o.draw && read == o.read && api == o.api &&
			   framebuffer == o.framebuffer && program == o.program && activeTexture == o.activeTexture &&
			   texture == o.texture && vertexArray == o.vertexArray && viewport == o.viewport &&
			   clearColour == o.clearColour && blend == o.blend;
	}
};

GLuint Program()
{
	const char* vertex   = "#version 410 core\nvoid main() { gl_Position = vec4( 0.0 ); }\n";
	const char* fragment = "#version 410 core\nout vec4 c;\nvoid main() { c = vec4( 1.0 ); }\n";
	GLuint program       = glCreateProgram();
	for( auto [ type, source ] : { std::pair{ GL_VERTEX_SHADER, vertex }, std::pair{ GL_FRAGMENT_SHADER, fragment } } )
	{
		GLuint shader = glCreateShader( type );
		glShaderSource( shader, 1, &source, nullptr );
		glCompileShader( shader );
		glAttachShader( program, shader );
		glDeleteShader( shader );
	}
	glLinkProgram( program );
	return program;
}
}// namespace

TEST( HostContext, StaysCurrentWithItsSurfacesAndGLStateAcrossBridgedCalls )
{
	Frei0rModule module( MakeModule( PluginPath( "VavoRozar" ), "vavo_rozar_host_context.so" ) );
	ASSERT_EQ( module.init(), 1 );
	HostContext host;
	ASSERT_NE( host.context, EGL_NO_CONTEXT );
	ASSERT_EQ( eglGetCurrentContext(), host.context );

	// Some state of the host's own, none of it the default.
	GLuint texture = 0, framebuffer = 0, vertexArray = 0;
	glGenTextures( 1, &texture );
	glActiveTexture( GL_TEXTURE3 );
	glBindTexture( GL_TEXTURE_2D, texture );
	glTexImage2D( GL_TEXTURE_2D, 0, GL_RGBA8, 8, 8, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr );
	glGenFramebuffers( 1, &framebuffer );
	glBindFramebuffer( GL_FRAMEBUFFER, framebuffer );
	glFramebufferTexture2D( GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0 );
	glGenVertexArrays( 1, &vertexArray );
	glBindVertexArray( vertexArray );
	const GLuint program = Program();
	glUseProgram( program );
	glViewport( 3, 4, 50, 60 );
	glClearColor( 0.1f, 0.2f, 0.3f, 0.4f );
	glEnable( GL_BLEND );
	const HostState before = HostState::Now();
	if( host.surface == EGL_NO_SURFACE )
		std::cerr << "note: no pbuffer config; the host context is surfaceless\n";

	f0r_instance_t instance = module.construct( 64, 48 );
	ASSERT_NE( instance, nullptr );
	EXPECT_TRUE( HostState::Now() == before ) << "after f0r_construct";
	module.SetDouble( instance, 6, 1.0 );
	std::vector< uint32_t > frame( 64 * 48 );
	module.update( instance, 1.0, nullptr, frame.data() );
	EXPECT_TRUE( HostState::Now() == before ) << "after f0r_update";
	EXPECT_NE( frame, std::vector< uint32_t >( 64 * 48, 0 ) ) << "the clock drew nothing";
	EXPECT_EQ( module.GetDouble( instance, 6 ), 1.0 );
	module.destruct( instance );
	EXPECT_TRUE( HostState::Now() == before ) << "after f0r_destruct";
	EXPECT_EQ( glGetError(), static_cast< GLenum >( GL_NO_ERROR ) );

	glUseProgram( 0 );
	glDeleteProgram( program );
	glBindVertexArray( 0 );
	glDeleteVertexArrays( 1, &vertexArray );
	glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	glDeleteFramebuffers( 1, &framebuffer );
	glDeleteTextures( 1, &texture );
	module.deinit();
}

TEST( HostContext, AThreadWithNoContextIsLeftWithNone )
{
	Frei0rModule module( MakeModule( PluginPath( "SineField" ), "sinefield_no_context.so" ) );
	ASSERT_EQ( module.init(), 1 );
	ASSERT_EQ( eglGetCurrentContext(), EGL_NO_CONTEXT );
	const EGLenum api       = eglQueryAPI();
	f0r_instance_t instance = module.construct( 32, 32 );
	ASSERT_NE( instance, nullptr );
	std::vector< uint32_t > frame( 32 * 32 );
	module.update( instance, 0.0, nullptr, frame.data() );
	EXPECT_EQ( eglGetCurrentContext(), EGL_NO_CONTEXT );
	EXPECT_EQ( eglQueryAPI(), api );
	module.destruct( instance );
	EXPECT_EQ( eglGetCurrentContext(), EGL_NO_CONTEXT );
	module.deinit();
}

#include "ContextSwitch.h"

#include <dlfcn.h>
#include <link.h>
#include <mutex>

namespace ffglfrei0r
{
namespace
{
// GLX is looked up, never linked: a host that uses it has loaded libGLX (or
// libGL) already, and one that does not must not get it loaded by us.
struct Glx
{
	using GetContext  = void* (*)();
	using GetDisplay  = void* (*)();
	using GetDrawable = unsigned long (*)();
	using MakeCurrent = int (*)( void*, unsigned long, unsigned long, void* );
	GetContext getContext       = nullptr;
	GetDisplay getDisplay       = nullptr;
	GetDrawable getDrawable     = nullptr;
	GetDrawable getReadDrawable = nullptr;
	MakeCurrent makeCurrent     = nullptr;

	bool Usable() const { return getContext && getDisplay && getDrawable && getReadDrawable && makeCurrent; }
};

void* Find( const char* name )
{
	if( void* symbol = dlsym( RTLD_DEFAULT, name ) )
		return symbol;
	// Loaded privately (RTLD_LOCAL) by some other library of the host.
	for( const char* library : { "libGLX.so.0", "libGL.so.1" } )
		if( void* handle = dlopen( library, RTLD_LAZY | RTLD_NOLOAD ) )
		{
			void* symbol = dlsym( handle, name );
			dlclose( handle );
			if( symbol )
				return symbol;
		}
	return nullptr;
}

Glx LookUpGlx()
{
	Glx glx;
	glx.getContext = reinterpret_cast< Glx::GetContext >( Find( "glXGetCurrentContext" ) );
	if( !glx.getContext )
		return glx;
	glx.getDisplay      = reinterpret_cast< Glx::GetDisplay >( Find( "glXGetCurrentDisplay" ) );
	glx.getDrawable     = reinterpret_cast< Glx::GetDrawable >( Find( "glXGetCurrentDrawable" ) );
	glx.getReadDrawable = reinterpret_cast< Glx::GetDrawable >( Find( "glXGetCurrentReadDrawable" ) );
	glx.makeCurrent     = reinterpret_cast< Glx::MakeCurrent >( Find( "glXMakeContextCurrent" ) );
	return glx;
}

// How many libraries the process has loaded so far (the loader's count).
unsigned long long LibrariesLoaded()
{
	unsigned long long adds = 0;
	dl_iterate_phdr(
		[]( dl_phdr_info* info, size_t, void* data ) {
			*static_cast< unsigned long long* >( data ) = info->dlpi_adds;
			return 1;
		},
		&adds );
	return adds;
}

// A host may load GLX later, so while it is absent it is looked up again,
// but only after a library has been loaded since the last try: a lookup
// opens the loader's cache, which cost a fifth of a frame in hosts that
// never load GLX.
Glx CurrentGlx()
{
	static std::mutex mutex;
	static Glx found;
	static unsigned long long triedAt = ~0ull;
	std::lock_guard< std::mutex > lock( mutex );
	if( !found.Usable() )
	{
		const unsigned long long loaded = LibrariesLoaded();
		if( loaded != triedAt )
		{
			found   = LookUpGlx();
			triedAt = loaded;
		}
	}
	return found;
}
}// namespace

ContextSwitch::ContextSwitch( EGLDisplay ourDisplay, EGLContext ours ) : display( ourDisplay )
{
	api         = eglQueryAPI();
	hostContext = eglGetCurrentContext();
	if( hostContext != EGL_NO_CONTEXT )
	{
		hostDisplay = eglGetCurrentDisplay();
		hostDraw    = eglGetCurrentSurface( EGL_DRAW );
		hostRead    = eglGetCurrentSurface( EGL_READ );
	}
	const Glx glx = CurrentGlx();
	if( glx.Usable() && ( glxContext = glx.getContext() ) != nullptr )
	{
		glxDisplay = glx.getDisplay();
		glxDraw    = glx.getDrawable();
		glxRead    = glx.getReadDrawable();
		// One thread has one current GL context across GLX and EGL.
		glx.makeCurrent( glxDisplay, 0, 0, nullptr );
	}
	eglBindAPI( EGL_OPENGL_API );
	if( ours != EGL_NO_CONTEXT )
		active = eglMakeCurrent( display, EGL_NO_SURFACE, EGL_NO_SURFACE, ours ) == EGL_TRUE;
}

ContextSwitch::~ContextSwitch()
{
	// Ours must leave this thread: the next call may come from another one.
	if( hostContext != EGL_NO_CONTEXT )
	{
		if( !eglMakeCurrent( hostDisplay, hostDraw, hostRead, hostContext ) )
			eglMakeCurrent( hostDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT );
	}
	else if( eglGetCurrentContext() != EGL_NO_CONTEXT )
	{
		EGLDisplay current = eglGetCurrentDisplay();
		eglMakeCurrent( current, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT );
	}
	if( glxContext != nullptr )
		CurrentGlx().makeCurrent( glxDisplay, glxDraw, glxRead, glxContext );
	eglBindAPI( api );
}
}// namespace ffglfrei0r

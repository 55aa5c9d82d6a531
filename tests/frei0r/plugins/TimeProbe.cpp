// A test source that shows the host time it was given: red is time / 10 s,
// clamped to 1, so 2 s reads 51 and a time passed in milliseconds reads 255.
// Built with BAND, it paints only a 4-pixel column of opaque white at
// x = 4 * whole seconds and leaves every other pixel as it finds it.
#include <FFGLSDK.h>

#include <algorithm>

class TimeProbe : public CFFGLPlugin
{
public:
	TimeProbe() : CFFGLPlugin( false )
	{
		SetMinInputs( 0 );
		SetMaxInputs( 0 );
	}

	FFResult ProcessOpenGL( ProcessOpenGLStruct* ) override
	{
#ifdef BAND
		glEnable( GL_SCISSOR_TEST );
		glScissor( 4 * static_cast< GLint >( std::clamp( GetHostTime(), 0.0, 1000.0 ) ), 0, 4, 1 << 14 );
		glClearColor( 1.0f, 1.0f, 1.0f, 1.0f );
		glClear( GL_COLOR_BUFFER_BIT );
		glDisable( GL_SCISSOR_TEST );
		glClearColor( 0.0f, 0.0f, 0.0f, 0.0f );
		return FF_SUCCESS;
#endif
		glClearColor( static_cast< float >( std::min( GetHostTime() / 10.0, 1.0 ) ), 0.0f, 0.0f, 1.0f );
		glClear( GL_COLOR_BUFFER_BIT );
		glClearColor( 0.0f, 0.0f, 0.0f, 0.0f );
		return FF_SUCCESS;
	}
};

#ifdef BAND
static CFFGLPluginInfo PluginInfo( PluginFactory< TimeProbe >, "Tbnd", "Band Probe", 2, 1, 1, 0, FF_SOURCE,
								   "Paints one column where the host time says", "frei0r bridge test" );
#else
static CFFGLPluginInfo PluginInfo( PluginFactory< TimeProbe >, "Ttim", "Time Probe", 2, 1, 1, 0, FF_SOURCE,
								   "Shows the host time as red", "frei0r bridge test" );
#endif

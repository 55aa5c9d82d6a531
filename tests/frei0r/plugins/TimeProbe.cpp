// A test source that shows the host time it was given: red is time / 10 s,
// clamped to 1, so 2 s reads 51 and a time passed in milliseconds reads 255.
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
		glClearColor( static_cast< float >( std::min( GetHostTime() / 10.0, 1.0 ) ), 0.0f, 0.0f, 1.0f );
		glClear( GL_COLOR_BUFFER_BIT );
		glClearColor( 0.0f, 0.0f, 0.0f, 0.0f );
		return FF_SUCCESS;
	}
};

static CFFGLPluginInfo PluginInfo( PluginFactory< TimeProbe >, "Ttim", "Time Probe", 2, 1, 1, 0, FF_SOURCE,
								   "Shows the host time as red", "frei0r bridge test" );

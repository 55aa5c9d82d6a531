// A source that needs a library of its own (Departed.cpp). The test removes
// the library after installing the module, as on a machine that lacks it, so
// the plug-in can no longer be loaded.
#include <FFGLSDK.h>

float DepartedLevel();

class Departing : public ffglqs::Source
{
public:
	Departing()
	{
		SetFragmentShader( "void main() { fragColor = vec4( 1.0 ); }" );
	}
	void Update() override { DepartedLevel(); }
};

static CFFGLPluginInfo PluginInfo( PluginFactory< Departing >, "TDep", "Departing", 2, 1, 1, 0, FF_SOURCE,
                                   "Needs a library that goes away", "Host test plug-in" );

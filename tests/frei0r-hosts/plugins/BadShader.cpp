// A source whose fragment program does not compile, so no instance of it can
// be made: the hosts must report that and stop, not hang or crash.
#include <FFGLSDK.h>

class BadShader : public ffglqs::Source
{
public:
	BadShader()
	{
		SetFragmentShader( "void main() { fragColor = vec4( undeclared, 1.0 ); }" );
	}
};

static CFFGLPluginInfo PluginInfo( PluginFactory< BadShader >, "TBsh", "Bad Shader", 2, 1, 1, 0, FF_SOURCE,
                                   "A fragment program that does not compile", "Host test plug-in" );

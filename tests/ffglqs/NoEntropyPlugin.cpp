// A test-only source whose random generator cannot reach an entropy device,
// to check that the host sees a refused instantiation and nothing else.
#include <FFGLSDK.h>

class NoEntropy : public ffglqs::Source
{
public:
	NoEntropy()
	{
		randomGenerator.Open( "/nonexistent/entropy-device" );
		SetFragmentShader( "void main() { fragColor = vec4( 1.0 ); }" );
	}
};

static CFFGLPluginInfo PluginInfo( PluginFactory< NoEntropy >, "QSne", "NoEntropy", 2, 1, 1, 0, FF_SOURCE,
								   "Test source without entropy", "Test" );

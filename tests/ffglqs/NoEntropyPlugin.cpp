// A test-only source whose random generator cannot reach an entropy device.
#include <FFGLSDK.h>

struct NoEntropy : ffglqs::Source
{
	NoEntropy() { randomGenerator.Open( "/nonexistent/entropy-device" ); }
};

static CFFGLPluginInfo PluginInfo( PluginFactory< NoEntropy >, "QSne", "NoEntropy", 2, 1, 1, 0, FF_SOURCE,
								   "Test source without entropy", "Test" );

// Test plug-ins that fail in the ways a frei0r host must survive, one per
// switch: BAD_SHADER's fragment shader does not compile, so no instance can
// be made; BAD_FRAME instantiates but fails every frame.
#include <FFGLSDK.h>

class BadPlugin : public ffglqs::Source
{
public:
	BadPlugin()
	{
		AddParam( ffglqs::ParamRange::Create( "level", 0.5f, { 0.0f, 1.0f } ) );
#if defined( BAD_SHADER )
		SetFragmentShader( "void main() { fragColor = vec4( undeclared_value ); }" );
#else
		SetFragmentShader( "void main() { fragColor = vec4( level ); }" );
#endif
	}

#if defined( BAD_FRAME )
	FFResult Render( ProcessOpenGLStruct* ) override
	{
		return FF_FAIL;
	}
#endif
};

#if defined( BAD_SHADER )
static CFFGLPluginInfo PluginInfo( PluginFactory< BadPlugin >, "Tbsh", "Bad Shader", 2, 1, 1, 0, FF_SOURCE,
								   "A source whose shader does not compile", "frei0r bridge test" );
#else
static CFFGLPluginInfo PluginInfo( PluginFactory< BadPlugin >, "Tbfr", "Bad Frame", 2, 1, 1, 0, FF_SOURCE,
								   "A source that fails every frame", "frei0r bridge test" );
#endif

#include "CrossFade.h"

// Identity the host reads before any instance exists: factory, ID, name,
// interface version 2.1, plug-in version 1.0, type, description, about.
static CFFGLPluginInfo PluginInfo( PluginFactory< CrossFade >,
                                   "QScf",
                                   "CrossFade",
                                   2,
                                   1,
                                   1,
                                   0,
                                   FF_MIXER,
                                   "Linear fade between two inputs",
                                   "Quick-start example mixer" );

static const char fragmentShaderCode_[] = R"(
void main()
{
	vec4 destination = texture( textureDest, i_uv_dest );
	vec4 source = texture( textureSrc, i_uv_src );
	fragColor = mix( destination, source, mixVal );
}
)";

CrossFade::CrossFade()
{
	// mixVal is already parameter 0 of every mixer.
	SetFragmentShader( fragmentShaderCode_ );
}

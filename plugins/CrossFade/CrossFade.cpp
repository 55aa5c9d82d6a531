#include "CrossFade.h"

static CFFGLPluginInfo PluginInfo(
	PluginFactory< CrossFade >,// Create method
	"QScf",                    // Plugin unique ID of maximum length 4
	"CrossFade",               // Plugin name
	2,                         // API major version number
	1,                         // API minor version number
	1,                         // Plugin major version number
	0,                         // Plugin minor version number
	FF_MIXER,                  // Plugin type
	"Linear fade between two inputs",// Plugin description
	"Quick-start example mixer"       // About
);

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

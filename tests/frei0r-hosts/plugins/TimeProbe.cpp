// Writes the host time it was given into every pixel, so a test reads the
// time a host passed straight from the frame, with no reference render:
// red + 256 * green = the time in hundredths of a second, rounded. Built as
// a source, and with TIME_PROBE_EFFECT as an effect that ignores its input.
#include <FFGLSDK.h>

#include <algorithm>

static const char fragmentShaderCode_[] = R"(
uniform float hostTime;
void main()
{
	float hundredths = floor( hostTime * 100.0 + 0.5 );
	fragColor = vec4( mod( hundredths, 256.0 ) / 255.0, floor( hundredths / 256.0 ) / 255.0, 0.0, 1.0 );
}
)";

#ifdef TIME_PROBE_EFFECT
using Base = ffglqs::Effect;
#else
using Base = ffglqs::Source;
#endif

class TimeProbe : public Base
{
public:
	TimeProbe() { SetFragmentShader( fragmentShaderCode_ ); }
	// Up to 655.35 s fits the two channels.
	void Update() override { shader.Set( "hostTime", static_cast< float >( std::clamp( GetHostTime(), 0.0, 655.35 ) ) ); }
};

#ifdef TIME_PROBE_EFFECT
static CFFGLPluginInfo PluginInfo( PluginFactory< TimeProbe >, "TTpe", "Time Probe Fx", 2, 1, 1, 0, FF_EFFECT,
                                   "Shows the host time as a colour", "Host test plug-in" );
#else
static CFFGLPluginInfo PluginInfo( PluginFactory< TimeProbe >, "TTps", "Time Probe", 2, 1, 1, 0, FF_SOURCE,
                                   "Shows the host time as a colour", "Host test plug-in" );
#endif

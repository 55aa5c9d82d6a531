// RippleRings.fs written by hand on the quick-start framework: the baseline
// an ISF plug-in's frame is measured against.
#include <FFGLSDK.h>

namespace
{
class RingsByHand : public ffglqs::Source
{
public:
	RingsByHand()
	{
		AddParam( ffglqs::ParamRange::Create( "rings", 6.0f, { 1.0f, 20.0f } ) );
		AddParam( ffglqs::ParamRange::Create( "speed", 0.5f, { 0.0f, 4.0f } ) );
		AddParam( ffglqs::ParamRange::Create( "centerX", 0.5f, { 0.0f, 1.0f } ) );
		AddParam( ffglqs::ParamRange::Create( "centerY", 0.5f, { 0.0f, 1.0f } ) );
		AddRGBColorParam( "tint" );
		SetFragmentShader( R"(
void main()
{
	vec2 offset = ( i_uv - vec2( centerX, centerY ) ) * resolution / resolution.y;
	float wave  = 0.5 + 0.5 * cos( 6.2831853 * ( length( offset ) * rings - time * speed ) );
	fragColor   = vec4( tint * wave, 1.0 );
}
)" );
	}
};

CFFGLPluginInfo PluginInfo( PluginFactory< RingsByHand >, "BnRH", "RingsByHand", 2, 1, 1, 0, FF_SOURCE,
							"RippleRings by hand, for the ISF benchmark", "benchmark" );
}// namespace

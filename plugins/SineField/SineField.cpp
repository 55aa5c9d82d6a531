#include "SineField.h"

// Identity the host reads before any instance exists: factory, ID, name,
// interface version 2.1, plug-in version 1.0, type, description, about.
static CFFGLPluginInfo PluginInfo( PluginFactory< SineField >,
                                   "QSsf",
                                   "SineField",
                                   2,
                                   1,
                                   1,
                                   0,
                                   FF_SOURCE,
                                   "Moving sine stripes or rings in one colour",
                                   "Quick-start example source" );

static const char fragmentShaderCode_[] = R"(
void main()
{
	// Stripes run left to right; rings grow from the centre.
	float position = pattern < 0.5 ? i_uv.x : length( i_uv - 0.5 ) * 2.0;
	float wave = 0.5 + 0.5 * sin( 6.2831853 * ( position * bands - time * speed ) );
	// Lift the troughs to `shade` so the dark bands never go fully black.
	float level = map( wave, 0.0, 1.0, shade, 1.0 );
	fragColor = vec4( tint.rgb * level, tint.a );
}
)";

SineField::SineField()
{
	AddHueColorParam( "tint" );
	AddParam( ffglqs::ParamOption::Create( "pattern", { { "Stripes", 0.0f }, { "Rings", 1.0f } } ) );
	AddParam( ffglqs::ParamRange::Create( "speed", 0.5f, { 0.0f, 4.0f } ) );
	AddParam( ffglqs::ParamRange::CreateInteger( "bands", 4, { 1.0f, 16.0f } ) );
	AddParam( ffglqs::ParamRange::Create( "shade", 0.1f, { 0.0f, 1.0f } ) );

	Include( ffglqs::shader::map );
	SetFragmentShader( fragmentShaderCode_ );
}

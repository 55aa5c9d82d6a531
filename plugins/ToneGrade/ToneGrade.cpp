#include "ToneGrade.h"

// Identity the host reads before any instance exists: factory, ID, name,
// interface version 2.1, plug-in version 1.0, type, description, about.
static CFFGLPluginInfo PluginInfo( PluginFactory< ToneGrade >,
                                   "QStg",
                                   "ToneGrade",
                                   2,
                                   1,
                                   1,
                                   0,
                                   FF_EFFECT,
                                   "Gain, contrast and inversion, with a white flash trigger",
                                   "Quick-start example effect" );

static const char fragmentShaderCode_[] = R"(
void main()
{
	vec4 colour = texture( inputTexture, i_uv );
	// Contrast pivots around mid grey, after the gain.
	vec3 graded = ( colour.rgb * gain - 0.5 ) * contrast + 0.5;
	if( invert )
		graded = 1.0 - graded;
	if( flash )
		graded = vec3( 1.0 );
	fragColor = vec4( clamp( graded, 0.0, 1.0 ), colour.a );
}
)";

ToneGrade::ToneGrade()
{
	AddParam( ffglqs::ParamRange::Create( "gain", 1.0f, { 0.0f, 2.0f } ) );
	AddParam( ffglqs::ParamRange::Create( "contrast", 1.0f, { 0.0f, 2.0f } ) );
	AddParam( ffglqs::ParamBool::Create( "invert", false ) );
	AddParam( ffglqs::ParamTrigger::Create( "flash" ) );

	SetFragmentShader( fragmentShaderCode_ );
}

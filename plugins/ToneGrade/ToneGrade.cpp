#include "ToneGrade.h"

static CFFGLPluginInfo PluginInfo(
	PluginFactory< ToneGrade >,// Create method
	"QStg",                    // Plugin unique ID of maximum length 4
	"ToneGrade",               // Plugin name
	2,                         // API major version number
	1,                         // API minor version number
	1,                         // Plugin major version number
	0,                         // Plugin minor version number
	FF_EFFECT,                 // Plugin type
	"Gain, contrast and inversion, with a white flash trigger",// Plugin description
	"Quick-start example effect"                                // About
);

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

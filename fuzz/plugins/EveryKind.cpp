// A quick-start effect with one parameter of every kind the framework has:
// plain, boolean, event, trigger, RGB and hue colour groups, option, range,
// integer, text and a spectrum buffer. Its frame reads the audio levels and
// the random generator, so the fuzzer reaches those too.
#include <FFGLSDK.h>

class EveryKind : public ffglqs::Effect
{
public:
	EveryKind()
	{
		AddParam( ffglqs::Param::Create( "plain", 0.25f ) );
		AddParam( ffglqs::ParamBool::Create( "toggle", true ) );
		AddParam( ffglqs::ParamEvent::Create( "event" ) );
		AddParam( ffglqs::ParamTrigger::Create( "trigger" ) );
		AddRGBColorParam( "tint" );
		AddHueColorParam( "hue" );
		AddParam( ffglqs::ParamOption::Create( "mode", { { "A", 10.0f }, { "B", 20.0f }, { "C", 30.0f } }, 1 ) );
		AddParam( ffglqs::ParamRange::Create( "range", 5.0f, { 0.0f, 10.0f } ) );
		AddParam( ffglqs::ParamRange::CreateInteger( "count", 3, { 1.0f, 8.0f } ) );
		AddParam( ffglqs::ParamText::create( "label", "text" ) );
		AddParam( spectrum );
		Include( { ffglqs::shader::random, ffglqs::shader::map, ffglqs::shader::noise } );
		SetFragmentShader( R"(
uniform float level;
void main()
{
	vec4 colour = texture( inputTexture, i_uv ) * vec4( tint, 1.0 ) * hue;
	float n = random( uvec2( gl_FragCoord.xy ) ) * plain + map( range, 0.0, 10.0, 0.0, 1.0 ) * count;
	if( toggle || event || trigger )
		n += float( mode ) + label;
	fragColor = colour + vec4( n * level * 0.001 );
}
)" );
	}

	void Update() override
	{
		const ffglqs::Audio* audio = GetAudio( spectrum );
		float level = audio ? audio->GetVolume() + audio->GetBass() + audio->GetMed() + audio->GetHigh() : 0.0f;
		level += ffglqs::Audio::ToDB( level ) + randomGenerator.GetRandomFloat( 0.0f, 1.0f );
		shader.Set( "level", level );
	}

private:
	std::shared_ptr< ffglqs::ParamFFT > spectrum = ffglqs::ParamFFT::Create( "spectrum", 16 );
};

static CFFGLPluginInfo PluginInfo( PluginFactory< EveryKind >, "QSek", "EveryKind", 2, 1, 1, 0, FF_EFFECT,
								   "Every parameter kind, for the fuzzer", "Fuzz test plug-in" );

// The quick-start plug-in base: registration, the assembled program text,
// uniforms, colour groups, triggers and the GL lifecycle on a headless context.
#include <gtest/gtest.h>
#include <climits>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <FFGLSDK.h>
#include <GLContext.h>
#include <RenderTarget.h>

namespace
{
namespace shader = ffglqs::shader;

const std::string header_ =
	"\n\t\t#version 410 core\n\t\tout vec4 fragColor;\n\t\tuniform vec2 resolution;\n\t\tuniform float time;\n"
	"\t\tuniform float deltaTime;\n\t\tuniform int frame;\n\t\tuniform float bpm;\n\t\tuniform float phase;\n\t";
const std::string sourceInputs_ = "\n\t\tin vec2 i_uv;\n\t";
const std::string effectInputs_ = "\n\t\tin vec2 i_uv;\n\t\tuniform sampler2D inputTexture;\n\t";
const std::string mixerInputs_ =
	"\n\t\tuniform sampler2D textureDest;\n\t\tuniform sampler2D textureSrc;\n\n\t\tin vec2 i_uv_dest;\n\t\tin vec2 i_uv_src;\n\t";
const std::string sourceVertex_ =
	"\n\t\t#version 410 core\n\t\tlayout( location = 0 ) in vec4 vPosition;\n\t\tlayout( location = 1 ) in vec2 vUV;\n\n"
	"\t\tout vec2 i_uv;\n\n\t\tvoid main()\n\t\t{\n\t\t\tgl_Position = vPosition;\n\t\t\ti_uv = vUV;\n\t\t}\n\t";
const std::string effectVertex_ =
	"\n\t\t#version 410 core\n\t\tuniform vec2 maxUV;\n\n\t\tlayout( location = 0 ) in vec4 vPosition;\n"
	"\t\tlayout( location = 1 ) in vec2 vUV;\n\n\t\tout vec2 i_uv;\n\n\t\tvoid main()\n\t\t{\n"
	"\t\t\tgl_Position = vPosition;\n\t\t\ti_uv = vUV * maxUV;\n\t\t}\n\t";
const std::string mixerVertex_ =
	"#version 410 core\n\t\tuniform vec2 maxUVDest;\n\t\tuniform vec2 maxUVSrc;\n\n\t\tlayout( location = 0 ) in vec4 vPosition;\n"
	"\t\tlayout( location = 1 ) in vec2 vUV;\n\n\t\tout vec2 i_uv_dest;\n\t\tout vec2 i_uv_src;\n\n\t\tvoid main()\n\t\t{\n"
	"\t\t\tgl_Position = vPosition;\n\t\t\ti_uv_dest = vUV * maxUVDest;\n\t\t\ti_uv_src = vUV * maxUVSrc;\n\t\t}\n\t";

// Opens up the internal steps for inspection and counts the hooks.
template< typename Base >
class Probe : public Base
{
public:
	using Base::AddParam, Base::CreateFragmentShader, Base::fragmentShaderCodeStart, Base::Include, Base::IsHueColor,
		Base::IsRGBColor, Base::vertexShaderCode;
	explicit Probe( const std::string& code = "void main() { fragColor = vec4( 1.0 ); }" ) { this->SetFragmentShader( code ); }
	GLuint Program() const { return this->shader.GetGLID(); }
	uint32_t Frame() const { return this->frame; }
	float TimeNow() const { return this->timeNow; }
	float DeltaTime() const { return this->deltaTime; }
	FFResult Init() override { return ++initCalls, initResult; }
	void Update() override { ++updateCalls; }
	void Clean() override { ++cleanCalls; }
	int initCalls = 0, updateCalls = 0, cleanCalls = 0;
	FFResult initResult = FF_SUCCESS;
};
using SourceProbe = Probe< ffglqs::Source >;

template< typename Base >
void ExpectKind( const std::string& inputs, const std::string& vertex, uint32_t count )
{
	Probe< Base > plugin;
	EXPECT_EQ( plugin.fragmentShaderCodeStart, header_ + inputs );
	EXPECT_EQ( plugin.vertexShaderCode, vertex );
	EXPECT_EQ( std::tuple( plugin.GetMinInputs(), plugin.GetMaxInputs() ), std::tuple( count, count ) );
}

// Int and bool uniforms are read converted to float.
void ExpectUniform( GLuint program, const char* name, std::vector< float > want, const char* what = "" )
{
	GLint location = glGetUniformLocation( program, name );
	ASSERT_NE( location, -1 ) << name;
	float values[ 4 ] = {};
	glGetUniformfv( program, location, values );
	for( size_t c = 0; c < want.size(); ++c )
		EXPECT_NEAR( values[ c ], want[ c ], 1e-6 ) << what << ": " << name << "[" << c << "]";
}

// One parameter of every kind; a colour group that is incomplete at the end.
std::unique_ptr< SourceProbe > AllKinds()
{
	auto plugin = std::make_unique< SourceProbe >();
	plugin->AddRGBColorParam( "tint" );// 0..2
	plugin->AddParam( ffglqs::ParamBool::Create( "on", true ) );
	plugin->AddParam( ffglqs::ParamEvent::Create( "beat" ) );
	plugin->AddParam( ffglqs::ParamTrigger::Create( "fire" ) );
	plugin->AddParam( ffglqs::ParamFFT::Create( "spectrum", 64 ) );// 6
	plugin->AddHueColorParam( "paint" );                            // 7..10
	plugin->AddParam( ffglqs::ParamOption::Create( "mode", { { "A", 10 }, { "B", 20 }, { "C", 30 } }, 2 ) );
	plugin->AddParam( ffglqs::ParamRange::CreateInteger( "count", 3, { 0, 9 } ) );
	plugin->AddParam( ffglqs::ParamText::create( "label", "hi" ) );// 13
	plugin->AddParam( ffglqs::ParamRange::Create( "below", -2.0f, { -4.0f, 4.0f } ) );
	plugin->AddParam( ffglqs::ParamRange::Create( "inside", 0.25f, { 0.0f, 1.0f } ) );
	plugin->AddParam( ffglqs::Param::Create( "level" ) );// 16
	plugin->AddParam( ffglqs::Param::Create( "lonely", FF_TYPE_RED, 0.5f ) );
	plugin->AddParam( ffglqs::Param::Create( "lonely_green", FF_TYPE_GREEN, 0.5f ) );
	return plugin;
}

const FFGLViewportStruct viewport_{ 0, 0, 32, 16 };
}// namespace

TEST( PluginProgram, HeadersAndVertexProgramsAreExact )
{
	ExpectKind< ffglqs::Source >( sourceInputs_, sourceVertex_, 0 );
	ExpectKind< ffglqs::Effect >( effectInputs_, effectVertex_, 1 );
	ExpectKind< ffglqs::Mixer >( mixerInputs_, mixerVertex_, 2 );
	Probe< ffglqs::Mixer > mixer;
	ASSERT_EQ( mixer.GetNumParams(), 1u );
	EXPECT_EQ( std::tuple( std::string( mixer.GetParamName( 0 ) ), mixer.GetParamType( 0 ), mixer.GetParamDefault( 0 ).FloatValue ),
			   std::tuple( "mixVal", 10u, 0.0f ) );
}

// One uniform per parameter or colour group (none for buffers), then the
// included snippets in ascending order, each once, then the author's code.
TEST( PluginProgram, UniformsThenSnippetsThenCode )
{
	auto plugin = AllKinds();
	plugin->Include( shader::noise );
	plugin->Include( shader::map );
	plugin->Include( std::set< shader::snippet_id >{ shader::noise, shader::random } );
	EXPECT_EQ( plugin->CreateFragmentShader( "void main(){}" ),
			   header_ + sourceInputs_ +
				   "uniform vec3 tint;\nuniform bool on;\nuniform bool beat;\nuniform bool fire;\nuniform vec4 paint;\n"
				   "uniform float mode;\nuniform float count;\nuniform float label;\nuniform float below;\nuniform float inside;\n"
				   "uniform float level;\nuniform float lonely;\nuniform float lonely_green;\n" +
				   shader::snippets.at( shader::random ) + shader::snippets.at( shader::map ) + shader::snippets.at( shader::noise ) +
				   "void main(){}" );
	for( int32_t i : { -1, 1, 8, 17, INT_MAX } )
		EXPECT_FALSE( plugin->IsRGBColor( i ) || plugin->IsHueColor( i ) ) << i;
}

// Ranged defaults outside 0..1 are kept; options are valued by position.
TEST( PluginRegistry, EachKindIsRegisteredAsTheHostExpects )
{
	auto plugin = AllKinds();
	const char* names[] = { "tint", "tint_green", "tint_blue", "on", "beat", "fire", "spectrum", "paint", "paint_saturation",
							"paint_brightness", "paint_alpha", "mode", "count", "label", "below", "inside", "level", "lonely",
							"lonely_green" };
	const uint32_t types[] = { 2, 3, 4, 0, 1, 1, 12, 200, 201, 202, 203, 11, 13, 100, 10, 10, 10, 2, 3 };
	const float defaults[] = { 0.5f, 0.5f, 0.5f, 1, 0, 0, 0, 0, 0, 1, 1, 2, 3, 0, -2, 0.25f, 0, 0.5f, 0.5f };
	ASSERT_EQ( plugin->GetNumParams(), 19u );
	for( uint32_t k = 0; k < 19; ++k )
	{
		const float value = types[ k ] == FF_TYPE_TEXT ? 0.0f : plugin->GetParamDefault( k ).FloatValue;
		EXPECT_EQ( std::tuple( std::string( plugin->GetParamName( k ) ), plugin->GetParamType( k ), value ),
				   std::tuple( names[ k ], types[ k ], defaults[ k ] ) );
	}
	EXPECT_EQ( std::tuple( plugin->GetParamRange( 14 ).min, plugin->GetParamRange( 14 ).max ), std::tuple( -4.0f, 4.0f ) );
	ASSERT_EQ( plugin->GetNumParamElements( 11 ), 3u );
	for( uint32_t j = 0; j < 3; ++j )
		EXPECT_EQ( std::tuple( std::string( plugin->GetParamElementName( 11, j ) ), plugin->GetParamElementDefault( 11, j ).FloatValue ),
				   std::tuple( std::string( 1, char( 'A' + j ) ), float( j ) ) );
	EXPECT_EQ( std::tuple( plugin->GetParamUsage( 6 ), plugin->GetNumParamElements( 6 ) ), std::tuple( 1u, 64u ) );
	EXPECT_EQ( plugin->GetParam( "paint_alpha" )->GetType(), 203u );
	EXPECT_NE( plugin->GetParamOption( "mode" ), nullptr );
	EXPECT_EQ( std::tuple( plugin->GetParam( "nope" ), plugin->GetParamOption( "level" ), plugin->GetParamText( "mode" ) ),
			   std::tuple( nullptr, nullptr, nullptr ) );
}

// Displays fit the 16-byte buffer; a null text stores empty; wrong indices and
// kinds fail; rates beyond the analyser's range are capped, never wrapped.
TEST( PluginHostCalls, FloatTextDisplayAndSampleRate )
{
	auto plugin = AllKinds();
	EXPECT_EQ( ( std::tuple{ plugin->SetFloatParameter( 19, 0.25f ), plugin->GetFloatParameter( 19 ) } ), std::tuple( FF_FAIL, 0.0f ) );
	EXPECT_EQ( plugin->SetFloatParameter( 11, 1.0f ), FF_SUCCESS );
	EXPECT_TRUE( plugin->GetParamOption( "mode" )->IsCurrentOption( "B" ) );
	for( auto [ value, shown ] : { std::pair{ -1.5f, "-1.500000" }, { 100000000.0f, "100000000.00000" } } )
	{
		EXPECT_EQ( ( std::tuple{ plugin->SetFloatParameter( 16, value ), plugin->GetParameterDisplay( 16 ) } ),
				   std::tuple( FF_SUCCESS, ffglqs::Plugin::displayValueBuffer ) );
		EXPECT_STREQ( ffglqs::Plugin::displayValueBuffer, shown );
	}
	EXPECT_STREQ( plugin->GetTextParameter( 13 ), "hi" );
	EXPECT_EQ( plugin->SetTextParameter( 13, nullptr ), FF_SUCCESS );
	EXPECT_STREQ( plugin->GetTextParameter( 13 ), "" );
	EXPECT_EQ( ( std::tuple{ plugin->SetTextParameter( 16, "x" ), plugin->SetTextParameter( 19, "x" ) } ), std::tuple( FF_FAIL, FF_FAIL ) );
	for( char* answer : { plugin->GetTextParameter( 16 ), plugin->GetTextParameter( 19 ), plugin->GetParameterDisplay( 13 ),
						  plugin->GetParameterDisplay( 19 ) } )
		EXPECT_EQ( answer, FFWidenedFail() );

	auto first = std::dynamic_pointer_cast< ffglqs::ParamFFT >( plugin->GetParam( "spectrum" ) );
	auto second = ffglqs::ParamFFT::Create( "second", 200 );
	plugin->AddParam( second );
	plugin->SetSampleRate( 48000 );
	ASSERT_NE( plugin->GetAudio( first ), nullptr );
	EXPECT_EQ( std::tuple( plugin->GetSampleRate(), plugin->GetAudio( first )->GetSampleRate(), plugin->GetAudio( second )->GetMaxFreq() ),
			   std::tuple( 48000u, 48000, 24000.0f ) );
	plugin->SetSampleRate( 0xFFFFFFFFu );
	EXPECT_GT( plugin->GetAudio( first )->GetSampleRate(), 0 );
}

namespace
{
plughost::RenderTarget TargetOnContext()
{
	static plughost::GLContext context;
	context.MakeCurrent();
	return plughost::RenderTarget( 32, 16 );
}

struct PluginGL : ::testing::Test
{
	void SetUp() override { target.Bind(); }
	plughost::RenderTarget target = TargetOnContext();
	ProcessOpenGLStruct noInputs{ 0, nullptr };
};
}// namespace

TEST_F( PluginGL, LifecycleHooksAndFailures )
{
	SourceProbe plugin, refusing, broken( "void main() { this is not GLSL }" );
	ASSERT_EQ( plugin.InitGL( &viewport_ ), FF_SUCCESS );
	EXPECT_EQ( std::tuple( plugin.initCalls, plugin.GetViewport().width ), std::tuple( 1, 32u ) );
	EXPECT_NE( plugin.Program(), 0u );
	EXPECT_EQ( plugin.DeInitGL(), FF_SUCCESS );
	EXPECT_EQ( plugin.DeInitGL(), FF_SUCCESS );
	EXPECT_EQ( std::tuple( plugin.cleanCalls, plugin.Program() ), std::tuple( 2, 0u ) );
	// A failing Init hook releases what was made, through DeInitGL; a program
	// that does not compile fails without running Init.
	refusing.initResult = FF_FAIL;
	EXPECT_EQ( refusing.InitGL( &viewport_ ), FF_FAIL );
	EXPECT_EQ( std::tuple( refusing.initCalls, refusing.cleanCalls, refusing.Program() ), std::tuple( 1, 1, 0u ) );
	testing::internal::CaptureStdout();
	EXPECT_EQ( broken.InitGL( &viewport_ ), FF_FAIL );
	testing::internal::GetCapturedStdout();
	EXPECT_EQ( std::tuple( broken.initCalls, broken.cleanCalls ), std::tuple( 0, 1 ) );
}

// Saturation 0 and brightness 1 give opaque white; hue 1 is a full turn (red),
// hue 1/3 green; alpha passes through; a NaN bool counts as set; the trigger
// fires in one frame and is consumed after it; host spectrum elements reach
// the analyser.
TEST_F( PluginGL, FrameParameterAndSpectrumUniforms )
{
	SourceProbe plugin( "void main() { fragColor = vec4( tint, 1.0 ) + paint + vec4( float( flag ) + float( fire ) + level + time "
						"+ deltaTime + float( frame ) + bpm + phase + resolution.x + resolution.y ); }" );
	plugin.AddRGBColorParam( "tint" );
	plugin.AddHueColorParam( "paint" );
	plugin.AddParam( ffglqs::ParamBool::Create( "flag" ) );
	auto fire = ffglqs::ParamTrigger::Create( "fire" );
	auto spectrum = ffglqs::ParamFFT::Create( "spectrum", 6 );
	plugin.AddParam( fire );
	plugin.AddParam( ffglqs::Param::Create( "level", 0.125f ) );
	plugin.AddParam( spectrum );
	ASSERT_EQ( plugin.InitGL( &viewport_ ), FF_SUCCESS );
	EXPECT_EQ( spectrum->index, 10u );
	const GLuint program = plugin.Program();
	EXPECT_EQ( glGetUniformLocation( program, "tint_green" ), -1 );
	EXPECT_EQ( glGetUniformLocation( program, "paint_alpha" ), -1 );
	const struct { std::vector< float > set, tint, paint, flagFire, bpmPhase, resolution; } frames[] = {
		{ {}, { 0.5f, 0.5f, 0.5f }, { 1, 1, 1, 1 }, { 0, 0 }, { 120, 0 }, { 32, 16 } },
		{ { 0.25f, 0.75f, 1, 1, 1, 1, 0.5f, 0.7f, 1 }, { 0.25f, 0.75f, 1 }, { 1, 0, 0, 0.5f }, { 1, 1 }, { 90, 0.5f }, { 64, 8 } },
		{ { 0.25f, 0.75f, 1, 1.0f / 3, 1, 1, 0.5f, NAN }, { 0.25f, 0.75f, 1 }, { 0, 1, 0, 0.5f }, { 1, 0 }, { 90, 0.5f }, { 64, 8 } } };
	float lastTime = 0.0f;
	for( uint32_t n = 0; n < 3; ++n )
	{
		const auto& f = frames[ n ];
		for( uint32_t i = 0; i < f.set.size(); ++i )
			plugin.SetFloatParameter( i, f.set[ i ] );
		FFGLViewportStruct resized{ 0, 0, 64, 8 };
		if( n == 1 )// the first frame checks the defaults
			plugin.SetBeatInfo( 90.0f, 0.5f ), plugin.Resize( &resized );
		for( uint32_t k = 0; k < 6; ++k )
			plugin.SetParamElementValue( 10, k, 0.5f * n );
		ASSERT_EQ( plugin.ProcessOpenGL( &noInputs ), FF_SUCCESS );
		EXPECT_EQ( std::tuple( plugin.Frame(), plugin.updateCalls, fire->GetValue() ), std::tuple( n + 1, int( n + 1 ), 0.0f ) );
		EXPECT_GE( plugin.TimeNow(), lastTime );
		EXPECT_FLOAT_EQ( plugin.DeltaTime(), plugin.TimeNow() - lastTime );
		lastTime = plugin.TimeNow();
		const std::pair< const char*, std::vector< float > > uniforms[] = {
			{ "frame", { float( n + 1 ) } }, { "time", { plugin.TimeNow() } }, { "deltaTime", { plugin.DeltaTime() } },
			{ "bpm", { f.bpmPhase[ 0 ] } }, { "phase", { f.bpmPhase[ 1 ] } }, { "resolution", f.resolution },
			{ "tint", f.tint }, { "paint", f.paint }, { "flag", { f.flagFire[ 0 ] } }, { "fire", { f.flagFire[ 1 ] } },
			{ "level", { 0.125f } } };
		for( const auto& [ name, want ] : uniforms )
			ExpectUniform( program, name, want, ( "frame " + std::to_string( n + 1 ) ).c_str() );
		EXPECT_EQ( spectrum->fftData, std::vector< float >( 6, 0.5f * n ) );
		ASSERT_NE( plugin.GetAudio( spectrum ), nullptr );
		EXPECT_EQ( std::tuple( plugin.GetAudio( spectrum )->GetFFT(), plugin.GetAudio( spectrum )->GetVolume() ),
				   std::tuple( spectrum->fftData, 0.0f ) );// gain factor starts at 0
		GLint current = -1;
		glGetIntegerv( GL_CURRENT_PROGRAM, &current );
		EXPECT_EQ( current, 0 );// unbound after the frame
	}
	plugin.DeInitGL();
}

TEST_F( PluginGL, MissingInputsFailWithoutDrawing )
{
	Probe< ffglqs::Effect > effect;
	Probe< ffglqs::Mixer > mixer;
	ASSERT_EQ( effect.InitGL( &viewport_ ), FF_SUCCESS );
	ASSERT_EQ( mixer.InitGL( &viewport_ ), FF_SUCCESS );
	target.Clear();
	FFGLTextureStruct texture{ 4, 4, 4, 4, 0 };
	FFGLTextureStruct *nullFirst[] = { nullptr, &texture }, *nullSecond[] = { &texture, nullptr };
	ProcessOpenGLStruct nullInput{ 1, nullFirst }, single{ 1, nullSecond }, pairNullFirst{ 2, nullFirst }, pairNullSecond{ 2, nullSecond };
	for( auto [ plugin, frame ] : { std::pair< ffglqs::Plugin*, ProcessOpenGLStruct* >{ &effect, &noInputs }, { &effect, &nullInput },
									{ &effect, nullptr }, { &mixer, &single }, { &mixer, &pairNullFirst }, { &mixer, &pairNullSecond } } )
		EXPECT_EQ( plugin->Render( frame ), FF_FAIL );
	EXPECT_EQ( ( std::tuple{ effect.ProcessOpenGL( &noInputs ), mixer.ProcessOpenGL( &single ) } ), std::tuple( FF_FAIL, FF_FAIL ) );
	for( uint8_t byte : target.ReadPixels().pixels )
		ASSERT_EQ( byte, 0 );
	effect.DeInitGL();
	mixer.DeInitGL();
}

// Every snippet, alone and all together, compiles inside the framework's header.
TEST_F( PluginGL, SnippetsCompile )
{
	const std::string random = "random() + random3( uvec3( 1u, 2u, 3u ) ).x + random( uvec2( 4u, 5u ) )",
					  map = "map( 0.5, 0.0, 1.0 ) + map( vec2( 0.5 ), vec2( 0.0 ), vec2( 1.0 ) ).x + map( 0.5, 0.0, 1.0, 2.0, 3.0 )"
							" + map( vec2( 0.5 ), vec2( 0.0 ), vec2( 1.0 ), vec2( 2.0 ), vec2( 3.0 ) ).y",
					  noise = "fractal_noise( vec3( i_uv, time ), vec4( 0.5, 0.25, 0.125, 0.0625 ) ) + random3( vec3( 1.0 ) ).y";
	const std::pair< std::set< shader::snippet_id >, std::string > cases[] = {
		{ { shader::random }, random }, { { shader::map }, map }, { { shader::noise }, noise },
		{ { shader::random, shader::map, shader::noise }, random + " + " + map + " + " + noise } };
	for( const auto& [ ids, use ] : cases )
	{
		SourceProbe plugin( "void main() { fragColor = vec4( " + use + " ); }" );
		plugin.Include( ids );
		EXPECT_EQ( plugin.InitGL( &viewport_ ), FF_SUCCESS ) << use;
		plugin.DeInitGL();
	}
}

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
#include <Image.h>
#include <RenderTarget.h>

namespace
{
namespace shader = ffglqs::shader;

const std::string header_ =
	"\n\t\t#version 410 core\n\t\tout vec4 fragColor;\n\t\tuniform vec2 resolution;\n\t\tuniform float time;\n"
	"\t\tuniform float deltaTime;\n\t\tuniform int frame;\n\t\tuniform float bpm;\n\t\tuniform float phase;\n\t";
const std::string sourceInputs_ = "\n\t\tin vec2 i_uv;\n\t";
// Opens up the internal steps for inspection and counts the hooks.
template< typename Base >
class Probe : public Base
{
public:
	using Base::AddParam, Base::CreateFragmentShader, Base::Include, Base::IsHueColor, Base::IsRGBColor;
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

// Ranged defaults outside 0..1 are kept; options are valued by position; a
// text registers its text.
TEST( PluginRegistry, EachKindIsRegisteredAsTheHostExpects )
{
	auto plugin = AllKinds();
	const std::tuple< std::string, uint32_t, float > table[] = {
		{ "tint", 2, 0.5f }, { "tint_green", 3, 0.5f }, { "tint_blue", 4, 0.5f }, { "on", 0, 1 }, { "beat", 1, 0 }, { "fire", 1, 0 }, { "spectrum", 12, 0 },
		{ "paint", 200, 0 }, { "paint_saturation", 201, 0 }, { "paint_brightness", 202, 1 }, { "paint_alpha", 203, 1 }, { "mode", 11, 2 }, { "count", 13, 3 },
		{ "label", 100, 0 }, { "below", 10, -2 }, { "inside", 10, 0.25f }, { "level", 10, 0 }, { "lonely", 2, 0.5f }, { "lonely_green", 3, 0.5f } };
	ASSERT_EQ( plugin->GetNumParams(), 19u );
	for( uint32_t k = 0; k < 19; ++k )
		EXPECT_EQ( std::tuple( std::string( plugin->GetParamName( k ) ), plugin->GetParamType( k ), k == 13 ? 0.0f : plugin->GetParamDefault( k ).FloatValue ), table[ k ] );
	EXPECT_EQ( std::tuple( std::string( static_cast< const char* >( plugin->GetParamDefault( 13 ).PointerValue ) ), plugin->GetParamRange( 14 ).min,
						   plugin->GetParamRange( 14 ).max, plugin->GetParamUsage( 6 ), plugin->GetNumParamElements( 6 ), plugin->GetNumParamElements( 11 ) ),
			   std::tuple( "hi", -4.0f, 4.0f, 1u, 64u, 3u ) );
	for( uint32_t j = 0; j < 3; ++j )
		EXPECT_EQ( std::tuple( std::string( plugin->GetParamElementName( 11, j ) ), plugin->GetParamElementDefault( 11, j ).FloatValue ),
				   std::tuple( std::string( 1, char( 'A' + j ) ), float( j ) ) );
	EXPECT_EQ( std::tuple( plugin->GetParam( "nope" ), plugin->GetParamOption( "level" ), plugin->GetParamText( "mode" ), plugin->GetParamOption( "mode" )->GetName() ),
			   std::tuple( nullptr, nullptr, nullptr, "mode" ) );
}

// Displays fit the 16-byte buffer; a null text stores empty; wrong indices and
// kinds fail; rates beyond the analyser's range are capped, never wrapped.
TEST( PluginHostCalls, FloatTextDisplayAndSampleRate )
{
	auto plugin = AllKinds();
	EXPECT_EQ( ( std::tuple{ plugin->SetFloatParameter( 19, 0.25f ), plugin->GetFloatParameter( 19 ), plugin->SetFloatParameter( 16, 1e8f ),
							 std::string( plugin->GetParameterDisplay( 16 ) ), std::string( plugin->GetTextParameter( 13 ) ), plugin->SetTextParameter( 13, nullptr ),
							 std::string( plugin->GetTextParameter( 13 ) ), plugin->SetTextParameter( 16, "x" ), plugin->SetTextParameter( 19, "x" ) } ),
			   std::tuple( FF_FAIL, 0.0f, FF_SUCCESS, "100000000.00000", "hi", FF_SUCCESS, "", FF_FAIL, FF_FAIL ) );
	for( char* answer : { plugin->GetTextParameter( 16 ), plugin->GetTextParameter( 19 ), plugin->GetParameterDisplay( 13 ), plugin->GetParameterDisplay( 19 ) } )
		EXPECT_EQ( answer, FFWidenedFail() );
	auto spectrum = std::dynamic_pointer_cast< ffglqs::ParamFFT >( plugin->GetParam( "spectrum" ) );
	plugin->SetSampleRate( 48000 );
	ASSERT_NE( plugin->GetAudio( spectrum ), nullptr );
	EXPECT_EQ( ( std::tuple{ plugin->GetSampleRate(), plugin->GetAudio( spectrum )->GetMaxFreq() } ), std::tuple( 48000u, 24000.0f ) );
	plugin->SetSampleRate( 0xFFFFFFFFu );
	EXPECT_GT( plugin->GetAudio( spectrum )->GetSampleRate(), 0 );
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

// DeInitGL may run twice and runs the Clean hook each time; a failing Init
// hook releases what was made, through DeInitGL; a program that does not
// compile fails without running Init.
TEST_F( PluginGL, LifecycleHooksAndFailures )
{
	SourceProbe plugin, refusing, broken( "void main() { this is not GLSL }" );
	refusing.initResult = FF_FAIL;
	testing::internal::CaptureStdout();
	EXPECT_EQ( ( std::tuple{ plugin.InitGL( &viewport_ ), plugin.initCalls, plugin.GetViewport().width, plugin.Program() != 0, plugin.DeInitGL(), plugin.DeInitGL(),
							 plugin.cleanCalls, plugin.Program(), refusing.InitGL( &viewport_ ), refusing.initCalls, refusing.cleanCalls, refusing.Program(),
							 broken.InitGL( &viewport_ ), broken.initCalls, broken.cleanCalls } ),
			   std::tuple( FF_SUCCESS, 1, 32u, true, FF_SUCCESS, FF_SUCCESS, 2, 0u, FF_FAIL, 1, 1, 0u, FF_FAIL, 0, 1 ) );
	testing::internal::GetCapturedStdout();
}

// Colour groups are one uniform each; saturation 0 and brightness 1 give
// opaque white, hue 1 is a full turn (red), hue 1/3 green; the trigger fires
// in one frame and is consumed after it; host
// spectrum elements reach the analyser; the program is unbound afterwards.
TEST_F( PluginGL, FrameParameterAndSpectrumUniforms )
{
	SourceProbe plugin( "void main() { fragColor = vec4( tint, 1.0 ) + paint + vec4( float( flag ) + float( fire ) + time + deltaTime + float( frame ) "
						"+ bpm + phase + resolution.x + resolution.y ); }" );
	plugin.AddRGBColorParam( "tint" );
	plugin.AddHueColorParam( "paint" );
	plugin.AddParam( ffglqs::ParamBool::Create( "flag" ) );
	auto fire = ffglqs::ParamTrigger::Create( "fire" );
	auto spectrum = ffglqs::ParamFFT::Create( "spectrum", 6 );
	plugin.AddParam( fire );
	plugin.AddParam( spectrum );
	ASSERT_EQ( plugin.InitGL( &viewport_ ), FF_SUCCESS );
	const GLuint program = plugin.Program();
	EXPECT_EQ( std::tuple( spectrum->index, glGetUniformLocation( program, "tint_green" ), glGetUniformLocation( program, "paint_alpha" ) ), std::tuple( 9u, -1, -1 ) );
	const struct { std::vector< float > set, tint, paint, flagFire, bpmPhase, resolution; } frames[] = {
		{ {}, { 0.5f, 0.5f, 0.5f }, { 1, 1, 1, 1 }, { 0, 0 }, { 120, 0 }, { 32, 16 } },
		{ { 0.25f, 0.75f, 1, 1, 1, 1, 0.5f, 0.7f, 1 }, { 0.25f, 0.75f, 1 }, { 1, 0, 0, 0.5f }, { 1, 1 }, { 90, 0.5f }, { 64, 8 } },
		{ { 0.25f, 0.75f, 1, 1.0f / 3, 1, 1, 0.5f, NAN }, { 0.25f, 0.75f, 1 }, { 0, 1, 0, 0.5f }, { 1, 0 }, { 90, 0.5f }, { 64, 8 } } };
	float lastTime = 0.0f;
	for( uint32_t n = 0; n < 3; ++n )
	{
		const auto& f = frames[ n ];
		for( uint32_t i = 0; i < f.set.size(); ++i )
			plugin.SetFloatParameter( i, f.set[ i ] );// refuses the NaN: the flag keeps 0.7
		FFGLViewportStruct resized{ 0, 0, 64, 8 };
		if( n == 1 )// the first frame checks the defaults
			plugin.SetBeatInfo( 90.0f, 0.5f ), plugin.Resize( &resized );
		for( uint32_t k = 0; k < 6; ++k )
			plugin.SetParamElementValue( 9, k, 0.5f * n );
		ASSERT_EQ( plugin.ProcessOpenGL( &noInputs ), FF_SUCCESS );
		EXPECT_EQ( std::tuple( plugin.Frame(), plugin.updateCalls, fire->GetValue(), plugin.DeltaTime(), spectrum->fftData, plugin.GetAudio( spectrum )->GetFFT() ),
				   std::tuple( n + 1, int( n + 1 ), 0.0f, plugin.TimeNow() - lastTime, std::vector< float >( 6, 0.5f * n ), spectrum->fftData ) );
		lastTime = plugin.TimeNow();
		const std::pair< const char*, std::vector< float > > uniforms[] = {
			{ "frame", { float( n + 1 ) } }, { "time", { plugin.TimeNow() } }, { "deltaTime", { plugin.DeltaTime() } }, { "bpm", { f.bpmPhase[ 0 ] } },
			{ "phase", { f.bpmPhase[ 1 ] } }, { "resolution", f.resolution }, { "tint", f.tint }, { "paint", f.paint }, { "flag", { f.flagFire[ 0 ] } },
			{ "fire", { f.flagFire[ 1 ] } } };
		for( const auto& [ name, want ] : uniforms )
			ExpectUniform( program, name, want, ( "frame " + std::to_string( n + 1 ) ).c_str() );
		GLint current = -1;
		glGetIntegerv( GL_CURRENT_PROGRAM, &current );
		EXPECT_EQ( current, 0 );
	}
	plugin.DeInitGL();
}

// An effect or mixer refuses a frame with missing or null inputs and draws nothing.
TEST_F( PluginGL, MissingInputsFailWithoutDrawing )
{
	Probe< ffglqs::Effect > effect;
	Probe< ffglqs::Mixer > mixer;
	ASSERT_TRUE( effect.InitGL( &viewport_ ) == FF_SUCCESS && mixer.InitGL( &viewport_ ) == FF_SUCCESS );
	target.Clear();
	FFGLTextureStruct texture{ 4, 4, 4, 4, 0 };
	FFGLTextureStruct *nullFirst[] = { nullptr, &texture }, *nullSecond[] = { &texture, nullptr };
	ProcessOpenGLStruct nullInput{ 1, nullFirst }, single{ 1, nullSecond }, pairNullFirst{ 2, nullFirst }, pairNullSecond{ 2, nullSecond };
	for( auto [ plugin, frame ] : { std::pair< ffglqs::Plugin*, ProcessOpenGLStruct* >{ &effect, &noInputs }, { &effect, &nullInput }, { &effect, nullptr },
									{ &mixer, &single }, { &mixer, &pairNullFirst }, { &mixer, &pairNullSecond } } )
		EXPECT_EQ( ( std::tuple{ plugin->Render( frame ), plugin->ProcessOpenGL( frame ) } ), std::tuple( FF_FAIL, FF_FAIL ) );
	EXPECT_EQ( target.ReadPixels(), plughost::Image( 32, 16 ) );
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

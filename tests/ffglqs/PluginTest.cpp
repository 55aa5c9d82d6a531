// The quick-start plug-in base on a headless context: registration, the
// assembled program text, uniforms, colour groups, triggers and the GL
// lifecycle.
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include <FFGLSDK.h>
#include <GLContext.h>
#include <RenderTarget.h>

namespace
{
plughost::GLContext& Context()
{
	static plughost::GLContext context;
	context.MakeCurrent();
	return context;
}

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

// Opens up the internal steps for inspection.
template< typename Base >
class Probe : public Base
{
public:
	using Base::CreateFragmentShader;
	using Base::fragmentShaderCodeStart;
	using Base::IsHueColor;
	using Base::IsRGBColor;
	using Base::vertexShaderCode;
	using Base::includedSnippets;
	using Base::Include;
	using Base::AddParam;

	GLuint Program() const { return this->shader.GetGLID(); }
	uint32_t Frame() const { return this->frame; }
	float TimeNow() const { return this->timeNow; }
	float DeltaTime() const { return this->deltaTime; }

	FFResult Init() override
	{
		++initCalls;
		return initResult;
	}
	void Update() override { ++updateCalls; }
	void Clean() override { ++cleanCalls; }

	int initCalls = 0, updateCalls = 0, cleanCalls = 0;
	FFResult initResult = FF_SUCCESS;
};

// A program that reads every uniform so none is optimised away.
const char* const readAllCode_ = R"(
void main()
{
	fragColor = vec4( time + deltaTime + float( frame ) + bpm + phase + resolution.x + resolution.y );
}
)";

std::string Uniform( const char* type, const std::string& name )
{
	return std::string( "uniform " ) + type + " " + name + ";\n";
}

float UniformFloat( GLuint program, const char* name, int component = 0 )
{
	GLint location = glGetUniformLocation( program, name );
	EXPECT_NE( location, -1 ) << name;
	float values[ 4 ] = {};
	glGetUniformfv( program, location, values );
	return values[ component ];
}

int UniformInt( GLuint program, const char* name )
{
	GLint location = glGetUniformLocation( program, name );
	EXPECT_NE( location, -1 ) << name;
	GLint value = -1;
	glGetUniformiv( program, location, &value );
	return value;
}

const FFGLViewportStruct viewport_{ 0, 0, 32, 16 };
}// namespace

TEST( PluginProgram, HeadersAndVertexProgramsAreExact )
{
	Probe< ffglqs::Source > source;
	EXPECT_EQ( source.fragmentShaderCodeStart, header_ + sourceInputs_ );
	EXPECT_EQ( source.vertexShaderCode, sourceVertex_ );
	EXPECT_EQ( source.GetMinInputs(), 0u );
	EXPECT_EQ( source.GetMaxInputs(), 0u );

	Probe< ffglqs::Effect > effect;
	EXPECT_EQ( effect.fragmentShaderCodeStart, header_ + effectInputs_ );
	EXPECT_EQ( effect.vertexShaderCode, effectVertex_ );
	EXPECT_EQ( effect.GetMinInputs(), 1u );
	EXPECT_EQ( effect.GetMaxInputs(), 1u );

	Probe< ffglqs::Mixer > mixer;
	EXPECT_EQ( mixer.fragmentShaderCodeStart, header_ + mixerInputs_ );
	EXPECT_EQ( mixer.vertexShaderCode, mixerVertex_ );
	EXPECT_EQ( mixer.GetMinInputs(), 2u );
	EXPECT_EQ( mixer.GetMaxInputs(), 2u );
	ASSERT_EQ( mixer.GetNumParams(), 1u );
	EXPECT_STREQ( mixer.GetParamName( 0 ), "mixVal" );
	EXPECT_EQ( mixer.GetParamType( 0 ), 10u );
	EXPECT_EQ( mixer.GetParamDefault( 0 ).FloatValue, 0.0f );
}

TEST( PluginProgram, OneUniformPerParameterOrGroupThenSnippetsThenCode )
{
	Probe< ffglqs::Source > plugin;
	plugin.AddRGBColorParam( "tint" );
	plugin.AddParam( ffglqs::ParamBool::Create( "on" ) );
	plugin.AddParam( ffglqs::ParamEvent::Create( "beat" ) );
	plugin.AddParam( ffglqs::ParamTrigger::Create( "fire" ) );
	plugin.AddParam( ffglqs::ParamFFT::Create( "spectrum", 8 ) );
	plugin.AddHueColorParam( "paint" );
	plugin.AddParam( ffglqs::ParamOption::Create( "mode", { { "a", 1 }, { "b", 2 } } ) );
	plugin.AddParam( ffglqs::ParamRange::CreateInteger( "count", 3, { 0, 9 } ) );
	plugin.AddParam( ffglqs::ParamText::create( "label" ) );
	plugin.AddParam( ffglqs::Param::Create( "level" ) );
	// Colour types that do not form a complete group fall back to floats.
	plugin.AddParam( ffglqs::Param::Create( "lonely", FF_TYPE_RED, 0.5f ) );
	plugin.AddParam( ffglqs::Param::Create( "lonely_green", FF_TYPE_GREEN, 0.5f ) );

	plugin.Include( ffglqs::shader::map );
	plugin.Include( ffglqs::shader::random );

	const std::string expected = header_ + sourceInputs_ + Uniform( "vec3", "tint" ) + Uniform( "bool", "on" ) +
								 Uniform( "bool", "beat" ) + Uniform( "bool", "fire" ) + Uniform( "vec4", "paint" ) +
								 Uniform( "float", "mode" ) + Uniform( "float", "count" ) + Uniform( "float", "label" ) +
								 Uniform( "float", "level" ) + Uniform( "float", "lonely" ) +
								 Uniform( "float", "lonely_green" ) + ffglqs::shader::snippets.at( ffglqs::shader::random ) +
								 ffglqs::shader::snippets.at( ffglqs::shader::map ) + "void main(){}";
	EXPECT_EQ( plugin.CreateFragmentShader( "void main(){}" ), expected );
	EXPECT_EQ( plugin.GetNumParams(), 17u );
}

TEST( PluginProgram, GroupDetection )
{
	Probe< ffglqs::Source > plugin;
	plugin.AddParam( ffglqs::Param::Create( "x" ) );
	plugin.AddRGBColorParam( "c" );
	plugin.AddHueColorParam( "h" );
	EXPECT_FALSE( plugin.IsRGBColor( 0 ) );
	EXPECT_TRUE( plugin.IsRGBColor( 1 ) );
	EXPECT_FALSE( plugin.IsRGBColor( 2 ) );
	EXPECT_FALSE( plugin.IsRGBColor( -1 ) );
	EXPECT_TRUE( plugin.IsHueColor( 4 ) );
	EXPECT_FALSE( plugin.IsHueColor( 5 ) );
	EXPECT_FALSE( plugin.IsHueColor( 8 ) );
	EXPECT_FALSE( plugin.IsHueColor( 1000 ) );
	EXPECT_FALSE( plugin.IsRGBColor( 2147483647 ) );
}

TEST( PluginProgram, IncludeAddsOnceAndOrdersAscending )
{
	Probe< ffglqs::Source > plugin;
	plugin.Include( ffglqs::shader::noise );
	EXPECT_EQ( plugin.includedSnippets, std::set< ffglqs::shader::snippet_id >{ ffglqs::shader::noise } );
	plugin.Include( std::set< ffglqs::shader::snippet_id >{ ffglqs::shader::noise, ffglqs::shader::random } );
	EXPECT_EQ( plugin.includedSnippets.size(), 2u );
	EXPECT_EQ( plugin.CreateFragmentShader( "" ), header_ + sourceInputs_ + ffglqs::shader::snippets.at( ffglqs::shader::random ) +
													  ffglqs::shader::snippets.at( ffglqs::shader::noise ) );
}

TEST( PluginRegistry, EachKindIsRegisteredAsTheHostExpects )
{
	Probe< ffglqs::Source > plugin;
	plugin.AddParam( ffglqs::ParamRange::Create( "wide", 5.0f, { 0.0f, 10.0f } ) );
	plugin.AddParam( ffglqs::ParamRange::Create( "below", -2.0f, { -4.0f, 4.0f } ) );
	plugin.AddParam( ffglqs::ParamRange::Create( "inside", 0.25f, { 0.0f, 1.0f } ) );
	plugin.AddParam( ffglqs::ParamOption::Create( "mode", { { "A", 10 }, { "B", 20 }, { "C", 30 } }, 2 ) );
	plugin.AddParam( ffglqs::ParamFFT::Create( "spectrum", 64 ) );
	plugin.AddRGBColorParam( "tint" );
	plugin.AddHueColorParam( "paint" );
	plugin.AddParam( ffglqs::ParamBool::Create( "on", true ) );

	EXPECT_EQ( plugin.GetParamDefault( 0 ).FloatValue, 5.0f );
	EXPECT_EQ( plugin.GetParamRange( 0 ).min, 0.0f );
	EXPECT_EQ( plugin.GetParamRange( 0 ).max, 10.0f );
	EXPECT_EQ( plugin.GetParamDefault( 1 ).FloatValue, -2.0f );
	EXPECT_EQ( plugin.GetParamDefault( 2 ).FloatValue, 0.25f );

	EXPECT_EQ( plugin.GetParamType( 3 ), 11u );
	EXPECT_EQ( plugin.GetParamDefault( 3 ).FloatValue, 2.0f );
	ASSERT_EQ( plugin.GetNumParamElements( 3 ), 3u );
	EXPECT_STREQ( plugin.GetParamElementName( 3, 0 ), "A" );
	EXPECT_STREQ( plugin.GetParamElementName( 3, 2 ), "C" );
	for( uint32_t j = 0; j < 3; ++j )
		EXPECT_EQ( plugin.GetParamElementDefault( 3, j ).FloatValue, float( j ) );

	EXPECT_EQ( plugin.GetParamType( 4 ), 12u );
	EXPECT_EQ( plugin.GetParamUsage( 4 ), 1u );
	EXPECT_EQ( plugin.GetNumParamElements( 4 ), 64u );

	const char* names[] = { "tint", "tint_green", "tint_blue", "paint", "paint_saturation", "paint_brightness", "paint_alpha" };
	const uint32_t types[] = { 2, 3, 4, 200, 201, 202, 203 };
	const float defaults[] = { 0.5f, 0.5f, 0.5f, 0.0f, 0.0f, 1.0f, 1.0f };
	for( uint32_t k = 0; k < 7; ++k )
	{
		EXPECT_STREQ( plugin.GetParamName( 5 + k ), names[ k ] );
		EXPECT_EQ( plugin.GetParamType( 5 + k ), types[ k ] );
		EXPECT_EQ( plugin.GetParamDefault( 5 + k ).FloatValue, defaults[ k ] );
	}
	EXPECT_EQ( plugin.GetParamType( 12 ), 0u );
	EXPECT_EQ( plugin.GetParamDefault( 12 ).FloatValue, 1.0f );

	EXPECT_EQ( plugin.GetParam( "paint_alpha" ), plugin.GetParam( "paint_alpha" ) );
	EXPECT_EQ( plugin.GetParam( "nope" ), nullptr );
	EXPECT_NE( plugin.GetParamOption( "mode" ), nullptr );
	EXPECT_EQ( plugin.GetParamOption( "wide" ), nullptr );
	EXPECT_EQ( plugin.GetParamText( "mode" ), nullptr );
}

TEST( PluginHostCalls, FloatTextAndDisplay )
{
	Probe< ffglqs::Source > plugin;
	plugin.AddParam( ffglqs::Param::Create( "level" ) );
	plugin.AddParam( ffglqs::ParamText::create( "label", "hi" ) );
	plugin.AddParam( ffglqs::ParamOption::Create( "mode", { { "A", 10 }, { "B", 20 } } ) );

	EXPECT_EQ( plugin.SetFloatParameter( 0, 0.25f ), FF_SUCCESS );
	EXPECT_EQ( plugin.GetFloatParameter( 0 ), 0.25f );
	EXPECT_EQ( plugin.SetFloatParameter( 3, 0.25f ), FF_FAIL );
	EXPECT_EQ( plugin.GetFloatParameter( 3 ), 0.0f );
	EXPECT_EQ( plugin.SetFloatParameter( 2, 1.0f ), FF_SUCCESS );
	EXPECT_TRUE( plugin.GetParamOption( "mode" )->IsCurrentOption( "B" ) );

	EXPECT_STREQ( plugin.GetParameterDisplay( 0 ), "0.250000" );
	EXPECT_EQ( plugin.GetParameterDisplay( 0 ), ffglqs::Plugin::displayValueBuffer );
	plugin.SetFloatParameter( 0, 100000000.0f );
	EXPECT_STREQ( plugin.GetParameterDisplay( 0 ), "100000000.00000" );
	plugin.SetFloatParameter( 0, -1.5f );
	EXPECT_STREQ( plugin.GetParameterDisplay( 0 ), "-1.500000" );
	EXPECT_EQ( plugin.GetParameterDisplay( 1 ), FFWidenedFail() );
	EXPECT_EQ( plugin.GetParameterDisplay( 9 ), FFWidenedFail() );

	EXPECT_STREQ( plugin.GetTextParameter( 1 ), "hi" );
	EXPECT_EQ( plugin.SetTextParameter( 1, "changed" ), FF_SUCCESS );
	EXPECT_STREQ( plugin.GetTextParameter( 1 ), "changed" );
	EXPECT_EQ( plugin.SetTextParameter( 1, nullptr ), FF_SUCCESS );
	EXPECT_STREQ( plugin.GetTextParameter( 1 ), "" );
	EXPECT_EQ( plugin.SetTextParameter( 0, "x" ), FF_FAIL );
	EXPECT_EQ( plugin.GetFloatParameter( 0 ), -1.5f );
	EXPECT_EQ( plugin.SetTextParameter( 7, "x" ), FF_FAIL );
	EXPECT_EQ( plugin.GetTextParameter( 0 ), FFWidenedFail() );
	EXPECT_EQ( plugin.GetTextParameter( 7 ), FFWidenedFail() );
}

TEST( PluginHostCalls, SampleRateReachesEveryAnalyser )
{
	Probe< ffglqs::Source > plugin;
	auto first = ffglqs::ParamFFT::Create( "first", 100 );
	auto second = ffglqs::ParamFFT::Create( "second", 200 );
	plugin.AddParam( first );
	plugin.AddParam( second );
	plugin.SetSampleRate( 48000 );
	EXPECT_EQ( plugin.GetSampleRate(), 48000u );
	ASSERT_NE( plugin.GetAudio( first ), nullptr );
	EXPECT_EQ( plugin.GetAudio( first )->GetSampleRate(), 48000 );
	EXPECT_EQ( plugin.GetAudio( second )->GetSampleRate(), 48000 );
	EXPECT_EQ( plugin.GetAudio( second )->GetMaxFreq(), 24000.0f );
	plugin.SetSampleRate( 0xFFFFFFFFu );
	EXPECT_GT( plugin.GetAudio( first )->GetSampleRate(), 0 );
}

class PluginGL : public ::testing::Test
{
protected:
	void SetUp() override { Context(); }
};

TEST_F( PluginGL, LifecycleHooksAndTwiceTolerance )
{
	Probe< ffglqs::Source > plugin;
	plugin.SetFragmentShader( readAllCode_ );
	ASSERT_EQ( plugin.InitGL( &viewport_ ), FF_SUCCESS );
	EXPECT_EQ( plugin.initCalls, 1 );
	EXPECT_NE( plugin.Program(), 0u );
	EXPECT_EQ( plugin.GetViewport().width, 32u );
	EXPECT_EQ( plugin.DeInitGL(), FF_SUCCESS );
	EXPECT_EQ( plugin.DeInitGL(), FF_SUCCESS );
	EXPECT_EQ( plugin.cleanCalls, 2 );
	EXPECT_EQ( plugin.Program(), 0u );

	// A failing Init hook releases what was made, through DeInitGL.
	Probe< ffglqs::Source > refusing;
	refusing.SetFragmentShader( readAllCode_ );
	refusing.initResult = FF_FAIL;
	EXPECT_EQ( refusing.InitGL( &viewport_ ), FF_FAIL );
	EXPECT_EQ( refusing.cleanCalls, 1 );
	EXPECT_EQ( refusing.Program(), 0u );
	refusing.DeInitGL();

	// A program that does not compile fails without running Init.
	Probe< ffglqs::Source > broken;
	broken.SetFragmentShader( "void main() { this is not GLSL }" );
	testing::internal::CaptureStdout();
	EXPECT_EQ( broken.InitGL( &viewport_ ), FF_FAIL );
	testing::internal::GetCapturedStdout();
	EXPECT_EQ( broken.initCalls, 0 );
	EXPECT_EQ( broken.cleanCalls, 1 );
	broken.DeInitGL();
}

TEST_F( PluginGL, FrameUniformsAndTime )
{
	Probe< ffglqs::Source > plugin;
	plugin.SetFragmentShader( readAllCode_ );
	ASSERT_EQ( plugin.InitGL( &viewport_ ), FF_SUCCESS );
	plughost::RenderTarget target( 32, 16 );
	target.Bind();
	ProcessOpenGLStruct frame{ 0, nullptr };

	EXPECT_EQ( plugin.ProcessOpenGL( &frame ), FF_SUCCESS );
	EXPECT_EQ( plugin.Frame(), 1u );
	EXPECT_EQ( plugin.DeltaTime(), plugin.TimeNow() );
	EXPECT_EQ( plugin.updateCalls, 1 );
	GLuint program = plugin.Program();
	EXPECT_EQ( UniformInt( program, "frame" ), 1 );
	EXPECT_EQ( UniformFloat( program, "bpm" ), 120.0f );
	EXPECT_EQ( UniformFloat( program, "phase" ), 0.0f );
	EXPECT_EQ( UniformFloat( program, "resolution", 0 ), 32.0f );
	EXPECT_EQ( UniformFloat( program, "resolution", 1 ), 16.0f );
	EXPECT_EQ( UniformFloat( program, "time" ), plugin.TimeNow() );

	float firstTime = plugin.TimeNow();
	plugin.SetBeatInfo( 90.0f, 0.5f );
	FFGLViewportStruct resized{ 0, 0, 64, 8 };
	plugin.Resize( &resized );
	EXPECT_EQ( plugin.ProcessOpenGL( &frame ), FF_SUCCESS );
	EXPECT_EQ( UniformInt( program, "frame" ), 2 );
	EXPECT_EQ( UniformFloat( program, "bpm" ), 90.0f );
	EXPECT_EQ( UniformFloat( program, "phase" ), 0.5f );
	EXPECT_EQ( UniformFloat( program, "resolution", 0 ), 64.0f );
	EXPECT_GE( plugin.TimeNow(), firstTime );
	EXPECT_FLOAT_EQ( plugin.DeltaTime(), plugin.TimeNow() - firstTime );
	EXPECT_EQ( UniformFloat( program, "deltaTime" ), plugin.DeltaTime() );

	GLint current = -1;
	glGetIntegerv( GL_CURRENT_PROGRAM, &current );
	EXPECT_EQ( current, 0 );
	plugin.DeInitGL();
}

namespace
{
const char* const colourCode_ = R"(
void main()
{
	fragColor = vec4( tint, 1.0 ) + paint + vec4( float( flag ) + float( fire ) + level );
}
)";
}

TEST_F( PluginGL, ColourGroupsTriggersAndParameterUniforms )
{
	Probe< ffglqs::Source > plugin;
	plugin.AddRGBColorParam( "tint" );
	plugin.AddHueColorParam( "paint" );
	plugin.AddParam( ffglqs::ParamBool::Create( "flag" ) );
	auto fire = ffglqs::ParamTrigger::Create( "fire" );
	plugin.AddParam( fire );
	plugin.AddParam( ffglqs::Param::Create( "level", 0.125f ) );
	plugin.SetFragmentShader( colourCode_ );
	ASSERT_EQ( plugin.InitGL( &viewport_ ), FF_SUCCESS );
	plughost::RenderTarget target( 32, 16 );
	target.Bind();
	ProcessOpenGLStruct frame{ 0, nullptr };
	GLuint program = plugin.Program();

	ASSERT_EQ( plugin.ProcessOpenGL( &frame ), FF_SUCCESS );
	for( int c = 0; c < 3; ++c )
		EXPECT_EQ( UniformFloat( program, "tint", c ), 0.5f );
	// Saturation 0 and brightness 1: white, opaque.
	for( int c = 0; c < 4; ++c )
		EXPECT_EQ( UniformFloat( program, "paint", c ), 1.0f );
	EXPECT_EQ( UniformInt( program, "flag" ), 0 );
	EXPECT_EQ( UniformInt( program, "fire" ), 0 );
	EXPECT_EQ( UniformFloat( program, "level" ), 0.125f );
	EXPECT_EQ( glGetUniformLocation( program, "tint_green" ), -1 );
	EXPECT_EQ( glGetUniformLocation( program, "paint_alpha" ), -1 );

	// Hue 1 is a full turn: pure red. Alpha is passed through.
	plugin.SetFloatParameter( 0, 0.25f );
	plugin.SetFloatParameter( 1, 0.75f );
	plugin.SetFloatParameter( 2, 1.0f );
	plugin.SetFloatParameter( 3, 1.0f );
	plugin.SetFloatParameter( 4, 1.0f );
	plugin.SetFloatParameter( 5, 1.0f );
	plugin.SetFloatParameter( 6, 0.5f );
	plugin.SetFloatParameter( 7, 0.7f );
	plugin.SetFloatParameter( 8, 1.0f );
	ASSERT_EQ( plugin.ProcessOpenGL( &frame ), FF_SUCCESS );
	EXPECT_EQ( UniformFloat( program, "tint", 0 ), 0.25f );
	EXPECT_EQ( UniformFloat( program, "tint", 1 ), 0.75f );
	EXPECT_EQ( UniformFloat( program, "tint", 2 ), 1.0f );
	EXPECT_FLOAT_EQ( UniformFloat( program, "paint", 0 ), 1.0f );
	EXPECT_FLOAT_EQ( UniformFloat( program, "paint", 1 ), 0.0f );
	EXPECT_FLOAT_EQ( UniformFloat( program, "paint", 2 ), 0.0f );
	EXPECT_FLOAT_EQ( UniformFloat( program, "paint", 3 ), 0.5f );
	EXPECT_EQ( UniformInt( program, "flag" ), 1 );
	EXPECT_EQ( UniformInt( program, "fire" ), 1 );// fired in this frame
	EXPECT_EQ( fire->GetValue(), 0.0f );           // and consumed after it

	// Hue 1/3 with full saturation: green (computed by hand: sextant 2, f = 0).
	plugin.SetFloatParameter( 3, 1.0f / 3.0f );
	plugin.SetFloatParameter( 7, std::numeric_limits< float >::quiet_NaN() );
	ASSERT_EQ( plugin.ProcessOpenGL( &frame ), FF_SUCCESS );
	EXPECT_NEAR( UniformFloat( program, "paint", 0 ), 0.0f, 1e-6 );
	EXPECT_NEAR( UniformFloat( program, "paint", 1 ), 1.0f, 1e-6 );
	EXPECT_NEAR( UniformFloat( program, "paint", 2 ), 0.0f, 1e-6 );
	EXPECT_EQ( UniformInt( program, "fire" ), 0 );
	EXPECT_EQ( UniformInt( program, "flag" ), 1 );// NaN counts as set
	plugin.DeInitGL();
}

TEST_F( PluginGL, SpectrumFromHostElementsFeedsTheAnalyser )
{
	Probe< ffglqs::Source > plugin;
	auto spectrum = ffglqs::ParamFFT::Create( "spectrum", 6 );
	plugin.AddParam( ffglqs::Param::Create( "first" ) );
	plugin.AddParam( spectrum );
	plugin.SetFragmentShader( "void main() { fragColor = vec4( first ); }" );
	ASSERT_EQ( plugin.InitGL( &viewport_ ), FF_SUCCESS );
	EXPECT_EQ( spectrum->index, 1u );
	for( uint32_t k = 0; k < 6; ++k )
		plugin.SetParamElementValue( 1, k, 0.5f );
	plughost::RenderTarget target( 32, 16 );
	target.Bind();
	ProcessOpenGLStruct frame{ 0, nullptr };
	ASSERT_EQ( plugin.ProcessOpenGL( &frame ), FF_SUCCESS );
	for( float bin : spectrum->fftData )
		EXPECT_EQ( bin, 0.5f );
	const ffglqs::Audio* audio = plugin.GetAudio( spectrum );
	ASSERT_NE( audio, nullptr );
	EXPECT_EQ( audio->GetFFT().size(), 6u );
	EXPECT_EQ( audio->GetVolume(), 0.0f );// gain starts at a factor of 0
	plugin.DeInitGL();
}

TEST_F( PluginGL, MissingInputsFailWithoutDrawing )
{
	Probe< ffglqs::Effect > effect;
	effect.SetFragmentShader( "void main() { fragColor = vec4( 1.0 ); }" );
	ASSERT_EQ( effect.InitGL( &viewport_ ), FF_SUCCESS );
	Probe< ffglqs::Mixer > mixer;
	mixer.SetFragmentShader( "void main() { fragColor = vec4( 1.0 ); }" );
	ASSERT_EQ( mixer.InitGL( &viewport_ ), FF_SUCCESS );

	plughost::RenderTarget target( 32, 16 );
	target.Clear();
	FFGLTextureStruct texture{ 4, 4, 4, 4, 0 };
	FFGLTextureStruct* one[] = { &texture };
	FFGLTextureStruct* nullFirst[] = { nullptr, &texture };
	FFGLTextureStruct* nullSecond[] = { &texture, nullptr };
	ProcessOpenGLStruct none{ 0, nullptr };
	ProcessOpenGLStruct nullInput{ 1, nullFirst };
	ProcessOpenGLStruct single{ 1, one };
	ProcessOpenGLStruct pairNullFirst{ 2, nullFirst };
	ProcessOpenGLStruct pairNullSecond{ 2, nullSecond };
	EXPECT_EQ( effect.Render( &none ), FF_FAIL );
	EXPECT_EQ( effect.Render( &nullInput ), FF_FAIL );
	EXPECT_EQ( effect.Render( nullptr ), FF_FAIL );
	EXPECT_EQ( effect.ProcessOpenGL( &none ), FF_FAIL );
	EXPECT_EQ( mixer.Render( &single ), FF_FAIL );
	EXPECT_EQ( mixer.Render( &pairNullFirst ), FF_FAIL );
	EXPECT_EQ( mixer.Render( &pairNullSecond ), FF_FAIL );
	EXPECT_EQ( mixer.ProcessOpenGL( &single ), FF_FAIL );
	plughost::Image pixels = target.ReadPixels();
	for( uint8_t byte : pixels.pixels )
		ASSERT_EQ( byte, 0 );
	effect.DeInitGL();
	mixer.DeInitGL();
}

TEST( TexCoords, ImagePartOfTheAllocation )
{
	ffglqs::TexCoords coords = ffglqs::GetMaxGLTexCoords( { 640, 360, 1024, 512, 0 } );
	EXPECT_EQ( coords.s, 0.625f );
	EXPECT_EQ( coords.t, 0.703125f );
	coords = ffglqs::GetMaxGLTexCoords( { 300, 200, 300, 200, 0 } );
	EXPECT_EQ( coords.s, 1.0f );
	EXPECT_EQ( coords.t, 1.0f );
}

// Every snippet, alone and all together, compiles as GLSL 4.10 inside the
// framework's own header.
TEST_F( PluginGL, SnippetsCompile )
{
	const char* const useAll_ = R"(
void main()
{
	float v = 0.0;
#ifdef USE_RANDOM
	v += random() + random3( uvec3( 1u, 2u, 3u ) ).x + random( uvec2( 4u, 5u ) );
#endif
#ifdef USE_MAP
	v += map( 0.5, 0.0, 1.0 ) + map( vec2( 0.5 ), vec2( 0.0 ), vec2( 1.0 ) ).x;
	v += map( 0.5, 0.0, 1.0, 2.0, 3.0 ) + map( vec2( 0.5 ), vec2( 0.0 ), vec2( 1.0 ), vec2( 2.0 ), vec2( 3.0 ) ).y;
#endif
#ifdef USE_NOISE
	v += fractal_noise( vec3( i_uv, time ), vec4( 0.5, 0.25, 0.125, 0.0625 ) ) + random3( vec3( 1.0 ) ).y;
#endif
	fragColor = vec4( v );
}
)";
	struct Case
	{
		std::set< ffglqs::shader::snippet_id > ids;
		std::string defines;
	};
	const Case cases[] = {
		{ { ffglqs::shader::random }, "#define USE_RANDOM\n" },
		{ { ffglqs::shader::map }, "#define USE_MAP\n" },
		{ { ffglqs::shader::noise }, "#define USE_NOISE\n" },
		{ { ffglqs::shader::random, ffglqs::shader::map, ffglqs::shader::noise }, "#define USE_RANDOM\n#define USE_MAP\n#define USE_NOISE\n" },
	};
	for( const Case& c : cases )
	{
		Probe< ffglqs::Source > plugin;
		plugin.Include( c.ids );
		plugin.SetFragmentShader( c.defines + useAll_ );
		EXPECT_EQ( plugin.InitGL( &viewport_ ), FF_SUCCESS ) << c.defines;
		plugin.DeInitGL();
	}
}

// The hash gives every pixel of every frame its own value.
TEST_F( PluginGL, RandomSnippetVariesOverPixelsAndFrames )
{
	Probe< ffglqs::Source > plugin;
	plugin.Include( ffglqs::shader::random );
	plugin.SetFragmentShader( "void main() { fragColor = vec4( vec3( random() ), 1.0 ); }" );
	ASSERT_EQ( plugin.InitGL( &viewport_ ), FF_SUCCESS );
	plughost::RenderTarget target( 32, 16 );
	target.Bind();
	ProcessOpenGLStruct frame{ 0, nullptr };
	ASSERT_EQ( plugin.ProcessOpenGL( &frame ), FF_SUCCESS );
	plughost::Image first = target.ReadPixels();
	ASSERT_EQ( plugin.ProcessOpenGL( &frame ), FF_SUCCESS );
	plughost::Image second = target.ReadPixels();
	int sameNeighbours = 0, sameAcrossFrames = 0;
	for( uint32_t y = 0; y < 16; ++y )
		for( uint32_t x = 0; x + 1 < 32; ++x )
		{
			sameNeighbours += first.At( x, y )[ 0 ] == first.At( x + 1, y )[ 0 ];
			sameAcrossFrames += first.At( x, y )[ 0 ] == second.At( x, y )[ 0 ];
		}
	// Equal 8-bit values happen by chance about once in 256 pairs.
	EXPECT_LT( sameNeighbours, 20 );
	EXPECT_LT( sameAcrossFrames, 20 );
	plugin.DeInitGL();
}

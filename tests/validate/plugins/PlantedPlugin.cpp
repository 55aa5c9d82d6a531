// A small source that keeps every rule the validator checks, unless one
// compile-time switch plants a single fault that one check must catch:
//   PLANT_NULL_RECORD    code 20 reads through a null time pointer
//   PLANT_TEXTURE_LEAK   every frame makes a texture and never deletes it
//   PLANT_PROGRAM_BOUND  a frame leaves its program bound
//   PLANT_UNIT3          a frame leaves texture unit 3 active
//   PLANT_FBO_UNBOUND    a frame ends by binding framebuffer 0
//   PLANT_NAN            NaN is stored and read back
//   PLANT_DISPLAY_NO_NUL display texts fill all 16 bytes, no terminator
//   PLANT_SHARED_VALUE   "Level" lives in one static for all instances
//   PLANT_GL_ERROR       a frame leaves GL_INVALID_ENUM pending
//   PLANT_HANG           code 20 with a NaN time never returns
//   PLANT_HEAP_OVERFLOW  texts are copied into an 8-byte heap block
//   PLANT_VAO_BOUND      a frame leaves a vertex array of its own bound
//   PLANT_INIT_PROGRAM   code 18 leaves the program bound (frames do not)
//   PLANT_ABORT_ON_NAN   code 8 with NaN aborts
//   PLANT_DIVIDE_BY_SIZE code 23 divides by the new width
//   PLANT_MODE_LEAK      each change of "Mode" makes a texture it never deletes
//   PLANT_SHARED_PROGRAM all instances share one program, and each one's end deletes it
//   PLANT_IGNORES_PADDING an effect that reads its input across the whole
//                        allocation, not only the picture
//   PLANT_PARAM_PROGRAM  code 8 leaves the program bound (frames do not)
//   PLANT_NO_INPUT_CHECK an effect that reads input 0 without looking at the
//                        count or for null
//   PLANT_WRITES_INPUT   an effect that clears the host's input texture to
//                        red through a framebuffer of its own
#include <FFGLSDK.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#if defined( PLANT_IGNORES_PADDING ) || defined( PLANT_NO_INPUT_CHECK ) || defined( PLANT_WRITES_INPUT )
#define PLANTED_EFFECT
#endif

namespace
{
const char vertexShader_[] = R"(#version 410 core
layout( location = 0 ) in vec4 position;
void main() { gl_Position = position; }
)";

#if defined( PLANT_IGNORES_PADDING )
const char fragmentShader_[] = R"(#version 410 core
uniform float level;
uniform float mode;
uniform sampler2D picture;
uniform vec2 resolution;
out vec4 colour;
void main() { colour = texture( picture, gl_FragCoord.xy / resolution ) * ( level + 0.5 ); }
)";
#else
const char fragmentShader_[] = R"(#version 410 core
uniform float level;
uniform float mode;
out vec4 colour;
void main() { colour = vec4( level, mode / 2.0, 0.25, 1.0 ); }
)";
#endif

#if defined( PLANT_SHARED_PROGRAM )
ffglex::FFGLShader sharedShader_;
#endif

#if defined( PLANT_SHARED_VALUE )
float sharedLevel_ = 0.5f;
#endif

class PlantedPlugin : public CFFGLPlugin
{
public:
	PlantedPlugin() : CFFGLPlugin( false )
	{
		SetTimeSupported( true );
#if defined( PLANTED_EFFECT )
		SetMinInputs( 1 );
		SetMaxInputs( 1 );
#endif
		SetParamInfo( 0, "Level", FF_TYPE_STANDARD, 0.5f );
		SetOptionParamInfo( 1, "Mode", 3, 0.0f );
		SetParamElementInfo( 1, 0, "Low", 0.0f );
		SetParamElementInfo( 1, 1, "Middle", 1.0f );
		SetParamElementInfo( 1, 2, "High", 2.0f );
		SetParamInfo( 2, "Label", FF_TYPE_TEXT, "hello" );
		SetParamInfo( 3, "Flag", FF_TYPE_BOOLEAN, false );
	}

	FFResult InitGL( const FFGLViewportStruct* viewport ) override
	{
		if( ( !Shader().IsReady() && !Shader().Compile( vertexShader_, fragmentShader_ ) ) || !quad.Initialise() )
		{
			DeInitGL();
			return FF_FAIL;
		}
#if defined( PLANT_VAO_BOUND )
		glGenVertexArrays( 1, &array );
#endif
#if defined( PLANT_INIT_PROGRAM )
		glUseProgram( Shader().GetGLID() );
#endif
		return CFFGLPlugin::InitGL( viewport );
	}
	FFResult DeInitGL() override
	{
		Shader().FreeGLResources();
		quad.Release();
#if defined( PLANT_VAO_BOUND )
		glDeleteVertexArrays( 1, &array );
#endif
#if defined( PLANT_MODE_LEAK )
		glDeleteTextures( 1, &modeTexture );
#endif
		return FF_SUCCESS;
	}

	FFResult ProcessOpenGL( ProcessOpenGLStruct* frame ) override
	{
#if defined( PLANT_NO_INPUT_CHECK )
		volatile GLuint input = frame->inputTextures[ 0 ]->Handle;
		(void)input;
#endif
#if defined( PLANT_WRITES_INPUT )
		if( frame->numInputTextures < 1 || frame->inputTextures == nullptr || frame->inputTextures[ 0 ] == nullptr )
			return FF_FAIL;
		GLint drawing = 0, reading = 0;
		glGetIntegerv( GL_DRAW_FRAMEBUFFER_BINDING, &drawing );
		glGetIntegerv( GL_READ_FRAMEBUFFER_BINDING, &reading );
		GLuint scratch = 0;
		glGenFramebuffers( 1, &scratch );
		glBindFramebuffer( GL_FRAMEBUFFER, scratch );
		glFramebufferTexture2D( GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, frame->inputTextures[ 0 ]->Handle, 0 );
		glClearColor( 1.0f, 0.0f, 0.0f, 1.0f );
		glClear( GL_COLOR_BUFFER_BIT );
		glBindFramebuffer( GL_DRAW_FRAMEBUFFER, static_cast< GLuint >( drawing ) );
		glBindFramebuffer( GL_READ_FRAMEBUFFER, static_cast< GLuint >( reading ) );
		glDeleteFramebuffers( 1, &scratch );
#endif
#if defined( PLANT_IGNORES_PADDING )
		if( frame->numInputTextures < 1 || frame->inputTextures == nullptr || frame->inputTextures[ 0 ] == nullptr )
			return FF_FAIL;
#endif
		glUseProgram( Shader().GetGLID() );
		Shader().Set( "level", Level() );
		Shader().Set( "mode", mode );
#if defined( PLANT_IGNORES_PADDING )
		glBindTexture( GL_TEXTURE_2D, frame->inputTextures[ 0 ]->Handle );
		Shader().Set( "picture", 0 );
		Shader().Set( "resolution", float( currentViewport.width ), float( currentViewport.height ) );
		quad.Draw();
		glBindTexture( GL_TEXTURE_2D, 0 );
#else
		(void)frame;
		quad.Draw();
#endif
#if defined( PLANT_VAO_BOUND )
		glBindVertexArray( array );
#endif
#if defined( PLANT_MODE_LEAK )
		if( mode != modeShown )
		{
			glGenTextures( 1, &modeTexture );// the previous one is lost
			glBindTexture( GL_TEXTURE_2D, modeTexture );
			glBindTexture( GL_TEXTURE_2D, 0 );
			modeShown = mode;
		}
#endif
#if defined( PLANT_TEXTURE_LEAK )
		GLuint texture = 0;
		glGenTextures( 1, &texture );
		glBindTexture( GL_TEXTURE_2D, texture );
		glBindTexture( GL_TEXTURE_2D, 0 );
#endif
#if defined( PLANT_UNIT3 )
		glActiveTexture( GL_TEXTURE3 );
#endif
#if defined( PLANT_FBO_UNBOUND )
		glBindFramebuffer( GL_FRAMEBUFFER, 0 );
#endif
#if defined( PLANT_GL_ERROR )
		glEnable( 0xDEAD );
#endif
#if !defined( PLANT_PROGRAM_BOUND )
		glUseProgram( 0 );
#endif
		return FF_SUCCESS;
	}

	FFResult SetFloatParameter( uint32_t index, float value ) override
	{
#if defined( PLANT_PARAM_PROGRAM )
		glUseProgram( Shader().GetGLID() );
#endif
#if defined( PLANT_ABORT_ON_NAN )
		if( std::isnan( value ) )
			std::abort();
#endif
#if !defined( PLANT_NAN )
		if( !std::isfinite( value ) )
			return FF_FAIL;
#endif
		switch( index )
		{
		case 0: Level() = value; return FF_SUCCESS;
		case 1: mode = value; return FF_SUCCESS;
		case 3: flag = value; return FF_SUCCESS;
		default: return FF_FAIL;
		}
	}
	float GetFloatParameter( uint32_t index ) override
	{
		switch( index )
		{
		case 0: return Level();
		case 1: return mode;
		case 3: return flag;
		default: return 0.0f;
		}
	}
	FFResult SetTextParameter( uint32_t index, const char* value ) override
	{
		if( index != 2 || value == nullptr )
			return FF_FAIL;
#if defined( PLANT_HEAP_OVERFLOW )
		delete[] copy;
		copy = new char[ 8 ];
		std::strcpy( copy, value );
#endif
		label = value;
		return FF_SUCCESS;
	}
	char* GetTextParameter( uint32_t index ) override
	{
		return index == 2 ? label.data() : CFFGLPlugin::GetTextParameter( index );
	}
#if defined( PLANT_DISPLAY_NO_NUL )
	char* GetParameterDisplay( uint32_t index ) override
	{
		if( index > 3 || index == 2 )
			return CFFGLPlugin::GetParameterDisplay( index );
		static char text[ 16 ];
		std::memset( text, '7', sizeof text );
		return text;
	}
#endif
#if defined( PLANT_DIVIDE_BY_SIZE )
	FFResult Resize( const FFGLViewportStruct* viewport ) override
	{
		volatile uint32_t width = viewport->width;
		aspect                  = viewport->height / width;
		return CFFGLPlugin::Resize( viewport );
	}
	uint32_t aspect = 0;
#endif
	FFResult SetTime( double time ) override
	{
#if defined( PLANT_HANG )
		while( std::isnan( time ) )
			usleep( 1000 );
#endif
		return CFFGLPlugin::SetTime( time );
	}
	~PlantedPlugin() override
	{
#if defined( PLANT_HEAP_OVERFLOW )
		delete[] copy;
#endif
	}

private:
	ffglex::FFGLShader& Shader()
	{
#if defined( PLANT_SHARED_PROGRAM )
		return sharedShader_;
#else
		return shader;
#endif
	}
	float& Level()
	{
#if defined( PLANT_SHARED_VALUE )
		return sharedLevel_;
#else
		return level;
#endif
	}

	ffglex::FFGLShader shader;
	ffglex::FFGLScreenQuad quad;
	float level = 0.5f, mode = 0.0f, flag = 0.0f;
#if defined( PLANT_VAO_BOUND )
	GLuint array = 0;
#endif
#if defined( PLANT_MODE_LEAK )
	GLuint modeTexture = 0;
	float modeShown    = 0.0f;
#endif
	std::string label = "hello";
#if defined( PLANT_HEAP_OVERFLOW )
	char* copy = nullptr;
#endif
};

#if defined( PLANTED_EFFECT )
constexpr uint32_t kType = FF_EFFECT;
#else
constexpr uint32_t kType = FF_SOURCE;
#endif
CFFGLPluginInfo pluginInfo_( PluginFactory< PlantedPlugin >, "PLNT", "Planted", 2, 1, 1, 0, kType,
							 "A source with one planted fault", "Validator tests" );
}// namespace

#if defined( PLANT_NULL_RECORD )
// The SDK's entry point is compiled under another name; this one forwards
// to it, except that it reads the time without looking.
extern "C" FFMixed SdkPlugMain( uint32_t code, FFMixed input, void* instance );

FFGL_EXPORT FFMixed plugMain( uint32_t code, FFMixed input, void* instance )
{
	if( code == FF_SET_TIME )
	{
		volatile double time = *static_cast< const double* >( input.PointerValue );
		(void)time;
	}
	return SdkPlugMain( code, input, instance );
}
#endif

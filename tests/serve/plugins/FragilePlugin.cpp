// A source for the preview server's tests: it fills the frame with
// (Level, 0, 0, 1), moves "Follow" to 1 - Level itself and reports it through
// a parameter event, and fails on demand: "Fault" = "Abort on set" aborts in
// the set call, "Abort on frame" in the next frame, "Hang on frame" never
// returns from the next frame. "Pulse" is an event. FRAGILE_BAD_SHADER makes
// the build whose shader does not compile (the compiler's log goes to
// standard output), FRAGILE_CRASH_ON_LOAD one that aborts while loading.
#include <FFGLSDK.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace
{
#if defined( FRAGILE_CRASH_ON_LOAD )
[[maybe_unused]] const int crashed_ = ( std::abort(), 0 );
#endif

enum Fault
{
	None,
	AbortOnSet,
	AbortOnFrame,
	HangOnFrame,
};

class FragilePlugin : public CFFGLPlugin
{
public:
	FragilePlugin() : CFFGLPlugin( false )
	{
		SetParamInfo( 0, "Level", FF_TYPE_STANDARD, 0.25f );
		SetParamInfo( 1, "Follow", FF_TYPE_STANDARD, 0.75f );
		SetOptionParamInfo( 2, "Fault", 4, 0.0f );
		SetParamElementInfo( 2, 0, "None", 0.0f );
		SetParamElementInfo( 2, 1, "Abort on set", 1.0f );
		SetParamElementInfo( 2, 2, "Abort on frame", 2.0f );
		SetParamElementInfo( 2, 3, "Hang on frame", 3.0f );
		SetParamInfo( 3, "Note", FF_TYPE_TEXT, "hello" );
		SetParamInfo( 4, "Pulse", FF_TYPE_EVENT, false );
	}

	FFResult InitGL( const FFGLViewportStruct* ) override
	{
#if defined( FRAGILE_BAD_SHADER )
		ffglex::FFGLShader shader;
		const bool built = shader.Compile( "#version 410 core\nvoid main() { gl_Position = vec4( 0.0 ); }\n",
										   "#version 410 core\nout vec4 colour;\nvoid main() { colour = undeclared_thing; }\n" );
		shader.FreeGLResources();
		return built ? FF_SUCCESS : FF_FAIL;
#else
		return FF_SUCCESS;
#endif
	}

	FFResult ProcessOpenGL( ProcessOpenGLStruct* ) override
	{
		if( fault == AbortOnFrame )
			std::abort();
		while( fault == HangOnFrame )
			std::this_thread::sleep_for( std::chrono::milliseconds( 100 ) );
		glClearColor( level, 0.0f, 0.0f, 1.0f );
		glClear( GL_COLOR_BUFFER_BIT );
		return FF_SUCCESS;
	}

	FFResult SetFloatParameter( uint32_t index, float value ) override
	{
		switch( index )
		{
		case 0:
			level  = value;
			follow = 1.0f - value;
			RaiseParamEvent( 1, FF_EVENT_FLAG_VALUE );
			return FF_SUCCESS;
		case 1: follow = value; return FF_SUCCESS;
		case 4: pulse = value; return FF_SUCCESS;
		case 2:
			fault = static_cast< Fault >( static_cast< int >( value ) );
			if( fault == AbortOnSet )
				std::abort();
			return FF_SUCCESS;
		default: return FF_FAIL;
		}
	}
	float GetFloatParameter( uint32_t index ) override
	{
		return index == 0 ? level : index == 1 ? follow : index == 2 ? static_cast< float >( fault ) : index == 4 ? pulse : 0.0f;
	}
	FFResult SetTextParameter( uint32_t index, const char* value ) override
	{
		if( index != 3 || value == nullptr )
			return FF_FAIL;
		note = value;
		return FF_SUCCESS;
	}
	char* GetTextParameter( uint32_t index ) override
	{
		return index == 3 ? const_cast< char* >( note.c_str() ) : CFFGLPlugin::GetTextParameter( index );
	}

private:
	float level  = 0.25f;
	float follow = 0.75f;
	float pulse  = 0.0f;
	Fault fault  = None;
	std::string note;
};

CFFGLPluginInfo pluginInfo_( PluginFactory< FragilePlugin >, "FRGL", "Fragile", 2, 1, 1, 0, FF_SOURCE,
							 "A plug-in that fails on demand", "Test team" );
}// namespace

// A source written against the bare host interface, without the SDK: one
// standard parameter, frames drawn by clearing. It keeps every rule unless a
// compile-time switch plants one fault:
//   HAND_ID_NUL          the ID is "AB" and two NULs
//   HAND_TYPE_7          the plug-in type is 7
//   HAND_API_1           the interface version is 1.0
//   HAND_UNKNOWN_CODE    code 1000 answers success
//   HAND_NAME_PAST_END   code 5 indexes past its table of names
//   HAND_NO_LOG_ENTRY    SetLogCallback is not exported
//   HAND_EXTRA_EXPORT    a variable is exported too (legal but risky)
//   HAND_DEFAULT_OUTSIDE the standard default 1.5 lies outside 0 .. 1
//   HAND_EVENTS_OVERRUN  code 46 writes one event past the host's capacity
//   HAND_GROUP_OVERRUN   code 50 writes its text whatever the capacity
//   HAND_CRASH_ON_LOAD   its static initialiser writes through a null pointer
//   HAND_EXIT_ON_RATE    code 40 ends the process
//   HAND_INIT_ONCE       code 34 succeeds only the first time
//   HAND_HOST_NAME_READ  code 39 reads the host's name without looking for null
//   HAND_CRASH_ON_DEINIT code 2 aborts
//   HAND_STATE_BETWEEN_FRAMES requests between frames leave GL state behind:
//                        code 20 unit 3 active, code 38 an error pending,
//                        code 39 framebuffer 0 bound, code 40 a new texture
//   HAND_NEEDS_INIT      (no fault) refuses code 18 until code 34, and again
//                        after code 2, as a plug-in may
#include <ffgl/FFGL.h>

#include <GL/glcorearb.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#define HAND_EXPORT extern "C" __attribute__( ( visibility( "default" ) ) )

namespace
{
struct State
{
	float level = 0.5f;
};

#if defined( HAND_ID_NUL )
PluginInfoStruct info_ = { 2, 1, { 'A', 'B', 0, 0 }, "Hand made", FF_SOURCE };
#elif defined( HAND_TYPE_7 )
PluginInfoStruct info_ = { 2, 1, { 'H', 'A', 'N', 'D' }, "Hand made", 7 };
#elif defined( HAND_API_1 )
PluginInfoStruct info_ = { 1, 0, { 'H', 'A', 'N', 'D' }, "Hand made", FF_SOURCE };
#else
PluginInfoStruct info_ = { 2, 1, { 'H', 'A', 'N', 'D' }, "Hand made", FF_SOURCE };
#endif
PluginExtendedInfoStruct extended_ = { 1, 0, "Written without the SDK", "Validator tests", 0, nullptr };
#if defined( HAND_DEFAULT_OUTSIDE )
constexpr float kDefault = 1.5f;
#else
constexpr float kDefault = 0.5f;
#endif
const char* const names_[] = { "Level" };
#if defined( HAND_NEEDS_INIT )
bool initialised_ = false;
#endif
char display_[ 16 ];

FFMixed U( uint32_t value )
{
	FFMixed mixed;
	mixed.PointerValue = nullptr;
	mixed.UIntValue    = value;
	return mixed;
}

FFMixed F( float value )
{
	FFMixed mixed;
	mixed.PointerValue = nullptr;
	mixed.FloatValue   = value;
	return mixed;
}

FFMixed P( const void* pointer )
{
	FFMixed mixed;
	mixed.PointerValue = const_cast< void* >( pointer );
	return mixed;
}

#if defined( HAND_CRASH_ON_LOAD )
struct CrashOnLoad
{
	CrashOnLoad()
	{
		volatile int* volatile none = nullptr;// read at run time: the compiler cannot drop the store
		*none              = 1;
	}
} crashOnLoad_;
#endif

bool NeedsInstance( uint32_t code )
{
	switch( code )
	{
	case 7: case 8: case 9: case 16: case 17: case 19: case 20: case 21: case 22:
	case 23: case 37: case 38: case 39: case 40: case 46: case 49: case 51:
		return true;
	default:
		return false;
	}
}

bool IsLevel( const GetParameterElementStruct* query )
{
	return query != nullptr && query->ParameterNumber == 0 && query->ElementNumber == 0;
}

FFResult TextAnswer( const GetStringStruct* query )
{
	if( query == nullptr || query->stringBuffer.address == nullptr || query->stringBuffer.maxToWrite == 0 )
		return FF_FAIL;
#if defined( HAND_GROUP_OVERRUN )
	std::strcpy( query->stringBuffer.address, query->parameterNumber == 0 ? "Levels" : "" );
#endif
	return FF_SUCCESS;
}
}// namespace

#if defined( HAND_EXTRA_EXPORT )
extern "C"
{
__attribute__( ( visibility( "default" ) ) ) int handMadeCounter = 0;
}
#endif

HAND_EXPORT FFMixed plugMain( uint32_t code, FFMixed input, void* instance )
{
	auto* self = static_cast< State* >( instance );
	if( NeedsInstance( code ) && self == nullptr )
		return code == FF_GET_PARAMETER_DISPLAY ? P( FFWidenedFail() ) : U( FF_FAIL );
#if defined( HAND_STATE_BETWEEN_FRAMES )
	if( code == FF_SET_TIME )
		glActiveTexture( GL_TEXTURE3 );
	if( code == FF_SET_BEATINFO )
		glEnable( 0xDEAD );
	if( code == FF_SET_HOSTINFO )
		glBindFramebuffer( GL_FRAMEBUFFER, 0 );
	if( code == FF_SET_SAMPLERATE )
	{
		GLuint texture = 0;
		glGenTextures( 1, &texture );
		glBindTexture( GL_TEXTURE_2D, texture );
		glBindTexture( GL_TEXTURE_2D, 0 );
	}
#endif
	const uint32_t index = input.UIntValue;
	switch( code )
	{
	case FF_GET_INFO: return P( &info_ );
	case FF_DEINITIALISE:
#if defined( HAND_CRASH_ON_DEINIT )
		std::abort();
#endif
#if defined( HAND_NEEDS_INIT )
		initialised_ = false;
#endif
		return U( FF_SUCCESS );
	case FF_INITIALISE_V2:
#if defined( HAND_NEEDS_INIT )
		initialised_ = true;
#endif
#if defined( HAND_INIT_ONCE )
	{
		static bool initialised = false;
		if( initialised )
			return U( FF_FAIL );
		initialised = true;
	}
#endif
		return U( FF_SUCCESS );
	case FF_GET_NUM_PARAMETERS: return U( 1 );
#if defined( HAND_NAME_PAST_END )
	case FF_GET_PARAMETER_NAME: return P( names_[ index ] );
#else
	case FF_GET_PARAMETER_NAME: return P( index == 0 ? names_[ 0 ] : nullptr );
#endif
	case FF_GET_PARAMETER_DEFAULT: return index == 0 ? F( kDefault ) : U( FF_FAIL );
	case FF_GET_PARAMETER_DISPLAY:
		if( index != 0 )
			return P( nullptr );
		std::snprintf( display_, sizeof display_, "%.3f", static_cast< double >( self->level ) );
		return P( display_ );
	case FF_SET_PARAMETER:
	{
		const auto* record = static_cast< const SetParameterStruct* >( input.PointerValue );
		if( record == nullptr || record->ParameterNumber != 0 || !std::isfinite( record->NewParameterValue.FloatValue ) )
			return U( FF_FAIL );
		self->level = record->NewParameterValue.FloatValue;
		return U( FF_SUCCESS );
	}
	case FF_GET_PARAMETER: return F( index == 0 ? self->level : 0.0f );
	case FF_GET_PLUGIN_CAPS: return U( index == FF_CAP_SET_TIME ? 1 : 0 );
	case FF_GET_EXTENDED_INFO: return P( &extended_ );
	case FF_GET_PARAMETER_TYPE: return U( index == 0 ? FF_TYPE_STANDARD : FF_FAIL );
	case FF_PROCESS_OPENGL:
		if( input.PointerValue == nullptr )
			return U( FF_FAIL );
		glClearColor( self->level, 0.25f, 0.5f, 1.0f );
		glClear( GL_COLOR_BUFFER_BIT );
		return U( FF_SUCCESS );
	case FF_INSTANTIATE_GL:
	{
#if defined( HAND_NEEDS_INIT )
		if( !initialised_ )
			return P( FFWidenedFail() );
#endif
		State* made = input.PointerValue != nullptr ? new( std::nothrow ) State : nullptr;
		if( made == nullptr )
			return P( FFWidenedFail() );
		made->level = std::fmin( kDefault, 1.0f );
		return P( made );
	}
	case FF_DEINSTANTIATE_GL: delete self; return U( FF_SUCCESS );
#if defined( HAND_HOST_NAME_READ )
	case FF_SET_HOSTINFO:
		if( input.PointerValue == nullptr )
			return U( FF_FAIL );
		return U( std::strlen( static_cast< const SetHostinfoStruct* >( input.PointerValue )->hostName ) < 1000000 ? FF_SUCCESS : FF_FAIL );
#else
	case FF_SET_HOSTINFO:
#endif
	case FF_SET_TIME:
	case FF_RESIZE:
	case FF_SET_BEATINFO: return U( input.PointerValue != nullptr ? FF_SUCCESS : FF_FAIL );
	case FF_SET_SAMPLERATE:
#if defined( HAND_EXIT_ON_RATE )
		std::exit( 3 );
#endif
	case FF_CONNECT:
	case FF_DISCONNECT: return U( FF_SUCCESS );
	case FF_GET_NUM_PARAMETER_ELEMENTS: return U( index == 0 ? 1 : FF_FAIL );
	case FF_GET_PARAMETER_USAGE: return U( index == 0 ? FF_USAGE_STANDARD : FF_FAIL );
	case FF_GET_PARAMETER_ELEMENT_NAME: return P( IsLevel( static_cast< GetParameterElementStruct* >( input.PointerValue ) ) ? "" : nullptr );
	case FF_GET_PARAMETER_ELEMENT_VALUE:
		return IsLevel( static_cast< GetParameterElementStruct* >( input.PointerValue ) ) ? F( 0.0f ) : U( FF_FAIL );
	case FF_GET_RANGE:
	{
		auto* range = static_cast< RangeStruct* >( input.PointerValue );
		if( range == nullptr )
			return U( FF_FAIL );
		range->min = 0.0f;
		range->max = 1.0f;
		return U( FF_SUCCESS );
	}
	case FF_GET_THUMBNAIL:
		if( auto* thumbnail = static_cast< GetThumbnailStruct* >( input.PointerValue ) )
			thumbnail->width = thumbnail->height = 0;
		return U( FF_FAIL );
	case FF_GET_NUM_FILE_PARAMETER_EXTENSIONS:
	case FF_GET_NUM_ELEMENT_SEPARATORS: return U( 0 );
	case FF_GET_PARAMETER_VISIBILITY: return U( index == 0 ? 1 : FF_FAIL );
	case FF_GET_PARAMETER_EVENTS:
	{
		auto* record = static_cast< GetParamEventsStruct* >( input.PointerValue );
		if( record == nullptr )
			return U( FF_FAIL );
#if defined( HAND_EVENTS_OVERRUN )
		if( record->events != nullptr )
			for( uint32_t i = 0; i <= record->numEvents; ++i )
				record->events[ i ] = { 0, FF_EVENT_FLAG_VALUE };
#endif
		record->numEvents = 0;
		return U( FF_SUCCESS );
	}
	case FF_GET_PARAM_GROUP:
	case FF_GET_PARAM_DISPLAY_NAME: return U( TextAnswer( static_cast< const GetStringStruct* >( input.PointerValue ) ) );
#if defined( HAND_UNKNOWN_CODE )
	case 1000: return U( FF_SUCCESS );
#endif
	default: return U( FF_FAIL );// 16, 33, 37, 44, 48, 49 and every unknown code
	}
}

#if !defined( HAND_NO_LOG_ENTRY )
HAND_EXPORT void SetLogCallback( FFGLLogCallback )
{
}
#endif

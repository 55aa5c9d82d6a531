// libFuzzer driver: decodes the input bytes into a sequence of plugMain
// requests to the plug-in linked into this executable, as a careless but
// honest host would send them. Each request is
//
//   op      function code: 0-63 as it is, 0xFF then four bytes for any code,
//           0xFE switches the log callback on or off, anything else picks
//           one of the defined codes
//   flags   bit 7: a null input pointer; bits 0-6 pick the instance handle
//           (none, or one of the live instances; never a stale one)
//   input   per code: numbers, odd floats (NaN, infinities, extremes), or a record of the right size
//
// Whatever the interface leaves to the host is kept consistent: counts match
// their arrays, capacities their buffers, texts end in NUL, handles are live.
// What the plug-in has to check itself comes from the bytes: parameter
// indices, floats, sizes, element numbers, capability codes and flags.
//
// GL requests run on one headless context made once per process, with the
// host's framebuffer bound. After every request no GL error may be pending
// and the GL bindings must be as the host left them; after every input all
// live instances are destroyed, the plug-in de-initialised, and no GL object
// made during the input may still be alive. Breaking any of these aborts.
#include <ffgl/FFGL.h>

#include "GLObjectsSince.h"
#include <GLContext.h>

#include <GL/glcorearb.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace
{
constexpr size_t kMaxRequests  = 256;
constexpr size_t kMaxInstances = 6;
constexpr GLsizei kTargetSize  = 16;

const uint32_t definedCodes_[] = { 0, 2, 4, 5, 6, 7, 8, 9, 10, 13, 15, 16, 17, 18, 19, 20, 21, 22, 23,
								   31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51 };

[[noreturn]] void Finding( const std::string& what )
{
	std::fprintf( stderr, "FINDING: %s\n", what.c_str() );
	std::abort();
}

// Reads the input front to back; past its end every value is 0.
class Reader
{
public:
	Reader( const uint8_t* data, size_t size ) : data( data ), size( size ) {}

	bool More() const { return position < size; }
	uint8_t U8() { return position < size ? data[ position++ ] : 0; }
	uint32_t U32()
	{
		uint32_t value = 0;
		for( int i = 0; i < 4; ++i )
			value |= static_cast< uint32_t >( U8() ) << ( 8 * i );
		return value;
	}
	uint64_t U64() { return U32() | static_cast< uint64_t >( U32() ) << 32; }

	// Parameter, element and input indices: mostly near the real ones.
	uint32_t Index()
	{
		const uint8_t b = U8();
		if( b < 0xC0 )
			return b % 32;
		if( b < 0xF0 )
			return b;
		if( b < 0xFF )
			return 0xFFFFFFFFu - ( b - 0xF0u );
		return U32();
	}

	float Float()
	{
		static const float oddValues[] = { 0.0f, 1.0f, -1.0f, 0.5f,
										  std::numeric_limits< float >::quiet_NaN(), -std::numeric_limits< float >::quiet_NaN(),
										  std::numeric_limits< float >::infinity(), -std::numeric_limits< float >::infinity(),
										  -0.0f, FLT_MAX, -FLT_MAX, FLT_MIN,
										  std::numeric_limits< float >::denorm_min(), 1e9f, -1e9f, 2147483648.0f };
		const uint8_t b = U8();
		if( b < 16 )
			return oddValues[ b ];
		if( b == 0xFE )
		{
			const uint32_t bits = U32();
			float value;
			std::memcpy( &value, &bits, sizeof value );
			return value;
		}
		if( b == 0xFF )
			return static_cast< float >( static_cast< int32_t >( U32() ) );
		return static_cast< float >( b - 16 ) / 237.0f * 2.0f - 0.5f;// -0.5 to 1.5
	}

	double Double()
	{
		static const double oddValues[] = { 0.0, 1.0, -1.0, std::numeric_limits< double >::quiet_NaN(),
										   std::numeric_limits< double >::infinity(), -std::numeric_limits< double >::infinity(),
										   DBL_MAX, -DBL_MAX, 1e300, -1e300, 9.3e18, std::numeric_limits< double >::denorm_min() };
		const uint8_t b = U8();
		if( b < 12 )
			return oddValues[ b ];
		if( b == 0xFF )
		{
			const uint64_t bits = U64();
			double value;
			std::memcpy( &value, &bits, sizeof value );
			return value;
		}
		return static_cast< double >( b ) * 37.5;
	}

	// Viewport and texture sizes: small ones, the edges of the type, or any.
	uint32_t Size()
	{
		static const uint32_t edges[] = { 16384, 65535, 65536, 1u << 20, 1u << 30, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu };
		const uint8_t b = U8();
		if( b < 0xF0 )
			return b * 3u;
		if( b < 0xF8 )
			return edges[ b - 0xF0 ];
		return U32();
	}

	// A NUL-terminated text the caller keeps alive, or null.
	const char* Text( std::vector< std::unique_ptr< std::string > >& keep )
	{
		const uint8_t length = U8();
		if( length == 0xFF )
			return nullptr;
		auto text = std::make_unique< std::string >();
		for( uint8_t i = 0; i < length % 64; ++i )
			text->push_back( static_cast< char >( U8() ) );
		keep.push_back( std::move( text ) );
		return keep.back()->c_str();
	}

private:
	const uint8_t* data;
	size_t size;
	size_t position = 0;
};

struct Harness
{
	std::unique_ptr< plughost::GLContext > context;
	GLuint framebuffer = 0, colour = 0;
	GLuint textures[ 2 ] = {};
	std::set< uint32_t > textParameters;// of the prototype, learned once
	bool logging = true;
};
Harness* harness_ = nullptr;

FFMixed Call( uint32_t code, FFMixed input, void* instance )
{
	return plugMain( code, input, instance );
}

FFMixed U( uint32_t value )
{
	FFMixed mixed;
	mixed.PointerValue = nullptr;
	mixed.UIntValue    = value;
	return mixed;
}

FFMixed P( const void* pointer )
{
	FFMixed mixed;
	mixed.PointerValue = const_cast< void* >( pointer );
	return mixed;
}

void LogSink( const char* message )
{
	if( std::strlen( message ) > 1u << 20 )
		Finding( "a log message longer than a megabyte" );
}

bool IsFailed( const void* pointer )
{
	return pointer == nullptr || pointer == FFWidenedFail();
}

// Reads a text answer to its end: a missing terminator or a dangling
// pointer shows up as a sanitizer report here.
void TouchText( const void* answer )
{
	if( !IsFailed( answer ) )
		( void )std::strlen( static_cast< const char* >( answer ) );
}

GLint Get( GLenum what )
{
	GLint value = 0;
	glGetIntegerv( what, &value );
	return value;
}

// The plug-in must leave GL as the host had it: no error pending, its own
// objects unbound, the host's framebuffer still bound.
void CheckGL( uint32_t code )
{
	const GLenum error = glGetError();
	if( error != GL_NO_ERROR )
		Finding( "GL error " + std::to_string( error ) + " pending after code " + std::to_string( code ) );
	const struct
	{
		GLenum what;
		GLint expected;
		const char* name;
	} bindings[] = {
		{ GL_CURRENT_PROGRAM, 0, "program" },
		{ GL_VERTEX_ARRAY_BINDING, 0, "vertex array" },
		{ GL_ARRAY_BUFFER_BINDING, 0, "array buffer" },
		{ GL_RENDERBUFFER_BINDING, 0, "renderbuffer" },
		{ GL_ACTIVE_TEXTURE, GL_TEXTURE0, "active texture unit" },
		{ GL_DRAW_FRAMEBUFFER_BINDING, static_cast< GLint >( harness_->framebuffer ), "draw framebuffer" },
		{ GL_READ_FRAMEBUFFER_BINDING, static_cast< GLint >( harness_->framebuffer ), "read framebuffer" },
	};
	for( const auto& binding : bindings )
		if( Get( binding.what ) != binding.expected )
			Finding( std::string( binding.name ) + " binding left changed by code " + std::to_string( code ) );
	for( GLenum unit = 0; unit < 16; ++unit )
	{
		glActiveTexture( GL_TEXTURE0 + unit );
		const GLint bound = Get( GL_TEXTURE_BINDING_2D );
		if( bound != 0 )
			Finding( "texture left bound on unit " + std::to_string( unit ) + " by code " + std::to_string( code ) );
	}
	glActiveTexture( GL_TEXTURE0 );
}

// Everything one request needs to stay alive until plugMain returns.
struct Storage
{
	std::vector< std::unique_ptr< std::string > > texts;
	std::vector< std::unique_ptr< uint8_t[] > > blocks;
	std::vector< FFGLTextureStruct > textures = std::vector< FFGLTextureStruct >( 4 );

	template< typename T >
	T* Record()
	{
		blocks.push_back( std::make_unique< uint8_t[] >( sizeof( T ) ) );
		std::memset( blocks.back().get(), 0, sizeof( T ) );
		return reinterpret_cast< T* >( blocks.back().get() );
	}
	// Exactly `size` bytes, so the sanitizer sees any write past them.
	uint8_t* Buffer( size_t size )
	{
		blocks.push_back( std::make_unique< uint8_t[] >( size ) );
		return blocks.back().get();
	}
};

FFGLViewportStruct Viewport( Reader& in )
{
	FFGLViewportStruct viewport;
	viewport.x      = in.Size();
	viewport.y      = in.Size();
	viewport.width  = in.Size();
	viewport.height = in.Size();
	return viewport;
}

// The input value of one request; `nullInput` asks for a null record.
FFMixed Input( uint32_t code, Reader& in, bool nullInput, Storage& keep )
{
	switch( code )
	{
	case FF_GET_PARAMETER_NAME:
	case FF_GET_PARAMETER_DEFAULT:
	case FF_GET_PARAMETER_DISPLAY:
	case FF_GET_PARAMETER:
	case FF_GET_PLUGIN_CAPS:
	case FF_GET_PARAMETER_TYPE:
	case FF_GET_INPUT_STATUS:
	case FF_GET_NUM_PARAMETER_ELEMENTS:
	case FF_GET_PARAMETER_USAGE:
	case FF_GET_NUM_FILE_PARAMETER_EXTENSIONS:
	case FF_GET_PARAMETER_VISIBILITY:
	case FF_GET_NUM_ELEMENT_SEPARATORS:
	case FF_ENABLE_PLUGIN_CAP:
		return U( in.Index() );
	case FF_SET_SAMPLERATE:
		return U( in.Size() );
	case FF_GET_INFO:
	case FF_DEINITIALISE:
	case FF_GET_NUM_PARAMETERS:
	case FF_GET_EXTENDED_INFO:
	case FF_DEINSTANTIATE_GL:
	case FF_CONNECT:
	case FF_DISCONNECT:
	case FF_GET_PLUGIN_SHORT_NAME:
	case FF_INITIALISE_V2:
		return U( 0 );
	default:
		break;
	}
	if( nullInput )
		return P( nullptr );

	switch( code )
	{
	case FF_SET_PARAMETER:
	{
		auto* record            = keep.Record< SetParameterStruct >();
		record->ParameterNumber = in.Index();
		if( harness_->textParameters.count( record->ParameterNumber ) != 0 )
			record->NewParameterValue.PointerValue = const_cast< char* >( in.Text( keep.texts ) );
		else
			record->NewParameterValue.FloatValue = in.Float();
		return P( record );
	}
	case FF_PROCESS_OPENGL:
	{
		auto* frame             = keep.Record< ProcessOpenGLStruct >();
		frame->numInputTextures = in.U8() % 4;
		// Exactly as many pointers as the count says.
		auto** pointers = reinterpret_cast< FFGLTextureStruct** >( keep.Buffer( frame->numInputTextures * sizeof( FFGLTextureStruct* ) ) );
		for( uint32_t i = 0; i < frame->numInputTextures; ++i )
		{
			const uint8_t pick         = in.U8();
			FFGLTextureStruct& texture = keep.textures[ i ];
			texture = FFGLTextureStruct{ 16, 12, 16, 16, pick % 3 == 2 ? 0 : harness_->textures[ pick % 3 ] };
			if( pick & 0x10 )
			{
				texture.Width          = in.Size();
				texture.Height         = in.Size();
				texture.HardwareWidth  = in.Size();
				texture.HardwareHeight = in.Size();
			}
			pointers[ i ] = ( pick & 0xE0 ) == 0xE0 ? nullptr : &texture;
		}
		frame->inputTextures = pointers;
		return P( frame );
	}
	case FF_INSTANTIATE_GL:
	case FF_RESIZE:
	{
		auto* viewport = keep.Record< FFGLViewportStruct >();
		*viewport      = Viewport( in );
		return P( viewport );
	}
	case FF_SET_TIME:
	{
		auto* time = keep.Record< double >();
		*time      = in.Double();
		return P( time );
	}
	case FF_GET_PARAMETER_ELEMENT_NAME:
	case FF_GET_PARAMETER_ELEMENT_VALUE:
	case FF_GET_FILE_PARAMETER_EXTENSION:
	case FF_GET_SEPARATOR_ELEMENT_INDEX:
	{
		auto* query            = keep.Record< GetParameterElementStruct >();
		query->ParameterNumber = in.Index();
		query->ElementNumber   = in.Index();
		return P( query );
	}
	case FF_SET_PARAMETER_ELEMENT_VALUE:
	{
		auto* record              = keep.Record< SetParameterElementValueStruct >();
		record->ParameterNumber   = in.Index();
		record->ElementNumber     = in.Index();
		record->NewParameterValue = in.Float();
		return P( record );
	}
	case FF_SET_BEATINFO:
	{
		auto* beat     = keep.Record< SetBeatinfoStruct >();
		beat->bpm      = in.Float();
		beat->barPhase = in.Float();
		return P( beat );
	}
	case FF_SET_HOSTINFO:
	{
		auto* info        = keep.Record< SetHostinfoStruct >();
		info->hostName    = in.Text( keep.texts );
		info->hostVersion = in.Text( keep.texts );
		return P( info );
	}
	case FF_GET_RANGE:
	{
		auto* range            = keep.Record< RangeStruct >();
		range->parameterNumber = in.Index();
		return P( range );
	}
	case FF_GET_THUMBNAIL:
		return P( keep.Record< GetThumbnailStruct >() );
	case FF_GET_PARAMETER_EVENTS:
	{
		auto* record       = keep.Record< GetParamEventsStruct >();
		const uint8_t size = in.U8();
		// With a null array the count is only written, never read.
		record->numEvents = size & 0x7F;
		if( ( size & 0x80 ) == 0 )
			record->events = reinterpret_cast< ParamEventStruct* >( keep.Buffer( record->numEvents * sizeof( ParamEventStruct ) ) );
		return P( record );
	}
	case FF_GET_PARAM_GROUP:
	case FF_GET_PARAM_DISPLAY_NAME:
	{
		auto* query            = keep.Record< GetStringStruct >();
		query->parameterNumber = in.Index();
		const uint8_t capacity = in.U8();
		if( capacity != 0xFF )
		{
			query->stringBuffer.address    = reinterpret_cast< char* >( keep.Buffer( capacity ) );
			query->stringBuffer.maxToWrite = capacity;
		}
		return P( query );
	}
	default:
		// Unknown codes get any eight bytes: the plug-in must not read them.
		FFMixed raw;
		raw.PointerValue = reinterpret_cast< void* >( in.U64() );
		return raw;
	}
}

// Reads every answer that points into the plug-in as a host would.
void CheckAnswer( uint32_t code, FFMixed input, FFMixed answer, void* instance )
{
	switch( code )
	{
	case FF_GET_INFO:
		if( answer.PointerValue != nullptr )
		{
			PluginInfoStruct copy;
			std::memcpy( &copy, answer.PointerValue, sizeof copy );
		}
		break;
	case FF_GET_EXTENDED_INFO:
		if( answer.PointerValue != nullptr )
		{
			PluginExtendedInfoStruct copy;
			std::memcpy( &copy, answer.PointerValue, sizeof copy );
			TouchText( copy.Description );
			TouchText( copy.About );
		}
		break;
	case FF_GET_PARAMETER_NAME:
	case FF_GET_PARAMETER_DISPLAY:
	case FF_GET_PLUGIN_SHORT_NAME:
	case FF_GET_PARAMETER_ELEMENT_NAME:
	case FF_GET_FILE_PARAMETER_EXTENSION:
		TouchText( answer.PointerValue );
		break;
	case FF_GET_PARAMETER_DEFAULT:
	case FF_GET_PARAMETER:
		if( harness_->textParameters.count( input.UIntValue ) != 0 )
			TouchText( answer.PointerValue );
		break;
	case FF_GET_THUMBNAIL:
	{
		// A host asks for the size first, then hands over a buffer for it.
		auto* record = static_cast< GetThumbnailStruct* >( input.PointerValue );
		if( record == nullptr || answer.UIntValue != FF_SUCCESS )
			break;
		const uint64_t bytes = static_cast< uint64_t >( record->width ) * record->height * 4;
		if( bytes == 0 || bytes > ( 64u << 20 ) )
			break;
		std::vector< uint8_t > pixels( bytes );
		GetThumbnailStruct second{ 0, 0, pixels.data() };
		Call( code, P( &second ), instance );
		break;
	}
	default:
		break;
	}
}

void Initialise()
{
	harness_          = new Harness;
	harness_->context = std::make_unique< plughost::GLContext >();
	glGenTextures( 2, harness_->textures );
	for( GLuint texture : harness_->textures )
	{
		glBindTexture( GL_TEXTURE_2D, texture );
		glTexImage2D( GL_TEXTURE_2D, 0, GL_RGBA8, 16, 16, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr );
	}
	glBindTexture( GL_TEXTURE_2D, 0 );
	glGenTextures( 1, &harness_->colour );
	glBindTexture( GL_TEXTURE_2D, harness_->colour );
	glTexImage2D( GL_TEXTURE_2D, 0, GL_RGBA8, kTargetSize, kTargetSize, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr );
	glBindTexture( GL_TEXTURE_2D, 0 );
	glGenFramebuffers( 1, &harness_->framebuffer );
	glBindFramebuffer( GL_FRAMEBUFFER, harness_->framebuffer );
	glFramebufferTexture2D( GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, harness_->colour, 0 );
	glViewport( 0, 0, kTargetSize, kTargetSize );

	// The parameter kinds a host learns before it sends values.
	const uint32_t count = Call( FF_GET_NUM_PARAMETERS, U( 0 ), nullptr ).UIntValue;
	for( uint32_t i = 0; count != FF_FAIL && i < count; ++i )
	{
		const uint32_t type = Call( FF_GET_PARAMETER_TYPE, U( i ), nullptr ).UIntValue;
		if( type == FF_TYPE_TEXT || type == FF_TYPE_FILE )
			harness_->textParameters.insert( i );
	}
	Call( FF_DEINITIALISE, U( 0 ), nullptr );
	CheckGL( FF_DEINITIALISE );
}

void RunInput( const uint8_t* data, size_t size )
{
	Reader in( data, size );
	const glcensus::GLObjectsSince census;
	std::vector< void* > live;
	harness_->logging = true;
	SetLogCallback( LogSink );

	for( size_t request = 0; request < kMaxRequests && in.More(); ++request )
	{
		const uint8_t op    = in.U8();
		const uint8_t flags = in.U8();
		if( op == 0xFE )
		{
			harness_->logging = !harness_->logging;
			SetLogCallback( harness_->logging ? LogSink : nullptr );
			continue;
		}
		uint32_t code = op < 0x40 ? op : ( op == 0xFF ? in.U32() : definedCodes_[ op % ( sizeof definedCodes_ / sizeof definedCodes_[ 0 ] ) ] );
		const size_t pick = ( flags & 0x7F ) % ( live.size() + 1 );
		void* instance    = pick == 0 ? nullptr : live[ pick - 1 ];
		if( code == FF_INSTANTIATE_GL && live.size() >= kMaxInstances )
			code = FF_GET_INFO;

		Storage keep;
		const FFMixed input  = Input( code, in, ( flags & 0x80 ) != 0, keep );
		const FFMixed answer = Call( code, input, instance );
		CheckAnswer( code, input, answer, instance );
		CheckGL( code );

		if( code == FF_INSTANTIATE_GL && !IsFailed( answer.PointerValue ) )
			live.push_back( answer.PointerValue );
		if( code == FF_DEINSTANTIATE_GL && instance != nullptr )
			live.erase( live.begin() + static_cast< std::ptrdiff_t >( pick - 1 ) );
	}

	for( void* instance : live )
		Call( FF_DEINSTANTIATE_GL, U( 0 ), instance );
	Call( FF_DEINITIALISE, U( 0 ), nullptr );
	SetLogCallback( nullptr );
	CheckGL( FF_DEINSTANTIATE_GL );
	const std::vector< std::string > alive = census.Alive();
	if( !alive.empty() )
		Finding( "GL objects alive after every instance was destroyed: " + glcensus::Describe( alive ) );
}
}// namespace

extern "C" int LLVMFuzzerInitialize( int*, char*** )
{
	Initialise();
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput( const uint8_t* data, size_t size )
{
	RunInput( data, size );
	return 0;
}

#include "Harness.h"

#include "Protocol.h"

#include <EntryPointValues.h>
#include <Requests.h>

#include <GL/glcorearb.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace plughost::validate
{
namespace
{
// The most parameters the harness walks; more is judged by parameters.count.
constexpr uint32_t kMaxParams = 1024;
}// namespace

std::string Request( uint32_t code )
{
	const char* label = RequestLabel( code );
	return "code " + std::to_string( code ) + " (" + ( label ? label : "no such request" ) + ")";
}

std::string Answer( uint32_t answer )
{
	return answer == FF_FAIL ? "failure" : std::to_string( answer );
}

std::string Shown( float value )
{
	if( std::isnan( value ) )
	{
		uint32_t bits = 0;
		std::memcpy( &bits, &value, sizeof bits );
		if( bits == 0x7FC00000u )
			return "NaN";
		char text[ 32 ];
		std::snprintf( text, sizeof text, "NaN (0x%08X)", bits );
		return text;
	}
	if( std::isinf( value ) )
		return value > 0 ? "inf" : "-inf";
	// The shortest text that reads back as the same float: 1e+30, not
	// 1.00000002e+30.
	// Plain digits for ordinary magnitudes: 120, not 1.2e+02.
	const double magnitude = std::fabs( static_cast< double >( value ) );
	const bool plain       = magnitude >= 1e-4 && magnitude < 1e9;
	char text[ 32 ];
	for( int digits = 1; digits <= 9; ++digits )
	{
		std::snprintf( text, sizeof text, "%.*g", digits, static_cast< double >( value ) );
		if( std::strtof( text, nullptr ) == value && !( plain && std::strchr( text, 'e' ) != nullptr ) )
			break;
	}
	return text;
}

std::optional< std::string > ReadText( const char* text, std::size_t limit )
{
	const std::size_t length = strnlen( text, limit + 1 );
	if( length > limit )
		return std::nullopt;
	return std::string( text, length );
}

std::string GLErrorName( uint32_t error )
{
	switch( error )
	{
	case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
	case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
	case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
	case GL_INVALID_FRAMEBUFFER_OPERATION: return "GL_INVALID_FRAMEBUFFER_OPERATION";
	case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
	case GL_STACK_UNDERFLOW: return "GL_STACK_UNDERFLOW";
	case GL_STACK_OVERFLOW: return "GL_STACK_OVERFLOW";
	default: return "GL error " + std::to_string( error );
	}
}

bool SameValue( float a, float b )
{
	return a == b || ( std::isnan( a ) && std::isnan( b ) );
}

float Param::DistinctValue() const
{
	for( float value : elementValues )
		if( value != defaultValue )
			return value;
	if( type == FF_TYPE_BOOLEAN || type == FF_TYPE_EVENT )
		return defaultValue > 0.5f ? 0.0f : 1.0f;
	const float middle = minimum + 0.5f * ( maximum - minimum );
	float value = minimum + ( defaultValue <= middle ? 0.75f : 0.25f ) * ( maximum - minimum );
	if( type == FF_TYPE_INTEGER )
		value = std::round( value );
	return value == defaultValue ? defaultValue + 1.0f : value;
}

std::string Param::Label() const
{
	return "parameter " + std::to_string( index ) + " \"" + name + "\"";
}

Harness::Harness( const Settings& settings_, const ChildChannel& channel_ ) :
	settings( settings_ ), budget( BudgetFor( settings_.level ) ), channel( channel_ ), random( settings_.seed )
{
}

Harness::~Harness() = default;

void Harness::Add( Status status, const std::string& message )
{
	findings.emplace_back( status, message );
}

void Harness::Abort( const std::string& message )
{
	// Instances held by the check are destroyed while the abort unwinds; a
	// crash there must not be blamed on the request before it.
	Step( Request( FF_DEINSTANTIATE_GL ) + " of the check's instances, after it stopped: " + message );
	throw CheckAbort{ Status::Fail, message };
}

bool Harness::Failed() const
{
	return std::any_of( findings.begin(), findings.end(), []( const auto& f ) { return f.first == Status::Fail; } );
}

void Harness::Fact( const std::string& key, const std::string& value )
{
	channel.Send( EncodeFact( key, value ) );
}

void Harness::Step( const std::string& what )
{
	channel.Send( EncodeStep( what ) );
}

void Harness::Finish()
{
	Outcome outcome;
	outcome.status = Status::Pass;
	for( Status rank : { Status::Skip, Status::Warn, Status::Fail } )
		for( const auto& finding : findings )
			if( finding.first == rank )
				outcome.status = rank;
	for( const auto& [ status, message ] : findings )
	{
		if( status == outcome.status && outcome.message.empty() )
			outcome.message = message;
		else
			outcome.details.push_back( std::string( StatusName( status ) ) + ": " + message );
	}
	if( outcome.message.empty() )
		outcome.message = passSummary.empty() ? "as expected" : passSummary;
	channel.Send( EncodeOutcome( outcome ) );
}

PluginLibrary& Harness::Library()
{
	if( !library )
	{
		Step( "loading the library (dlopen)" );
		try
		{
			library = std::make_unique< PluginLibrary >( settings.plugin );
		}
		catch( const Error& error )
		{
			throw CheckAbort{ Status::Fail, error.what() };
		}
		if( initialiseOnLoad )
		{
			Step( Request( FF_INITIALISE_V2 ) + " after loading, as a host does before any instance" );
			if( const uint32_t answer = library->Initialise(); answer != FF_SUCCESS )
				Abort( Request( FF_INITIALISE_V2 ) + " after loading answers " + Answer( answer ) + "; expected success" );
		}
	}
	return *library;
}

FFMixed Harness::Call( uint32_t code, FFMixed input, void* instance, const std::string& what )
{
	PluginLibrary& plugin = Library();
	Step( Request( code ) + ( what.empty() ? "" : " " + what ) );
	return plugin.Call( code, input, instance );
}

uint32_t Harness::CallU( uint32_t code, uint32_t input, void* instance, const std::string& what )
{
	return Call( code, MixedU( input ), instance, what ).UIntValue;
}

uint32_t Harness::CallP( uint32_t code, const void* input, void* instance, const std::string& what )
{
	return Call( code, MixedP( input ), instance, what ).UIntValue;
}

const std::vector< Param >& Harness::Params()
{
	if( params )
		return *params;
	const uint32_t count = CallU( FF_GET_NUM_PARAMETERS, 0, nullptr, "" );
	if( count == FF_FAIL )
		Abort( Request( FF_GET_NUM_PARAMETERS ) + " answered failure; expected the number of parameters" );
	params.emplace();
	for( uint32_t i = 0; i < std::min( count, kMaxParams ); ++i )
	{
		Param param;
		param.index         = i;
		const std::string of = "for parameter " + std::to_string( i );
		const auto* name = static_cast< const char* >( Call( FF_GET_PARAMETER_NAME, MixedU( i ), nullptr, of ).PointerValue );
		if( !IsFailedPointer( name ) )
			param.name = ReadText( name, 4096 ).value_or( "" );
		const uint32_t type = CallU( FF_GET_PARAMETER_TYPE, i, nullptr, of );
		param.known         = type != FF_FAIL;
		param.type          = type;
		param.text          = IsTextType( type );
		const FFMixed fallback = Call( FF_GET_PARAMETER_DEFAULT, MixedU( i ), nullptr, of );
		if( param.text )
		{
			const auto* text = static_cast< const char* >( fallback.PointerValue );
			if( !IsFailedPointer( text ) )
				param.defaultText = ReadText( text, 1 << 20 ).value_or( "" );
		}
		else if( fallback.UIntValue != FF_FAIL )
			param.defaultValue = fallback.FloatValue;
		RangeStruct range{ i, 0.0f, 1.0f };
		if( CallP( FF_GET_RANGE, &range, nullptr, of ) == FF_SUCCESS && std::isfinite( range.min ) &&
			std::isfinite( range.max ) && range.min <= range.max )
		{
			param.minimum = range.min;
			param.maximum = range.max;
		}
		if( type == FF_TYPE_OPTION )
		{
			const uint32_t elements = CallU( FF_GET_NUM_PARAMETER_ELEMENTS, i, nullptr, of );
			for( uint32_t e = 0; elements != FF_FAIL && e < std::min( elements, 1024u ); ++e )
			{
				GetParameterElementStruct query{ i, e };
				const FFMixed value = Call( FF_GET_PARAMETER_ELEMENT_VALUE, MixedP( &query ), nullptr,
											of + ", element " + std::to_string( e ) );
				if( value.UIntValue != FF_FAIL )
					param.elementValues.push_back( value.FloatValue );
			}
		}
		params->push_back( param );
	}
	return *params;
}

uint32_t Harness::PluginType()
{
	return Library().Identity().type;
}

uint32_t FrameInputs( const PluginLibrary& library )
{
	const uint32_t type = library.Identity().type;
	uint32_t wanted     = type == FF_EFFECT ? 1 : type == FF_MIXER ? 2 : 0;
	if( wanted == 0 )
		return 0;
	const uint32_t minimum = library.Capability( FF_CAP_MINIMUM_INPUT_FRAMES );
	const uint32_t maximum = library.Capability( FF_CAP_MAXIMUM_INPUT_FRAMES );
	if( minimum != FF_FAIL && minimum <= 8 )
		wanted = std::max( wanted, minimum );
	if( maximum != FF_FAIL )
		wanted = std::min( wanted, maximum );
	return wanted;
}

uint32_t Harness::InputCount()
{
	if( !inputCount )
	{
		PluginLibrary& plugin = Library();
		Step( Request( FF_GET_PLUGIN_CAPS ) + " for the number of inputs" );
		inputCount = FrameInputs( plugin );
	}
	return *inputCount;
}

void Harness::UseGL()
{
	if( context )
		return;
	Step( "making a GL context" );
	try
	{
		context = std::make_unique< GLContext >();
	}
	catch( const std::exception& error )
	{
		throw CheckAbort{ Status::Skip, std::string( "no GL context: " ) + error.what() };
	}
}

std::unique_ptr< Instance > Harness::Instantiate( uint32_t width, uint32_t height )
{
	UseGL();
	PluginLibrary& plugin = Library();
	Step( Request( FF_INSTANTIATE_GL ) + " at " + std::to_string( width ) + "x" + std::to_string( height ) );
	try
	{
		return std::make_unique< Instance >( plugin, width, height );
	}
	catch( const Error& )
	{
		Abort( Request( FF_INSTANTIATE_GL ) + " at " + std::to_string( width ) + "x" + std::to_string( height ) +
			   " answered failure; expected an instance" );
	}
}

void Harness::Destroy( std::unique_ptr< Instance >& instance )
{
	if( instance )
		Step( Request( FF_DEINSTANTIATE_GL ) );
	instance.reset();
}

uint32_t Harness::Set( Instance& instance, const Param& param, float value )
{
	SetParameterStruct record{};
	record.ParameterNumber   = param.index;
	record.NewParameterValue = MixedF( value );
	return CallP( FF_SET_PARAMETER, &record, instance.Handle(), "for " + param.Label() + " to " + Shown( value ) );
}

uint32_t Harness::SetText( Instance& instance, const Param& param, const std::string& value, const std::string& shown )
{
	SetParameterStruct record{};
	record.ParameterNumber   = param.index;
	record.NewParameterValue = MixedP( value.c_str() );
	return CallP( FF_SET_PARAMETER, &record, instance.Handle(), "for " + param.Label() + " to " + shown );
}

float Harness::Get( Instance& instance, const Param& param )
{
	return Call( FF_GET_PARAMETER, MixedU( param.index ), instance.Handle(), "for " + param.Label() ).FloatValue;
}

std::vector< float > Harness::Values( Instance& instance )
{
	std::vector< float > values;
	for( const Param& param : Params() )
		values.push_back( param.text || !param.known ? 0.0f : Get( instance, param ) );
	return values;
}

std::vector< std::string > Harness::PendingGLErrors()
{
	std::vector< std::string > errors;
	for( int i = 0; i < 16; ++i )
	{
		const GLenum error = glGetError();
		if( error == GL_NO_ERROR )
			break;
		errors.push_back( GLErrorName( error ) );
	}
	return errors;
}

Stage::Stage( Harness& harness_, uint32_t width, uint32_t height ) :
	harness( ( harness_.UseGL(), harness_ ) ), target( width, height )
{
	const uint32_t count = harness.InputCount();
	for( uint32_t i = 0; i < count; ++i )
	{
		// Hardware sizes beyond the picture, as many hosts allocate them;
		// the padding is a colour no test picture holds.
		inputs.push_back( std::make_unique< InputTexture >( TestPicture( width, height, i ), NextPowerOfTwo( width + 1 ),
															NextPowerOfTwo( height + 1 ), std::array< uint8_t, 4 >{ 255, 0, 255, 255 } ) );
	}
}

void Stage::Prepare()
{
	target.Bind();
	glDisable( GL_SCISSOR_TEST );
	glColorMask( GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE );
	glDepthMask( GL_TRUE );
	glClearColor( kClear[ 0 ] / 255.0f, kClear[ 1 ] / 255.0f, kClear[ 2 ] / 255.0f, kClear[ 3 ] / 255.0f );
	glClearDepth( 1.0 );
	glClear( GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT );
	glUseProgram( 0 );
	glBindVertexArray( 0 );
	glBindBuffer( GL_ARRAY_BUFFER, 0 );
	glActiveTexture( GL_TEXTURE0 );
}

void Stage::Rest()
{
	glUseProgram( 0 );
	glBindVertexArray( 0 );
	glBindBuffer( GL_ARRAY_BUFFER, 0 );
	GLint units = 0;
	glGetIntegerv( GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units );
	for( GLint unit = 0; unit < std::min( units, 256 ); ++unit )
	{
		glActiveTexture( GL_TEXTURE0 + static_cast< GLenum >( unit ) );
		glBindTexture( GL_TEXTURE_2D, 0 );
	}
	glActiveTexture( GL_TEXTURE0 );
}

uint32_t Stage::Frame( Instance& instance, const std::string& what )
{
	std::vector< const InputTexture* > with;
	for( const auto& input : inputs )
		with.push_back( input.get() );
	return Frame( instance, with, what );
}

uint32_t Stage::Frame( Instance& instance, const std::vector< const InputTexture* >& with, const std::string& what )
{
	Prepare();
	std::vector< FFGLTextureStruct > textures;
	for( const InputTexture* input : with )
		textures.push_back( input->Texture() );
	harness.Step( FrameStep( what ) );
	const uint32_t result = instance.ProcessFrame( textures );
	glFinish();
	return result;
}

uint32_t Stage::Frame( Instance& instance, ProcessOpenGLStruct& frame, const std::string& what )
{
	Prepare();
	harness.Step( FrameStep( what ) );
	const uint32_t result = instance.Library().Call( FF_PROCESS_OPENGL, MixedP( &frame ), instance.Handle() ).UIntValue;
	glFinish();
	return result;
}

std::string Stage::FrameStep( const std::string& what ) const
{
	return Request( FF_PROCESS_OPENGL ) + " at " + std::to_string( Width() ) + "x" + std::to_string( Height() ) +
		   ( what.empty() ? "" : " " + what );
}

bool Stage::Untouched() const
{
	const Image image = Pixels();
	for( std::size_t i = 0; i < image.pixels.size(); ++i )
		if( image.pixels[ i ] != kClear[ i % 4 ] )
			return false;
	return true;
}

Image TestPicture( uint32_t width, uint32_t height, uint32_t variant )
{
	Image image( width, height );
	for( uint32_t y = 0; y < height; ++y )
		for( uint32_t x = 0; x < width; ++x )
		{
			uint8_t* pixel = &image.pixels[ ( static_cast< std::size_t >( y ) * width + x ) * 4 ];
			pixel[ 0 ] = static_cast< uint8_t >( 32 + ( x * 160 ) / std::max( width, 1u ) );
			pixel[ 1 ] = static_cast< uint8_t >( 32 + ( y * 160 ) / std::max( height, 1u ) );
			pixel[ 2 ] = static_cast< uint8_t >( ( ( x / 4 + y / 4 + variant ) % 2 ) ? 200 : 60 );
			pixel[ 3 ] = 255;
		}
	return image;
}

double DifferingShare( const Image& a, const Image& b, int tolerance, uint32_t border )
{
	if( a.width != b.width || a.height != b.height )
		return 1.0;
	std::size_t counted = 0, differing = 0;
	for( uint32_t y = border; y + border < a.height; ++y )
		for( uint32_t x = border; x + border < a.width; ++x )
		{
			const std::size_t at = ( static_cast< std::size_t >( y ) * a.width + x ) * 4;
			++counted;
			for( int c = 0; c < 4; ++c )
				if( std::abs( int( a.pixels[ at + c ] ) - int( b.pixels[ at + c ] ) ) > tolerance )
				{
					++differing;
					break;
				}
		}
	return counted == 0 ? 0.0 : static_cast< double >( differing ) / static_cast< double >( counted );
}
}// namespace plughost::validate

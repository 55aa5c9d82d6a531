#include "Instance.h"

#include "EntryPointValues.h"

#include <algorithm>
#include <utility>

namespace plughost
{
Instance::Instance( PluginLibrary& owner, uint32_t width, uint32_t height ) :
	Instance( owner, FFGLViewportStruct{ 0, 0, width, height } )
{
}

Instance::Instance( PluginLibrary& owner, const FFGLViewportStruct& viewport ) : library( &owner )
{
	FFGLViewportStruct copy = viewport;
	void* answer            = library->Call( FF_INSTANTIATE_GL, MixedP( &copy ) ).PointerValue;
	if( IsFailedPointer( answer ) )
		throw Error( library->Path() + ": the plug-in failed to create an instance of " +
					 std::to_string( viewport.width ) + "x" + std::to_string( viewport.height ) );
	handle = answer;
}

Instance::~Instance()
{
	Destroy();
}

Instance::Instance( Instance&& other ) noexcept :
	library( other.library ),
	handle( std::exchange( other.handle, nullptr ) )
{
}

Instance& Instance::operator=( Instance&& other ) noexcept
{
	if( this != &other )
	{
		Destroy();
		library = other.library;
		handle  = std::exchange( other.handle, nullptr );
	}
	return *this;
}

void Instance::Destroy() noexcept
{
	if( handle != nullptr )
		library->Call( FF_DEINSTANTIATE_GL, MixedU( 0 ), handle );
	handle = nullptr;
}

FFMixed Instance::Call( uint32_t code, FFMixed input ) const
{
	return library->Call( code, input, handle );
}

std::optional< uint32_t > Instance::TypeOf( uint32_t index ) const
{
	return library->ParameterType( index );
}

bool Instance::HasTextType( uint32_t index ) const
{
	const auto type = TypeOf( index );
	return type && IsTextType( *type );
}

uint32_t Instance::SetFloat( uint32_t index, float value )
{
	if( HasTextType( index ) )
		return FF_FAIL;
	SetParameterStruct record{};
	record.ParameterNumber   = index;
	record.NewParameterValue = MixedF( value );
	return Call( FF_SET_PARAMETER, MixedP( &record ) ).UIntValue;
}

uint32_t Instance::SetText( uint32_t index, const std::string& value )
{
	if( !HasTextType( index ) )
		return FF_FAIL;
	SetParameterStruct record{};
	record.ParameterNumber   = index;
	record.NewParameterValue = MixedP( value.c_str() );
	return Call( FF_SET_PARAMETER, MixedP( &record ) ).UIntValue;
}

std::optional< float > Instance::GetFloat( uint32_t index ) const
{
	if( HasTextType( index ) )
		return std::nullopt;
	return Call( FF_GET_PARAMETER, MixedU( index ) ).FloatValue;
}

std::optional< std::string > Instance::GetText( uint32_t index ) const
{
	if( !HasTextType( index ) )
		return std::nullopt;
	const auto* text = static_cast< const char* >( Call( FF_GET_PARAMETER, MixedU( index ) ).PointerValue );
	if( IsFailedPointer( text ) )
		return std::nullopt;
	return CopyText( text );
}

std::optional< std::string > Instance::Display( uint32_t index ) const
{
	const auto* text = static_cast< const char* >( Call( FF_GET_PARAMETER_DISPLAY, MixedU( index ) ).PointerValue );
	if( IsFailedPointer( text ) )
		return std::nullopt;
	return CopyText( text );
}

std::optional< std::string > Instance::DisplayName( uint32_t index ) const
{
	return QueryText( *library, FF_GET_PARAM_DISPLAY_NAME, index, handle );
}

uint32_t Instance::SetElementValue( uint32_t index, uint32_t element, float value )
{
	SetParameterElementValueStruct record{ index, element, value };
	return Call( FF_SET_PARAMETER_ELEMENT_VALUE, MixedP( &record ) ).UIntValue;
}

uint32_t Instance::SetTime( double seconds )
{
	return Call( FF_SET_TIME, MixedP( &seconds ) ).UIntValue;
}

uint32_t Instance::SetBeat( float bpm, float barPhase )
{
	SetBeatinfoStruct record{ bpm, barPhase };
	return Call( FF_SET_BEATINFO, MixedP( &record ) ).UIntValue;
}

uint32_t Instance::SetHostInfo( const std::string& name, const std::string& version )
{
	SetHostinfoStruct record{ name.c_str(), version.c_str() };
	return Call( FF_SET_HOSTINFO, MixedP( &record ) ).UIntValue;
}

uint32_t Instance::SetSampleRate( uint32_t rate )
{
	return Call( FF_SET_SAMPLERATE, MixedU( rate ) ).UIntValue;
}

uint32_t Instance::Resize( uint32_t width, uint32_t height )
{
	FFGLViewportStruct viewport{ 0, 0, width, height };
	return Call( FF_RESIZE, MixedP( &viewport ) ).UIntValue;
}

uint32_t Instance::Connect()
{
	return Call( FF_CONNECT, MixedU( 0 ) ).UIntValue;
}

uint32_t Instance::Disconnect()
{
	return Call( FF_DISCONNECT, MixedU( 0 ) ).UIntValue;
}

uint32_t Instance::InputStatus( uint32_t input ) const
{
	return Call( FF_GET_INPUT_STATUS, MixedU( input ) ).UIntValue;
}

uint32_t Instance::EnableCapability( uint32_t capability )
{
	return Call( FF_ENABLE_PLUGIN_CAP, MixedU( capability ) ).UIntValue;
}

std::optional< uint32_t > Instance::PendingEventCount() const
{
	GetParamEventsStruct record{ 0, nullptr };
	if( Call( FF_GET_PARAMETER_EVENTS, MixedP( &record ) ).UIntValue != FF_SUCCESS )
		return std::nullopt;
	return record.numEvents;
}

std::vector< ParamEventStruct > Instance::ConsumeEvents( uint32_t capacity )
{
	if( capacity == 0 )
		return {};
	std::vector< ParamEventStruct > events( capacity, ParamEventStruct{ 0, 0 } );
	GetParamEventsStruct record{ capacity, events.data() };
	if( Call( FF_GET_PARAMETER_EVENTS, MixedP( &record ) ).UIntValue != FF_SUCCESS )
		return {};
	events.resize( std::min( record.numEvents, capacity ) );
	return events;
}

uint32_t Instance::ProcessFrame( const std::vector< FFGLTextureStruct >& inputs )
{
	// The plug-in receives pointers; keep them into a local copy so they stay
	// valid for the whole call, and never hand over a null array.
	std::vector< FFGLTextureStruct > textures = inputs;
	std::vector< FFGLTextureStruct* > pointers( std::max< std::size_t >( textures.size(), 1 ), nullptr );
	for( std::size_t i = 0; i < textures.size(); ++i )
		pointers[ i ] = &textures[ i ];
	ProcessOpenGLStruct frame{};
	frame.numInputTextures = static_cast< uint32_t >( textures.size() );
	frame.inputTextures    = pointers.data();
	return Call( FF_PROCESS_OPENGL, MixedP( &frame ) ).UIntValue;
}
}// namespace plughost

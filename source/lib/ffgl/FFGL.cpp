// The entry point: dispatch of the host's function codes.
#include "FFGL.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include "FFGLLog.h"
#include "FFGLPlugin.h"
#include "FFGLPluginInfo.h"

// The plug-in object that answers plug-in-wide queries. Hosts that drive
// instances from several threads reach it from all of them (code 8 reads
// parameter types from it), and it may be made on first need, so it is
// published atomically and made under a lock: two threads that both find it
// missing make one prototype, not two. Reading it takes no lock. Deleting it
// (code 2) while another thread still calls plugMain remains the host's
// fault: de-initialise only when no other request is in flight.
static std::atomic< CFFGLPlugin* > s_pPrototype{ nullptr };

namespace
{
std::mutex& PrototypeMutex()
{
	static std::mutex mutex;
	return mutex;
}

// A host that unloads the library without de-initialising it must not leak
// the prototype.
struct PrototypeReleaser
{
	~PrototypeReleaser()
	{
		delete s_pPrototype.exchange( nullptr );
	}
} s_prototypeReleaser;
}// namespace

namespace
{
FFMixed UIntAnswer( uint32_t value )
{
	FFMixed answer;
	answer.PointerValue = nullptr;
	answer.UIntValue    = value;
	return answer;
}

FFMixed FloatAnswer( float value )
{
	FFMixed answer;
	answer.PointerValue = nullptr;
	answer.FloatValue   = value;
	return answer;
}

FFMixed PointerAnswer( const void* pointer )
{
	FFMixed answer;
	answer.PointerValue = const_cast< void* >( pointer );
	return answer;
}

bool IsTextType( uint32_t type )
{
	return type == FF_TYPE_TEXT || type == FF_TYPE_FILE;
}

// Hooks kept for hosts whose platforms need entry points loaded or context
// state checked; the system GL library needs neither.
FFResult InitGLExts()
{
	return FF_SUCCESS;
}

void ValidateContextState()
{
}

// One object from the registered factory; null when it fails or throws.
CFFGLPlugin* MakePluginObject()
{
	CFFGLPlugin* made = nullptr;
	try
	{
		if( g_CurrPluginInfo->GetFactoryMethod()( &made ) == FF_SUCCESS && made != nullptr )
			return made;
	}
	catch( ... )
	{
		return nullptr;
	}
	delete made;
	return nullptr;
}

FFResult initialise()
{
	if( g_CurrPluginInfo == nullptr )
		return FF_FAIL;
	if( FPINITIALISE hook = g_CurrPluginInfo->GetInitialiseMethod() )
	{
		FFResult result = hook();
		if( result != FF_SUCCESS )
			return result;
	}
	std::lock_guard< std::mutex > lock( PrototypeMutex() );
	if( s_pPrototype.load( std::memory_order_acquire ) != nullptr )
		return FF_SUCCESS;

	CFFGLPlugin* made = MakePluginObject();
	if( made == nullptr )
		return FF_FAIL;
	s_pPrototype.store( made, std::memory_order_release );
	return FF_SUCCESS;
}

FFResult deInitialise()
{
	if( g_CurrPluginInfo == nullptr )
		return FF_FAIL;
	{
		std::lock_guard< std::mutex > lock( PrototypeMutex() );
		delete s_pPrototype.exchange( nullptr, std::memory_order_acq_rel );
	}
	if( FPDEINITIALISE hook = g_CurrPluginInfo->GetDeinitialiseMethod() )
		hook();
	return FF_SUCCESS;
}

// The prototype, made on first need; null when it cannot be made.
CFFGLPlugin* Prototype()
{
	if( CFFGLPlugin* prototype = s_pPrototype.load( std::memory_order_acquire ) )
		return prototype;
	if( initialise() != FF_SUCCESS )
		return nullptr;
	return s_pPrototype.load( std::memory_order_acquire );
}

// The registry that answers a query with an optional instance.
const CFFGLPluginManager* RegistryFor( void* instanceID )
{
	if( instanceID != nullptr )
		return static_cast< CFFGLPlugin* >( instanceID );
	return Prototype();
}

uint32_t getParameterType( uint32_t index )
{
	CFFGLPlugin* prototype = Prototype();
	return prototype ? prototype->GetParamType( index ) : FF_FAIL;
}

FFMixed getParameterDefault( uint32_t index )
{
	CFFGLPlugin* prototype = Prototype();
	if( prototype == nullptr )
		return UIntAnswer( FF_FAIL );
	if( prototype->FindParamInfo( index ) == nullptr )
		return UIntAnswer( FF_FAIL );
	FFMixed value = prototype->GetParamDefault( index );
	if( !IsTextType( prototype->GetParamType( index ) ) )
		return FloatAnswer( value.FloatValue );
	return value;
}

uint32_t getPluginCaps( uint32_t capability )
{
	CFFGLPlugin* prototype = Prototype();
	if( prototype == nullptr )
		return FF_UNSUPPORTED;
	switch( capability )
	{
	case FF_CAP_SET_TIME:
		return prototype->IsTimeSupported() ? FF_SUPPORTED : FF_UNSUPPORTED;
	case FF_CAP_MINIMUM_INPUT_FRAMES:
	{
		int32_t count = static_cast< int32_t >( prototype->GetMinInputs() );
		return count < 0 ? 0 : static_cast< uint32_t >( count );
	}
	case FF_CAP_MAXIMUM_INPUT_FRAMES:
	{
		int32_t count = static_cast< int32_t >( prototype->GetMaxInputs() );
		return count < 0 ? 0 : static_cast< uint32_t >( count );
	}
	case FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION:
		return prototype->IsTopLeftTextureOrientationSupported() ? FF_SUPPORTED : FF_UNSUPPORTED;
	default:
		return FF_UNSUPPORTED;
	}
}

// Copies min(capacity, length) characters; no terminator is added.
void writeStringToHostBuffer( const std::string& text, const StringBufferStruct& buffer )
{
	size_t count = text.size() < buffer.maxToWrite ? text.size() : buffer.maxToWrite;
	memcpy( buffer.address, text.data(), count );
}

bool IsUsableStringQuery( const GetStringStruct* query )
{
	return query != nullptr && query->stringBuffer.maxToWrite != 0 && query->stringBuffer.address != nullptr;
}

FFResult getParamGroup( const GetStringStruct* query )
{
	if( !IsUsableStringQuery( query ) )
		return FF_FAIL;
	CFFGLPlugin* prototype = Prototype();
	if( prototype == nullptr )
		return FF_FAIL;
	writeStringToHostBuffer( prototype->GetParamGroup( query->parameterNumber ), query->stringBuffer );
	return FF_SUCCESS;
}

FFResult getParamDisplayName( CFFGLPlugin* instance, const GetStringStruct* query )
{
	if( instance == nullptr || !IsUsableStringQuery( query ) )
		return FF_FAIL;
	writeStringToHostBuffer( instance->GetParamDisplayName( query->parameterNumber ), query->stringBuffer );
	return FF_SUCCESS;
}

FFResult getParamRange( RangeStruct* range )
{
	if( range == nullptr )
		return FF_FAIL;
	CFFGLPlugin* prototype = Prototype();
	if( prototype == nullptr )
		return FF_FAIL;
	CFFGLPluginManager::ParamInfo::Range bounds = prototype->GetParamRange( range->parameterNumber );
	range->min = bounds.min;
	range->max = bounds.max;
	return FF_SUCCESS;
}

FFResult getThumbnail( GetThumbnailStruct* thumbnail )
{
	if( thumbnail == nullptr )
		return FF_FAIL;
	CFFGLThumbnailInfo* info = CFFGLThumbnailInfo::GetInstance();
	// A thumbnail without pixels (a null borrowed source) is no thumbnail:
	// there is nothing to copy from.
	if( info == nullptr || info->GetPixels() == nullptr )
	{
		thumbnail->width  = 0;
		thumbnail->height = 0;
		return FF_FAIL;
	}
	thumbnail->width  = info->GetWidth();
	thumbnail->height = info->GetHeight();
	if( thumbnail->rgbaPixelBuffer != nullptr )
	{
		size_t bytes = size_t( info->GetWidth() ) * info->GetHeight() * 4u;
		memcpy( thumbnail->rgbaPixelBuffer, info->GetPixels(), bytes );
	}
	return FF_SUCCESS;
}

FFMixed instantiateGL( const FFGLViewportStruct* viewport )
{
	FFMixed failure = PointerAnswer( FFWidenedFail() );
	if( g_CurrPluginInfo == nullptr || viewport == nullptr )
		return failure;
	CFFGLPlugin* prototype = Prototype();
	if( prototype == nullptr )
		return failure;

	CFFGLPlugin* instance = MakePluginObject();
	if( instance == nullptr )
		return failure;

	try
	{
		instance->m_pSelf = instance;
		for( uint32_t i = 0; i < prototype->GetNumParams(); ++i )
		{
			uint32_t type   = prototype->GetParamType( i );
			FFMixed value   = prototype->GetParamDefault( i );
			FFResult result = IsTextType( type ) ? instance->SetTextParameter( i, static_cast< const char* >( value.PointerValue ) )
												 : instance->SetFloatParameter( i, value.FloatValue );
			if( result == FF_FAIL )
			{
				delete instance;
				return failure;
			}
		}
		InitGLExts();
		ValidateContextState();
	}
	catch( ... )
	{
		delete instance;
		return failure;
	}

	FFResult initialised = FF_FAIL;
	try
	{
		initialised = instance->InitGL( viewport );
	}
	catch( ... )
	{
		initialised = FF_FAIL;
	}
	if( initialised != FF_SUCCESS )
	{
		try
		{
			instance->DeInitGL();
		}
		catch( ... )
		{
		}
		ValidateContextState();
		delete instance;
		return failure;
	}
	ValidateContextState();
	return PointerAnswer( instance );
}

FFResult processGL( CFFGLPlugin* instance, ProcessOpenGLStruct* frame )
{
	if( instance == nullptr || frame == nullptr )
		return FF_FAIL;
	if( !instance->m_connected )
	{
		instance->Connect();
		instance->m_connected = true;
	}
	ValidateContextState();
	FFResult result = instance->ProcessOpenGL( frame );
	ValidateContextState();
	return result;
}

FFResult deInstantiateGL( CFFGLPlugin* instance )
{
	if( instance == nullptr )
		return FF_FAIL;
	// The instance goes whatever its own steps answer or throw.
	try
	{
		if( instance->m_connected )
		{
			instance->Disconnect();
			instance->m_connected = false;
		}
	}
	catch( ... )
	{
	}
	ValidateContextState();
	try
	{
		instance->DeInitGL();
	}
	catch( ... )
	{
	}
	ValidateContextState();
	delete instance;
	return FF_SUCCESS;
}

FFResult getParameterEvents( CFFGLPlugin* instance, GetParamEventsStruct* record )
{
	if( record == nullptr )
		return FF_FAIL;
	if( record->events == nullptr )
		record->numEvents = instance->GetNumPendingParamEvents();
	else
		record->numEvents = instance->ConsumeParamEvents( record->events, record->numEvents );
	return FF_SUCCESS;
}

FFResult enablePluginCap( CFFGLPlugin* instance, uint32_t capability )
{
	if( capability != FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION )
		return FF_FAIL;
	if( getPluginCaps( FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION ) != FF_SUPPORTED )
		return FF_FAIL;
	instance->HostEnabledTopLeftTextures();
	return FF_SUCCESS;
}

bool NeedsInstance( uint32_t code )
{
	switch( code )
	{
	case FF_GET_PARAMETER_DISPLAY:
	case FF_SET_PARAMETER:
	case FF_GET_PARAMETER:
	case FF_GET_INPUT_STATUS:
	case FF_DEINSTANTIATE_GL:
	case FF_SET_TIME:
	case FF_CONNECT:
	case FF_DISCONNECT:
	case FF_RESIZE:
	case FF_SET_PARAMETER_ELEMENT_VALUE:
	case FF_SET_BEATINFO:
	case FF_SET_HOSTINFO:
	case FF_SET_SAMPLERATE:
	case FF_GET_PARAMETER_EVENTS:
	case FF_ENABLE_PLUGIN_CAP:
		return true;
	default:
		return false;
	}
}

// What a request answers when it fails before or while it is handled.
FFMixed FailureAnswer( uint32_t code )
{
	switch( code )
	{
	case FF_GET_PARAMETER_DISPLAY:
	case FF_INSTANTIATE_GL:
		return PointerAnswer( FFWidenedFail() );
	case FF_GET_INFO:
	case FF_GET_EXTENDED_INFO:
	case FF_GET_PARAMETER_NAME:
	case FF_GET_PLUGIN_SHORT_NAME:
	case FF_GET_PARAMETER_ELEMENT_NAME:
	case FF_GET_FILE_PARAMETER_EXTENSION:
		return PointerAnswer( nullptr );
	case FF_GET_NUM_ELEMENT_SEPARATORS:
		return UIntAnswer( 0 );
	default:
		return UIntAnswer( FF_FAIL );
	}
}

FFMixed Dispatch( uint32_t code, FFMixed input, void* instanceID )
{
	CFFGLPlugin* instance = static_cast< CFFGLPlugin* >( instanceID );
	if( NeedsInstance( code ) && instance == nullptr )
		return FailureAnswer( code );

	switch( code )
	{
	case FF_GET_INFO:
		return PointerAnswer( g_CurrPluginInfo ? g_CurrPluginInfo->GetPluginInfo() : nullptr );
	case FF_DEINITIALISE:
		return UIntAnswer( deInitialise() );
	case FF_GET_NUM_PARAMETERS:
	{
		CFFGLPlugin* prototype = Prototype();
		return UIntAnswer( prototype ? prototype->GetNumParams() : FF_FAIL );
	}
	case FF_GET_PARAMETER_NAME:
	{
		CFFGLPlugin* prototype = Prototype();
		return PointerAnswer( prototype ? prototype->GetParamName( input.UIntValue ) : nullptr );
	}
	case FF_GET_PARAMETER_DEFAULT:
		return getParameterDefault( input.UIntValue );
	case FF_GET_PARAMETER_DISPLAY:
		return PointerAnswer( instance->GetParameterDisplay( input.UIntValue ) );
	case FF_SET_PARAMETER:
	{
		const SetParameterStruct* record = static_cast< const SetParameterStruct* >( input.PointerValue );
		if( record == nullptr )
			return UIntAnswer( FF_FAIL );
		if( IsTextType( getParameterType( record->ParameterNumber ) ) )
			return UIntAnswer( instance->SetTextParameter( record->ParameterNumber, static_cast< const char* >( record->NewParameterValue.PointerValue ) ) );
		return UIntAnswer( instance->SetFloatParameter( record->ParameterNumber, record->NewParameterValue.FloatValue ) );
	}
	case FF_GET_PARAMETER:
		if( IsTextType( getParameterType( input.UIntValue ) ) )
			return PointerAnswer( instance->GetTextParameter( input.UIntValue ) );
		return FloatAnswer( instance->GetFloatParameter( input.UIntValue ) );
	case FF_GET_PLUGIN_CAPS:
		return UIntAnswer( getPluginCaps( input.UIntValue ) );
	case FF_GET_EXTENDED_INFO:
		return PointerAnswer( g_CurrPluginInfo ? g_CurrPluginInfo->GetPluginExtendedInfo() : nullptr );
	case FF_GET_PARAMETER_TYPE:
		return UIntAnswer( getParameterType( input.UIntValue ) );
	case FF_GET_INPUT_STATUS:
		return UIntAnswer( instance->GetInputStatus( input.UIntValue ) );
	case FF_PROCESS_OPENGL:
		return UIntAnswer( processGL( instance, static_cast< ProcessOpenGLStruct* >( input.PointerValue ) ) );
	case FF_INSTANTIATE_GL:
		return instantiateGL( static_cast< const FFGLViewportStruct* >( input.PointerValue ) );
	case FF_DEINSTANTIATE_GL:
		return UIntAnswer( deInstantiateGL( instance ) );
	case FF_SET_TIME:
	{
		const double* time = static_cast< const double* >( input.PointerValue );
		return UIntAnswer( time ? instance->SetTime( *time ) : FF_FAIL );
	}
	case FF_CONNECT:
	{
		FFResult result = instance->Connect();
		if( result == FF_SUCCESS )
			instance->m_connected = true;
		return UIntAnswer( result );
	}
	case FF_DISCONNECT:
	{
		FFResult result = instance->Disconnect();
		if( result == FF_SUCCESS )
			instance->m_connected = false;
		return UIntAnswer( result );
	}
	case FF_RESIZE:
	{
		const FFGLViewportStruct* viewport = static_cast< const FFGLViewportStruct* >( input.PointerValue );
		return UIntAnswer( viewport ? instance->Resize( viewport ) : FF_FAIL );
	}
	case FF_GET_NUM_PARAMETER_ELEMENTS:
	{
		const CFFGLPluginManager* registry = RegistryFor( instanceID );
		return UIntAnswer( registry ? registry->GetNumParamElements( input.UIntValue ) : FF_FAIL );
	}
	case FF_GET_PARAMETER_USAGE:
	{
		CFFGLPlugin* prototype = Prototype();
		return UIntAnswer( prototype ? prototype->GetParamUsage( input.UIntValue ) : FF_FAIL );
	}
	case FF_GET_PLUGIN_SHORT_NAME:
	{
		CFFGLPlugin* prototype = Prototype();
		return PointerAnswer( prototype ? prototype->GetShortName() : nullptr );
	}
	case FF_INITIALISE_V2:
		return UIntAnswer( initialise() );
	case FF_GET_PARAMETER_ELEMENT_NAME:
	{
		const GetParameterElementStruct* query = static_cast< const GetParameterElementStruct* >( input.PointerValue );
		const CFFGLPluginManager* registry     = query ? RegistryFor( instanceID ) : nullptr;
		return PointerAnswer( registry ? registry->GetParamElementName( query->ParameterNumber, query->ElementNumber ) : nullptr );
	}
	case FF_GET_PARAMETER_ELEMENT_VALUE:
	{
		const GetParameterElementStruct* query = static_cast< const GetParameterElementStruct* >( input.PointerValue );
		const CFFGLPluginManager* registry     = query ? RegistryFor( instanceID ) : nullptr;
		const CFFGLPluginManager::ParamInfo* info = registry ? registry->FindParamInfo( query->ParameterNumber ) : nullptr;
		if( info == nullptr || query->ElementNumber >= info->elements.size() )
			return UIntAnswer( FF_FAIL );
		return FloatAnswer( info->elements[ query->ElementNumber ].value );
	}
	case FF_SET_PARAMETER_ELEMENT_VALUE:
	{
		const SetParameterElementValueStruct* record = static_cast< const SetParameterElementValueStruct* >( input.PointerValue );
		if( record == nullptr )
			return UIntAnswer( FF_FAIL );
		return UIntAnswer( instance->SetParamElementValue( record->ParameterNumber, record->ElementNumber, record->NewParameterValue ) );
	}
	case FF_SET_BEATINFO:
	{
		const SetBeatinfoStruct* beat = static_cast< const SetBeatinfoStruct* >( input.PointerValue );
		if( beat == nullptr )
			return UIntAnswer( FF_FAIL );
		instance->SetBeatInfo( beat->bpm, beat->barPhase );
		return UIntAnswer( FF_SUCCESS );
	}
	case FF_SET_HOSTINFO:
	{
		const SetHostinfoStruct* info = static_cast< const SetHostinfoStruct* >( input.PointerValue );
		if( info == nullptr )
			return UIntAnswer( FF_FAIL );
		instance->SetHostInfo( info->hostName ? info->hostName : "", info->hostVersion ? info->hostVersion : "" );
		return UIntAnswer( FF_SUCCESS );
	}
	case FF_SET_SAMPLERATE:
		instance->SetSampleRate( input.UIntValue );
		return UIntAnswer( FF_SUCCESS );
	case FF_GET_RANGE:
		return UIntAnswer( getParamRange( static_cast< RangeStruct* >( input.PointerValue ) ) );
	case FF_GET_THUMBNAIL:
		return UIntAnswer( getThumbnail( static_cast< GetThumbnailStruct* >( input.PointerValue ) ) );
	case FF_GET_NUM_FILE_PARAMETER_EXTENSIONS:
	{
		CFFGLPlugin* prototype = Prototype();
		return UIntAnswer( prototype ? prototype->GetNumFileParamExtensions( input.UIntValue ) : FF_FAIL );
	}
	case FF_GET_FILE_PARAMETER_EXTENSION:
	{
		const GetParameterElementStruct* query = static_cast< const GetParameterElementStruct* >( input.PointerValue );
		CFFGLPlugin* prototype                 = query ? Prototype() : nullptr;
		return PointerAnswer( prototype ? prototype->GetFileParamExtension( query->ParameterNumber, query->ElementNumber ) : nullptr );
	}
	case FF_GET_PARAMETER_VISIBILITY:
	{
		const CFFGLPluginManager* registry = RegistryFor( instanceID );
		return UIntAnswer( registry ? registry->GetParamVisibility( input.UIntValue ) : FF_FAIL );
	}
	case FF_GET_PARAMETER_EVENTS:
		return UIntAnswer( getParameterEvents( instance, static_cast< GetParamEventsStruct* >( input.PointerValue ) ) );
	case FF_GET_NUM_ELEMENT_SEPARATORS:
	{
		CFFGLPlugin* prototype = Prototype();
		return UIntAnswer( prototype ? prototype->GetNumElementSeparators( input.UIntValue ) : 0 );
	}
	case FF_GET_SEPARATOR_ELEMENT_INDEX:
	{
		const GetParameterElementStruct* query = static_cast< const GetParameterElementStruct* >( input.PointerValue );
		CFFGLPlugin* prototype                 = query ? Prototype() : nullptr;
		return UIntAnswer( prototype ? prototype->GetElementSeparatorElementIndex( query->ParameterNumber, query->ElementNumber ) : FF_FAIL );
	}
	case FF_ENABLE_PLUGIN_CAP:
		return UIntAnswer( enablePluginCap( instance, input.UIntValue ) );
	case FF_GET_PARAM_GROUP:
		return UIntAnswer( getParamGroup( static_cast< const GetStringStruct* >( input.PointerValue ) ) );
	case FF_GET_PARAM_DISPLAY_NAME:
		return UIntAnswer( getParamDisplayName( instance, static_cast< const GetStringStruct* >( input.PointerValue ) ) );
	default:
		return UIntAnswer( FF_FAIL );
	}
}
}// namespace

FFGL_EXPORT FFMixed plugMain( uint32_t functionCode, FFMixed inputValue, void* instanceID )
{
	// No exception may reach the host.
	try
	{
		return Dispatch( functionCode, inputValue, instanceID );
	}
	catch( ... )
	{
		return FailureAnswer( functionCode );
	}
}

FFGL_EXPORT void SetLogCallback( FFGLLogCallback callback )
{
	FFGLLog::SetLogCallback( callback );
}

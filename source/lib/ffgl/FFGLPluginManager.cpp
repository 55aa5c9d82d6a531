#include "FFGLPluginManager.h"

#include <utility>

CFFGLPluginManager::CFFGLPluginManager( bool supportTopLeftTextureOrientation ) :
	topLeftTextureOrientationSupported( supportTopLeftTextureOrientation )
{
}

CFFGLPluginManager::~CFFGLPluginManager() = default;

CFFGLPluginManager::ParamInfo& CFFGLPluginManager::AppendParam( uint32_t ID, const char* name, uint32_t type, size_t elementCount )
{
	params.emplace_back();
	ParamInfo& info = params.back();
	info.ID         = ID;
	info.name       = name;
	info.type       = type;
	info.elements.resize( elementCount );
	return info;
}

CFFGLPluginManager::ParamInfo* CFFGLPluginManager::FindParamInfo( uint32_t ID )
{
	for( ParamInfo& info : params )
		if( info.ID == ID )
			return &info;
	return nullptr;
}

const CFFGLPluginManager::ParamInfo* CFFGLPluginManager::FindParamInfo( uint32_t ID ) const
{
	for( const ParamInfo& info : params )
		if( info.ID == ID )
			return &info;
	return nullptr;
}

void CFFGLPluginManager::SetParamInfo( uint32_t ID, const char* name, uint32_t type, float defaultValue )
{
	double value = defaultValue;
	if( type == FF_TYPE_STANDARD )
	{
		if( value > 1.0 )
			value = 1.0;
		else if( value < 0.0 )
			value = 0.0;
	}
	AppendParam( ID, name, type, 1 ).defaultFloatVal = static_cast< float >( value );
}

void CFFGLPluginManager::SetParamInfo( uint32_t ID, const char* name, uint32_t type, bool defaultValue )
{
	AppendParam( ID, name, type, 0 ).defaultFloatVal = defaultValue ? 1.0f : 0.0f;
}

void CFFGLPluginManager::SetParamInfo( uint32_t ID, const char* name, uint32_t type, const char* defaultValue )
{
	AppendParam( ID, name, type, 1 ).defaultStringVal = defaultValue;
}

void CFFGLPluginManager::SetBufferParamInfo( uint32_t ID, const char* name, uint32_t numElements, uint32_t usage )
{
	AppendParam( ID, name, FF_TYPE_BUFFER, numElements ).usage = usage;
}

void CFFGLPluginManager::SetOptionParamInfo( uint32_t ID, const char* name, uint32_t numElements, float defaultValue )
{
	AppendParam( ID, name, FF_TYPE_OPTION, numElements ).defaultFloatVal = defaultValue;
}

void CFFGLPluginManager::SetFileParamInfo( uint32_t ID, const char* name, std::vector< std::string > supportedExtensions, const char* defaultFile )
{
	ParamInfo& info       = AppendParam( ID, name, FF_TYPE_FILE, 0 );
	info.fileExtensions   = std::move( supportedExtensions );
	info.defaultStringVal = defaultFile;
}

void CFFGLPluginManager::SetParamElementInfo( uint32_t ID, uint32_t elementIndex, const char* elementName, float elementValue )
{
	ParamInfo* info = FindParamInfo( ID );
	if( info == nullptr || elementIndex >= info->elements.size() )
		return;
	info->elements[ elementIndex ].name  = elementName;
	info->elements[ elementIndex ].value = elementValue;
}

void CFFGLPluginManager::AddElementSeparator( uint32_t ID, uint32_t elementIndex )
{
	if( ParamInfo* info = FindParamInfo( ID ) )
		info->elementSeparators.push_back( ParamInfo::ElementSeparator{ elementIndex } );
}

void CFFGLPluginManager::SetParamElements( uint32_t ID, std::vector< std::string > elementNames, std::vector< float > elementValues, bool notifyHost )
{
	ParamInfo* info = FindParamInfo( ID );
	if( info == nullptr || info->type != FF_TYPE_OPTION || elementNames.size() != elementValues.size() )
		return;
	info->elements.resize( elementNames.size() );
	for( size_t i = 0; i < elementNames.size(); ++i )
	{
		info->elements[ i ].name  = std::move( elementNames[ i ] );
		info->elements[ i ].value = elementValues[ i ];
	}
	if( notifyHost )
		info->pendingEventFlags |= FF_EVENT_FLAG_ELEMENTS;
}

uint32_t CFFGLPluginManager::SetParamElementValue( uint32_t ID, uint32_t elementIndex, float value )
{
	ParamInfo* info = FindParamInfo( ID );
	if( info == nullptr || elementIndex >= info->elements.size() )
		return FF_FAIL;
	info->elements[ elementIndex ].value = value;
	return FF_SUCCESS;
}

void CFFGLPluginManager::SetParamVisibility( uint32_t ID, bool shouldBeVisible, bool notifyHost )
{
	ParamInfo* info = FindParamInfo( ID );
	if( info == nullptr )
		return;
	bool changed            = info->defaultVisibility != shouldBeVisible;
	info->defaultVisibility = shouldBeVisible;
	if( notifyHost && changed )
		info->pendingEventFlags |= FF_EVENT_FLAG_VISIBILITY;
}

void CFFGLPluginManager::SetParamDisplayName( uint32_t ID, std::string displayName, bool notifyHost )
{
	ParamInfo* info = FindParamInfo( ID );
	if( info == nullptr )
		return;
	bool changed      = info->displayName != displayName;
	info->displayName = std::move( displayName );
	if( notifyHost && changed )
		info->pendingEventFlags |= FF_EVENT_FLAG_DISPLAY_NAME;
}

void CFFGLPluginManager::SetParamRange( uint32_t ID, float min, float max )
{
	if( ParamInfo* info = FindParamInfo( ID ) )
	{
		info->range.min = min;
		info->range.max = max;
	}
}

void CFFGLPluginManager::SetParamGroup( uint32_t ID, std::string group )
{
	if( ParamInfo* info = FindParamInfo( ID ) )
		info->group = std::move( group );
}

void CFFGLPluginManager::RaiseParamEvent( uint32_t ID, uint64_t eventFlags )
{
	if( ParamInfo* info = FindParamInfo( ID ) )
		info->pendingEventFlags |= eventFlags;
}

void CFFGLPluginManager::SetMinInputs( uint32_t count ) { minInputs = count; }
void CFFGLPluginManager::SetMaxInputs( uint32_t count ) { maxInputs = count; }
void CFFGLPluginManager::SetTimeSupported( bool supported ) { timeSupported = supported; }
void CFFGLPluginManager::HostEnabledTopLeftTextures() { textureOrientation = FF_TEXTURE_ORIENTATION_TOP_LEFT; }
uint32_t CFFGLPluginManager::GetMinInputs() const { return minInputs; }
uint32_t CFFGLPluginManager::GetMaxInputs() const { return maxInputs; }
bool CFFGLPluginManager::IsTimeSupported() const { return timeSupported; }
bool CFFGLPluginManager::IsTopLeftTextureOrientationSupported() const { return topLeftTextureOrientationSupported; }
uint32_t CFFGLPluginManager::GetTextureOrientation() const { return textureOrientation; }

uint32_t CFFGLPluginManager::GetNumParams() const
{
	return static_cast< uint32_t >( params.size() );
}

const char* CFFGLPluginManager::GetParamName( uint32_t ID ) const
{
	const ParamInfo* info = FindParamInfo( ID );
	return info ? info->name.c_str() : nullptr;
}

uint32_t CFFGLPluginManager::GetParamType( uint32_t ID ) const
{
	const ParamInfo* info = FindParamInfo( ID );
	return info ? info->type : FF_FAIL;
}

uint32_t CFFGLPluginManager::GetParamUsage( uint32_t ID ) const
{
	const ParamInfo* info = FindParamInfo( ID );
	return info ? info->usage : FF_FAIL;
}

FFMixed CFFGLPluginManager::GetParamDefault( uint32_t ID ) const
{
	FFMixed result;
	result.PointerValue   = nullptr;
	const ParamInfo* info = FindParamInfo( ID );
	if( info == nullptr )
		result.UIntValue = FF_FAIL;
	else if( info->type == FF_TYPE_TEXT || info->type == FF_TYPE_FILE )
		result.PointerValue = const_cast< char* >( info->defaultStringVal.c_str() );
	else
		result.FloatValue = info->defaultFloatVal;
	return result;
}

uint32_t CFFGLPluginManager::GetParamVisibility( uint32_t ID ) const
{
	const ParamInfo* info = FindParamInfo( ID );
	if( info == nullptr )
		return FF_FAIL;
	return info->defaultVisibility ? FF_TRUE : FF_FALSE;
}

CFFGLPluginManager::ParamInfo::Range CFFGLPluginManager::GetParamRange( uint32_t ID ) const
{
	const ParamInfo* info = FindParamInfo( ID );
	return info ? info->range : ParamInfo::Range{};
}

std::string CFFGLPluginManager::GetParamGroup( uint32_t ID ) const
{
	const ParamInfo* info = FindParamInfo( ID );
	return info ? info->group : std::string();
}

std::string CFFGLPluginManager::GetParamDisplayName( uint32_t ID ) const
{
	const ParamInfo* info = FindParamInfo( ID );
	return info ? info->displayName : std::string();
}

uint32_t CFFGLPluginManager::GetNumParamElements( uint32_t ID ) const
{
	const ParamInfo* info = FindParamInfo( ID );
	return info ? static_cast< uint32_t >( info->elements.size() ) : FF_FAIL;
}

const char* CFFGLPluginManager::GetParamElementName( uint32_t ID, uint32_t elementIndex ) const
{
	const ParamInfo* info = FindParamInfo( ID );
	if( info == nullptr || elementIndex >= info->elements.size() )
		return nullptr;
	return info->elements[ elementIndex ].name.c_str();
}

FFMixed CFFGLPluginManager::GetParamElementDefault( uint32_t ID, uint32_t elementIndex ) const
{
	FFMixed result;
	result.PointerValue   = nullptr;
	const ParamInfo* info = FindParamInfo( ID );
	if( info == nullptr || elementIndex >= info->elements.size() )
		result.UIntValue = FF_FAIL;
	else
		result.FloatValue = info->elements[ elementIndex ].value;
	return result;
}

uint32_t CFFGLPluginManager::GetNumElementSeparators( uint32_t ID ) const
{
	const ParamInfo* info = FindParamInfo( ID );
	return info ? static_cast< uint32_t >( info->elementSeparators.size() ) : 0;
}

uint32_t CFFGLPluginManager::GetElementSeparatorElementIndex( uint32_t ID, uint32_t separatorIndex ) const
{
	const ParamInfo* info = FindParamInfo( ID );
	if( info == nullptr || separatorIndex >= info->elementSeparators.size() )
		return FF_FAIL;
	return info->elementSeparators[ separatorIndex ].elementIndex;
}

uint32_t CFFGLPluginManager::GetNumFileParamExtensions( uint32_t ID ) const
{
	const ParamInfo* info = FindParamInfo( ID );
	return info ? static_cast< uint32_t >( info->fileExtensions.size() ) : 0;
}

const char* CFFGLPluginManager::GetFileParamExtension( uint32_t ID, uint32_t extensionIndex ) const
{
	const ParamInfo* info = FindParamInfo( ID );
	if( info == nullptr || extensionIndex >= info->fileExtensions.size() )
		return nullptr;
	return info->fileExtensions[ extensionIndex ].c_str();
}

uint32_t CFFGLPluginManager::GetNumPendingParamEvents() const
{
	uint32_t count = 0;
	for( const ParamInfo& info : params )
		if( info.pendingEventFlags != 0 )
			++count;
	return count;
}

uint32_t CFFGLPluginManager::ConsumeParamEvents( ParamEventStruct* events, uint32_t capacity )
{
	uint32_t written = 0;
	if( events == nullptr )
		return 0;
	for( ParamInfo& info : params )
	{
		if( written >= capacity )
			break;
		if( info.pendingEventFlags == 0 )
			continue;
		events[ written ].ParameterNumber = info.ID;
		events[ written ].eventFlags      = info.pendingEventFlags;
		info.pendingEventFlags            = 0;
		++written;
	}
	return written;
}

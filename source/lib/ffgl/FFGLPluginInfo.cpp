#include "FFGLPluginInfo.h"

#include <cassert>
#include <cstring>

CFFGLPluginInfo* g_CurrPluginInfo = nullptr;

namespace
{
// Copies up to `size` characters, stopping after the first NUL; a text that
// fills the field gets no terminator, as the host record expects.
void CopyFixedText( char* field, size_t size, const char* text )
{
	if( text == nullptr )
		text = "";
	for( size_t i = 0; i < size; ++i )
	{
		field[ i ] = text[ i ];
		if( text[ i ] == '\0' )
			break;
	}
}
}// namespace

CFFGLPluginInfo::CFFGLPluginInfo( FPCREATEINSTANCEGL createInstance,
								  const char* id,
								  const char* name,
								  uint32_t apiMajorVersion,
								  uint32_t apiMinorVersion,
								  uint32_t pluginMajorVersion,
								  uint32_t pluginMinorVersion,
								  uint32_t pluginType,
								  const char* description,
								  const char* about,
								  uint32_t extendedDataSize,
								  const void* extendedData,
								  FPINITIALISE initialise,
								  FPDEINITIALISE deinitialise ) :
	about( about != nullptr ? about : "" ),
	description( description != nullptr ? description : "" ),
	createPluginInstance( createInstance ),
	initialiseMethod( initialise ),
	deinitialiseMethod( deinitialise )
{
	uint32_t dwAPIMajorVersion = apiMajorVersion;
	assert( dwAPIMajorVersion >= 2 );
	(void)dwAPIMajorVersion;

	pluginInfo.APIMajorVersion = apiMajorVersion;
	pluginInfo.APIMinorVersion = apiMinorVersion;
	CopyFixedText( pluginInfo.PluginName, sizeof pluginInfo.PluginName, name );
	CopyFixedText( pluginInfo.PluginUniqueID, sizeof pluginInfo.PluginUniqueID, id );
	pluginInfo.PluginType = pluginType;

	pluginExtendedInfo.Description        = this->description.c_str();
	pluginExtendedInfo.About              = this->about.c_str();
	pluginExtendedInfo.PluginMajorVersion = pluginMajorVersion;
	pluginExtendedInfo.PluginMinorVersion = pluginMinorVersion;
	if( extendedDataSize == 0 || extendedData == nullptr )
	{
		pluginExtendedInfo.FreeFrameExtendedDataSize  = 0;
		pluginExtendedInfo.FreeFrameExtendedDataBlock = nullptr;
	}
	else
	{
		const unsigned char* bytes = static_cast< const unsigned char* >( extendedData );
		this->extendedData.assign( bytes, bytes + extendedDataSize );
		pluginExtendedInfo.FreeFrameExtendedDataSize  = extendedDataSize;
		pluginExtendedInfo.FreeFrameExtendedDataBlock = this->extendedData.data();
	}

	g_CurrPluginInfo = this;
}

CFFGLPluginInfo::~CFFGLPluginInfo()
{
	// Nothing may answer from a record that no longer exists.
	if( g_CurrPluginInfo == this )
		g_CurrPluginInfo = nullptr;
}

const PluginInfoStruct* CFFGLPluginInfo::GetPluginInfo() const { return &pluginInfo; }
const PluginExtendedInfoStruct* CFFGLPluginInfo::GetPluginExtendedInfo() const { return &pluginExtendedInfo; }
FPCREATEINSTANCEGL CFFGLPluginInfo::GetFactoryMethod() const { return createPluginInstance; }
FPINITIALISE CFFGLPluginInfo::GetInitialiseMethod() const { return initialiseMethod; }
FPDEINITIALISE CFFGLPluginInfo::GetDeinitialiseMethod() const { return deinitialiseMethod; }

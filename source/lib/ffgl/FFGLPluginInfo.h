// The library's registration record: identity, factory and optional hooks,
// built by static initialisation at load. Also the factory template.
#pragma once

#include <string>
#include <vector>
#include "FFGL.h"

class CFFGLPlugin;

typedef FFResult ( *FPCREATEINSTANCEGL )( CFFGLPlugin** ppOutInstance );
typedef FFResult ( *FPINITIALISE )();
typedef void ( *FPDEINITIALISE )();

class CFFGLPluginInfo
{
public:
	CFFGLPluginInfo( FPCREATEINSTANCEGL createInstance,
					 const char* id,
					 const char* name,
					 uint32_t apiMajorVersion,
					 uint32_t apiMinorVersion,
					 uint32_t pluginMajorVersion,
					 uint32_t pluginMinorVersion,
					 uint32_t pluginType,
					 const char* description,
					 const char* about,
					 uint32_t extendedDataSize = 0,
					 const void* extendedData = nullptr,
					 FPINITIALISE initialise = nullptr,
					 FPDEINITIALISE deinitialise = nullptr );
	~CFFGLPluginInfo();

	CFFGLPluginInfo( const CFFGLPluginInfo& ) = delete;
	CFFGLPluginInfo& operator=( const CFFGLPluginInfo& ) = delete;

	const PluginInfoStruct* GetPluginInfo() const;
	const PluginExtendedInfoStruct* GetPluginExtendedInfo() const;
	FPCREATEINSTANCEGL GetFactoryMethod() const;
	FPINITIALISE GetInitialiseMethod() const;
	FPDEINITIALISE GetDeinitialiseMethod() const;

private:
	PluginInfoStruct pluginInfo{};
	PluginExtendedInfoStruct pluginExtendedInfo{};
	std::string about;
	std::string description;
	FPCREATEINSTANCEGL createPluginInstance;
	FPINITIALISE initialiseMethod;
	FPDEINITIALISE deinitialiseMethod;
	// Our own copy of a non-empty extended data block, so the record never
	// points at memory the registering code might release.
	std::vector< unsigned char > extendedData;
};

// The library's current registration record.
extern CFFGLPluginInfo* g_CurrPluginInfo;

// Makes one plug-in object of class T on the heap.
template< typename T >
FFResult PluginFactory( CFFGLPlugin** ppOutInstance )
{
	if( ppOutInstance == nullptr )
		return FF_FAIL;
	*ppOutInstance = new T();
	return *ppOutInstance != nullptr ? FF_SUCCESS : FF_FAIL;
}

// One pixel of a thumbnail: (c0 << 24) | (c1 << 16) | (c2 << 8) | c3.
struct CFFGLColor
{
	CFFGLColor() = default;
	CFFGLColor( uint32_t packed ) : value( packed ) {}
	CFFGLColor( uint8_t c0, uint8_t c1, uint8_t c2, uint8_t c3 ) :
		value( ( uint32_t( c0 ) << 24 ) | ( uint32_t( c1 ) << 16 ) | ( uint32_t( c2 ) << 8 ) | uint32_t( c3 ) )
	{
	}
	uint32_t value = 0;
};
static_assert( sizeof( CFFGLColor ) == 4, "one pixel is four bytes" );

// The library's optional thumbnail; the newest one made is current.
class CFFGLThumbnailInfo
{
public:
	CFFGLThumbnailInfo( uint32_t width, uint32_t height, std::vector< CFFGLColor > pixels );
	CFFGLThumbnailInfo( uint32_t width, uint32_t height, const CFFGLColor* pixels );
	~CFFGLThumbnailInfo();

	CFFGLThumbnailInfo( const CFFGLThumbnailInfo& ) = delete;
	CFFGLThumbnailInfo& operator=( const CFFGLThumbnailInfo& ) = delete;

	static CFFGLThumbnailInfo* GetInstance();
	uint32_t GetWidth() const;
	uint32_t GetHeight() const;
	const CFFGLColor* GetPixels() const;

private:
	static CFFGLThumbnailInfo* instance;
	uint32_t width;
	uint32_t height;
	std::vector< CFFGLColor > ownedPixels;
	const CFFGLColor* pixels;
};

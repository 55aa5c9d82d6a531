// The parameter registry every plug-in object carries: parameter
// descriptions in registration order, plug-in-wide capability settings and
// per-parameter change flags collected by the host as events.
#pragma once

#include <cstdint>
#include <string>
#include <vector>
#include "FFGL.h"

class CFFGLPluginManager
{
public:
	struct ParamInfo
	{
		struct Element
		{
			std::string name;
			float value = 0.0f;
		};
		struct ElementSeparator
		{
			uint32_t elementIndex = 0;
		};

		uint32_t ID = 0;
		std::string name;
		std::string displayName;
		uint32_t type = 0;
		std::vector< Element > elements;
		std::vector< ElementSeparator > elementSeparators;
		uint32_t usage = FF_USAGE_STANDARD;
		bool defaultVisibility = true;
		struct Range
		{
			float min = 0.0f;
			float max = 1.0f;
		} range;
		float defaultFloatVal = 0.0f;
		std::string defaultStringVal;
		std::vector< std::string > fileExtensions;
		uint64_t pendingEventFlags = 0;
		std::string group;
	};

	explicit CFFGLPluginManager( bool supportTopLeftTextureOrientation );
	virtual ~CFFGLPluginManager();

	// Registering operations: each appends a fresh entry.
	void SetParamInfo( uint32_t ID, const char* name, uint32_t type, float defaultValue );
	void SetParamInfo( uint32_t ID, const char* name, uint32_t type, bool defaultValue );
	void SetParamInfo( uint32_t ID, const char* name, uint32_t type, const char* defaultValue );
	void SetBufferParamInfo( uint32_t ID, const char* name, uint32_t numElements, uint32_t usage );
	void SetOptionParamInfo( uint32_t ID, const char* name, uint32_t numElements, float defaultValue );
	void SetFileParamInfo( uint32_t ID, const char* name, std::vector< std::string > supportedExtensions, const char* defaultFile );

	// Changing operations on an existing entry.
	void SetParamElementInfo( uint32_t ID, uint32_t elementIndex, const char* elementName, float elementValue );
	void AddElementSeparator( uint32_t ID, uint32_t elementIndex );
	void SetParamElements( uint32_t ID, std::vector< std::string > elementNames, std::vector< float > elementValues, bool notifyHost );
	uint32_t SetParamElementValue( uint32_t ID, uint32_t elementIndex, float value );
	void SetParamVisibility( uint32_t ID, bool shouldBeVisible, bool notifyHost );
	void SetParamDisplayName( uint32_t ID, std::string displayName, bool notifyHost );
	void SetParamRange( uint32_t ID, float min, float max );
	void SetParamGroup( uint32_t ID, std::string group );
	void RaiseParamEvent( uint32_t ID, uint64_t eventFlags );

	// Plug-in-wide settings.
	void SetMinInputs( uint32_t count );
	void SetMaxInputs( uint32_t count );
	void SetTimeSupported( bool supported );
	void HostEnabledTopLeftTextures();
	uint32_t GetMinInputs() const;
	uint32_t GetMaxInputs() const;
	bool IsTimeSupported() const;
	bool IsTopLeftTextureOrientationSupported() const;
	uint32_t GetTextureOrientation() const;

	// Queries.
	uint32_t GetNumParams() const;
	const char* GetParamName( uint32_t ID ) const;
	uint32_t GetParamType( uint32_t ID ) const;
	uint32_t GetParamUsage( uint32_t ID ) const;
	FFMixed GetParamDefault( uint32_t ID ) const;
	uint32_t GetParamVisibility( uint32_t ID ) const;
	ParamInfo::Range GetParamRange( uint32_t ID ) const;
	std::string GetParamGroup( uint32_t ID ) const;
	std::string GetParamDisplayName( uint32_t ID ) const;
	uint32_t GetNumParamElements( uint32_t ID ) const;
	const char* GetParamElementName( uint32_t ID, uint32_t elementIndex ) const;
	FFMixed GetParamElementDefault( uint32_t ID, uint32_t elementIndex ) const;
	uint32_t GetNumElementSeparators( uint32_t ID ) const;
	uint32_t GetElementSeparatorElementIndex( uint32_t ID, uint32_t separatorIndex ) const;
	uint32_t GetNumFileParamExtensions( uint32_t ID ) const;
	const char* GetFileParamExtension( uint32_t ID, uint32_t extensionIndex ) const;

	// Parameter events.
	uint32_t GetNumPendingParamEvents() const;
	uint32_t ConsumeParamEvents( ParamEventStruct* events, uint32_t capacity );

	ParamInfo* FindParamInfo( uint32_t ID );
	const ParamInfo* FindParamInfo( uint32_t ID ) const;

private:
	// Appends a fresh entry with its identity and empty elements.
	ParamInfo& AppendParam( uint32_t ID, const char* name, uint32_t type, size_t elementCount );

	std::vector< ParamInfo > params;
	uint32_t minInputs = 0;
	uint32_t maxInputs = 0;
	bool timeSupported = true;
	bool topLeftTextureOrientationSupported;
	uint32_t textureOrientation = FF_TEXTURE_ORIENTATION_DEFAULT;
};

// Plain copies of what a plug-in reports about itself, detached from the
// plug-in's memory so they stay valid after the library is unloaded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plughost
{
struct PluginIdentity
{
	std::string id;  // up to 4 characters
	std::string name;// up to 16 characters
	uint32_t type            = 0;
	uint32_t apiMajorVersion = 0;
	uint32_t apiMinorVersion = 0;
};

struct ExtendedIdentity
{
	uint32_t majorVersion = 0;
	uint32_t minorVersion = 0;
	std::string description;
	std::string about;
	uint32_t extendedDataSize = 0;
};

struct Capabilities
{
	bool timeSupported        = false;
	uint32_t minimumInputs    = 0;
	uint32_t maximumInputs    = 0;
	bool topLeftOrientation   = false;
};

struct ParameterElement
{
	std::string name;
	std::optional< float > value;
};

struct ParameterDescription
{
	uint32_t index = 0;
	std::string name;
	uint32_t type = 0;
	float defaultValue = 0.0f;// numeric parameters
	std::string defaultText;  // text and file parameters
	float minimum = 0.0f;
	float maximum = 1.0f;
	uint32_t usage = 0;
	std::vector< ParameterElement > elements;
	std::vector< uint32_t > separators;
	std::vector< std::string > fileExtensions;
	bool visible = true;
	std::string group;
};

// Text and file parameters carry pointers to text; every other type a float.
bool IsTextType( uint32_t type );
std::string PluginTypeName( uint32_t type );
std::string ParameterTypeName( uint32_t type );
}// namespace plughost

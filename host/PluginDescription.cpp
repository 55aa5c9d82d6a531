#include "PluginDescription.h"

#include <ffgl/FFGL.h>

namespace plughost
{
bool IsTextType( uint32_t type )
{
	return type == FF_TYPE_TEXT || type == FF_TYPE_FILE;
}

std::string PluginTypeName( uint32_t type )
{
	switch( type )
	{
	case FF_EFFECT: return "effect";
	case FF_SOURCE: return "source";
	case FF_MIXER: return "mixer";
	default: return "unknown (" + std::to_string( type ) + ")";
	}
}

std::string ParameterTypeName( uint32_t type )
{
	switch( type )
	{
	case FF_TYPE_BOOLEAN: return "boolean";
	case FF_TYPE_EVENT: return "event";
	case FF_TYPE_RED: return "red";
	case FF_TYPE_GREEN: return "green";
	case FF_TYPE_BLUE: return "blue";
	case FF_TYPE_STANDARD: return "standard";
	case FF_TYPE_OPTION: return "option";
	case FF_TYPE_BUFFER: return "buffer";
	case FF_TYPE_INTEGER: return "integer";
	case FF_TYPE_FILE: return "file";
	case FF_TYPE_TEXT: return "text";
	case FF_TYPE_HUE: return "hue";
	case FF_TYPE_SATURATION: return "saturation";
	case FF_TYPE_BRIGHTNESS: return "brightness";
	case FF_TYPE_ALPHA: return "alpha";
	default: return "unknown (" + std::to_string( type ) + ")";
	}
}
}// namespace plughost

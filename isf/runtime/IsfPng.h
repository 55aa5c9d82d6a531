// IMPORTED images: PNG bytes carried in the plug-in, decoded with libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace isf
{
struct Picture
{
	uint32_t width = 0, height = 0;
	std::vector< uint8_t > rgba;// bottom row first, as GL wants it
};

// Throws isf::Error with libpng's reason, prefixed by `what`.
Picture DecodePng( const std::vector< uint8_t >& bytes, const std::string& what );
}// namespace isf

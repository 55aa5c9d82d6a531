// PNG files as RGBA8, top row first. Pixels are stored exactly as given:
// no premultiplication or gamma change on the way in or out.
#pragma once

#include "Image.h"

#include <string>

namespace plughost
{
// Throws Error naming the file and the reason.
Image ReadPng( const std::string& path );
void WritePng( const std::string& path, const Image& image );
// The bytes of a PNG file holding `image`, made for speed (live previews)
// rather than size; throws Error.
std::string EncodePng( const Image& image );
}// namespace plughost

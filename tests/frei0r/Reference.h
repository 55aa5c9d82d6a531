// Test support: a frame rendered by the host library directly, the way
// `plughost render` renders it, to compare bridged frames with.
#pragma once

#include <Image.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace frei0rtest
{
struct ReferenceFrame
{
	std::string plugin;
	uint32_t width  = 64;
	uint32_t height = 48;
	std::vector< std::pair< uint32_t, float > > values = {};// FFGL parameter index, plug-in value
	std::vector< plughost::Image > inputs = {};
	double time = 0.0;
};

plughost::Image RenderReference( const ReferenceFrame& frame );
}// namespace frei0rtest

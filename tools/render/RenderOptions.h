// What `plughost render` was asked to do.
#pragma once

#include "common/CliOptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plughost::cli
{
struct RenderOptions
{
	std::string plugin;
	uint32_t width  = 1280;
	uint32_t height = 720;
	std::vector< Setting > settings;
	std::optional< uint32_t > frames;// a sequence when present
	double fps = 30.0;
	std::vector< std::string > inputs;
	std::optional< std::string > out;
	std::optional< std::string > outDir;
};

// `args` are those after "render". Throws UsageError and HelpRequested.
RenderOptions ParseRenderArgs( const std::vector< std::string >& args );

std::string RenderUsage();
}// namespace plughost::cli

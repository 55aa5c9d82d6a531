// What `plughost render` was asked to do.
#pragma once

#include "common/CliOptions.h"

#include <Compositing.h>
#include <Y4mWriter.h>

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
	std::vector< std::string > animations;// NAME=FROM:TO
	std::optional< uint32_t > frames;// a sequence when present
	double fps  = 30.0;
	double startTime = 0.0;// host time of the first frame, seconds
	bool pacing = true;
	std::vector< std::string > inputs;
	std::optional< std::string > out;
	std::optional< std::string > outDir;
	std::optional< Background > background;
	ChromaFormat chroma = ChromaFormat::Yuv420;
	VideoRange range    = VideoRange::Limited;

	// --out names a YUV4MPEG2 stream: "-" or a file ending in .y4m.
	bool Video() const;
	bool VideoToStdout() const { return out && *out == "-"; }
};

// `args` are those after "render". Throws UsageError and HelpRequested.
RenderOptions ParseRenderArgs( const std::vector< std::string >& args );

// checker, black, white or #RRGGBB.
Background ParseBackground( const std::string& text );

std::string RenderUsage();
}// namespace plughost::cli

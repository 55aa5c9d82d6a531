// What `plughost bench` was asked to do.
#pragma once

#include "common/CliOptions.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace plughost::cli
{
struct BenchOptions
{
	std::string plugin;
	std::vector< std::pair< uint32_t, uint32_t > > sizes;// 1280x720 and 1920x1080 unless given
	std::vector< Setting > settings;
	std::vector< std::string > inputs;
	uint32_t frames = 100;// timed frames per size
	uint32_t warmup = 10;
	bool json       = false;
};

// `args` are those after "bench". Throws UsageError and HelpRequested.
BenchOptions ParseBenchArgs( const std::vector< std::string >& args );

std::string BenchUsage();
}// namespace plughost::cli

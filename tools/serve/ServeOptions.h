// What `plughost serve` was asked to do.
#pragma once

#include "common/CliOptions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plughost::cli::serve
{
struct ServeOptions
{
	std::string plugin;
	std::string bind = "127.0.0.1";
	uint32_t port    = 8080;// 0: any free port
	uint32_t width   = 640;
	uint32_t height  = 360;
	double fps       = 30.0;
	double timeout   = 10.0;
	std::vector< std::string > inputs;
	std::vector< Setting > settings;
	bool worker = false;// run as the worker process (internal)
};

// `args` are those after "serve". Throws UsageError and HelpRequested.
ServeOptions ParseServeArgs( const std::vector< std::string >& args );

std::string ServeUsage();
}// namespace plughost::cli::serve

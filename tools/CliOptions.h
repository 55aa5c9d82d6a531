// Command-line parsing for the plughost tool, kept free of GL and plug-in
// loading so it can be tested on its own.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace plughost::cli
{
constexpr int kExitOk      = 0;
constexpr int kExitFailure = 1;// the plug-in failed a request or could not be loaded
constexpr int kExitUsage   = 2;

// A mistake in the invocation; the message says what is valid.
class UsageError : public std::runtime_error
{
public:
	explicit UsageError( const std::string& message ) : std::runtime_error( message ) {}
};

enum class Command
{
	Help,
	Info,
	Render,
};

struct Setting
{
	std::string name;
	std::string value;
};

struct RenderOptions
{
	uint32_t width  = 1280;
	uint32_t height = 720;
	std::vector< Setting > settings;
	std::optional< uint32_t > frames;// a sequence when present
	double fps = 30.0;
	std::vector< std::string > inputs;
	std::optional< std::string > out;
	std::optional< std::string > outDir;
};

struct Invocation
{
	Command command = Command::Help;
	std::string helpTopic;// "", "info" or "render" for Command::Help
	std::string plugin;
	RenderOptions render;
};

// `args` excludes the program name. Throws UsageError.
Invocation ParseCommandLine( const std::vector< std::string >& args );

// "WxH" with both sides 1..16384.
std::pair< uint32_t, uint32_t > ParseSize( const std::string& text );

std::string GeneralUsage();
std::string InfoUsage();
std::string RenderUsage();
}// namespace plughost::cli

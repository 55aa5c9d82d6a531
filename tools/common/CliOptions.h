// Pieces of command-line parsing that every plughost command shares, kept
// free of GL and plug-in loading so they can be tested on their own.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace plughost::cli
{
constexpr int kExitOk      = 0;
constexpr int kExitFailure = 1;// the plug-in failed a request or could not be loaded
constexpr int kExitUsage   = 2;

// ASCII letters in lower case, for names matched without regard to case.
std::string Lower( std::string text );
// The text in double quotes, for messages.
std::string Quoted( const std::string& text );

// A mistake in the invocation; the message says what is valid.
class UsageError : public std::runtime_error
{
public:
	explicit UsageError( const std::string& message ) : std::runtime_error( message ) {}
};

// Thrown by a command's parser when it meets --help or -h; the dispatcher
// prints that command's usage.
struct HelpRequested
{
};

// A failure of the plug-in or of the environment (exit status 1).
struct Failure
{
	std::string message;
};

struct Setting
{
	std::string name;
	std::string value;
};

bool IsHelp( const std::string& arg );

// Accepts "--name value" and "--name=value"; answers whether `args[i]` was it
// and advances `i` past a separate value.
bool TakeValue( const std::vector< std::string >& args, std::size_t& i, const std::string& name, std::string& value );

// Decimal digits only, at most `maximum`.
bool ParseUnsigned( const std::string& text, uint32_t maximum, uint32_t& value );

// "WxH" with both sides 1..16384.
std::pair< uint32_t, uint32_t > ParseSize( const std::string& text );

// NAME=VALUE; only the first '=' separates.
Setting ParseSetting( const std::string& text );

// A finite positive number; `option` names the option in the message.
double ParsePositive( const std::string& option, const std::string& text );
// --fps: from 0.001 (a video header keeps three decimals) to 1000.
double ParseFrameRate( const std::string& text );

// The one positional argument of a command: the plug-in file. Throws for an
// unknown option (`arg` starts with '-') or a second file.
void TakePlugin( const std::string& command, const std::string& arg, std::string& plugin );
}// namespace plughost::cli

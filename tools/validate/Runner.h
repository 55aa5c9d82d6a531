// The parent's side: one child per check, and turning how each child ended
// into a result. The parent never loads the plug-in and never makes a GL
// context, so nothing a plug-in does can take it down.
#pragma once

#include "Check.h"
#include "Protocol.h"

#include <ChildProcess.h>

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace plughost::validate
{
struct CheckResult
{
	const CheckSpec* check = nullptr;
	Status status          = Status::Pass;
	std::string message;
	std::vector< std::string > details;
	double seconds = 0.0;
};

struct Counts
{
	std::size_t passed = 0, warnings = 0, failed = 0, skipped = 0;
	void Add( Status status );
	void Add( const Counts& other );
	std::string Summary() const;// "12 passed, 1 warnings, 0 failed"; skipped ones are not counted
};

struct PluginResult
{
	std::string path;
	std::map< std::string, std::string > facts;// id, name, type, api from library.load
	std::vector< CheckResult > results;
	Counts Count() const;
};

// A progress line on a terminal; silent otherwise.
class Progress
{
public:
	Progress( std::ostream& stream, bool enabled ) : stream( stream ), enabled( enabled ) {}
	void Show( std::size_t done, std::size_t total, const std::string& label );
	void Clear();

private:
	std::ostream& stream;
	bool enabled;
	bool shown = false;
};

// Runs `checks` on one plug-in, each in its own child: forked, or with
// settings.preload the tool itself is executed again in its hidden child
// mode with the library preloaded. `onResult` sees each result as it comes.
PluginResult RunChecks( const Settings& settings, const std::vector< const CheckSpec* >& checks, Progress& progress,
						const std::function< void( const CheckResult& ) >& onResult );

// The child's whole life for one check: run it, send the outcome, answer 0.
int RunCheckInChild( const Settings& settings, const CheckSpec& check, const ChildChannel& channel );

// How a child's messages, exit and output become a result.
CheckResult Judge( const CheckSpec& check, const ChildExit& exit, const std::vector< std::string >& messages,
				   const std::string& out, const std::string& err );

// The first line of a sanitizer report in `text`, without the "==pid=="
// prefix; empty when there is none.
std::string SanitizerReport( const std::string& text );
}// namespace plughost::validate

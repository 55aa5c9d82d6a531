// The three report forms: text for people (written as results arrive),
// JSON for programs, JUnit XML for CI servers.
#pragma once

#include "Runner.h"

#include <ostream>
#include <string>
#include <vector>

namespace plughost::validate
{
struct RunInfo
{
	int level     = 5;
	uint64_t seed = 0;
	std::vector< PluginResult > plugins;
};

// Text: a header per plug-in, one line per check grouped under its group's
// name, then the plug-in's summary line.
class TextReport
{
public:
	explicit TextReport( std::ostream& out ) : out( out ) {}
	void Begin( const std::string& plugin, int level, uint64_t seed );
	void Line( const CheckResult& result );
	void End( const PluginResult& plugin );
	// One more line totalling several plug-ins.
	void Total( const std::vector< PluginResult >& plugins );

private:
	std::ostream& out;
	std::string group;
};

std::string JsonReport( const RunInfo& run );
std::string JUnitReport( const RunInfo& run );

// Invalid UTF-8 sequences replaced by '?': messages quote plug-ins' bytes.
std::string ValidUtf8( const std::string& text );
// Text escaped for a JSON string (without the quotes) and for XML.
std::string JsonEscape( const std::string& text );
std::string XmlEscape( const std::string& text );
}// namespace plughost::validate

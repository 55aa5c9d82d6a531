// The FFGL plug-in carried inside this module, loaded from its embedded bytes
// and initialised. Shared by every instance: it stays loaded until the last
// instance is gone, even when the host calls f0r_deinit first (MLT does).
#pragma once

#include "ParameterMap.h"

#include <PluginLibrary.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ffglfrei0r
{
// What the host is told about the plug-in; fixed for the life of the file.
struct PluginFacts
{
	std::string name;// the FFGL name
	std::string author;
	std::string explanation;
	uint32_t ffglType  = 0;
	int frei0rType     = 0;
	int majorVersion   = 1;
	int minorVersion   = 0;
	bool timeSupported = false;
	std::vector< MappedParameter > parameters;
};

class LoadedPlugin
{
public:
	// Throws plughost::Error with a readable reason.
	LoadedPlugin( int payloadFd, const std::string& path );
	~LoadedPlugin();
	LoadedPlugin( const LoadedPlugin& )            = delete;
	LoadedPlugin& operator=( const LoadedPlugin& ) = delete;

	plughost::PluginLibrary& Library() { return *library; }
	const PluginFacts& Facts() const { return facts; }
	// Held around every call into the plug-in: its library-wide state is
	// not made for calls from two threads at once.
	std::mutex& CallMutex() { return callMutex; }

private:
	int payloadFd = -1;// open while the library is loaded, so no other file gets its /proc path
	std::unique_ptr< plughost::PluginLibrary > library;
	PluginFacts facts;
	std::mutex callMutex;
};
}// namespace ffglfrei0r

// A loaded plug-in library: dlopen, the two entry points, log capture and
// typed wrappers for every plug-in-wide function code.
#pragma once

#include "Error.h"
#include "LogCapture.h"
#include "PluginDescription.h"

#include <ffgl/FFGL.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace plughost
{
struct LoadOptions
{
	// RTLD_GLOBAL instead of RTLD_LOCAL; only for plug-ins that need their
	// symbols visible to libraries they load themselves.
	bool globalSymbols = false;
	// Install the log trampoline so messages land in Log().
	bool captureLog = true;
};

class PluginLibrary
{
public:
	// Loads the library and checks its identity answer (code 0); throws
	// Error with a readable reason when any step fails.
	explicit PluginLibrary( const std::string& path, LoadOptions options = {} );
	// De-initialises (code 2) when Initialise() succeeded, then unloads.
	~PluginLibrary();
	PluginLibrary( const PluginLibrary& )            = delete;
	PluginLibrary& operator=( const PluginLibrary& ) = delete;

	const std::string& Path() const { return path; }

	// Raw access for odd inputs; no checks on the code or the arguments.
	FFMixed Call( uint32_t code, FFMixed input, void* instance = nullptr ) const;
	uint32_t CallU( uint32_t code, uint32_t input = 0, void* instance = nullptr ) const;
	uint32_t CallP( uint32_t code, const void* input, void* instance = nullptr ) const;
	bool HasLogCallback() const { return setLogCallback != nullptr; }

	// Identity (codes 0, 13, 33).
	const PluginIdentity& Identity() const { return identity; }
	std::optional< ExtendedIdentity > Extended() const;
	std::optional< std::string > ShortName() const;

	// Life of the prototype (codes 34 and 2); answers the plug-in's result.
	uint32_t Initialise();
	uint32_t DeInitialise();
	bool Initialised() const { return initialised; }

	// Capabilities (code 10).
	uint32_t Capability( uint32_t capability ) const;
	Capabilities Caps() const;

	// Parameter descriptors. Per-code wrappers answer nullopt where the
	// plug-in answered failure; ParameterCount and Describe throw instead.
	uint32_t ParameterCount() const;                                  // 4
	std::optional< std::string > ParameterName( uint32_t index ) const; // 5
	std::optional< FFMixed > ParameterDefault( uint32_t index ) const;  // 6
	std::optional< uint32_t > ParameterType( uint32_t index ) const;    // 15
	std::optional< uint32_t > ParameterUsage( uint32_t index ) const;   // 32
	std::optional< uint32_t > ElementCount( uint32_t index, void* instance = nullptr ) const;                 // 31
	std::optional< std::string > ElementName( uint32_t index, uint32_t element, void* instance = nullptr ) const; // 35
	std::optional< float > ElementValue( uint32_t index, uint32_t element, void* instance = nullptr ) const;       // 36
	std::optional< std::pair< float, float > > Range( uint32_t index ) const;                                    // 41
	std::optional< uint32_t > FileExtensionCount( uint32_t index ) const;                                        // 43
	std::optional< std::string > FileExtension( uint32_t index, uint32_t extension ) const;                      // 44
	std::optional< bool > Visible( uint32_t index, void* instance = nullptr ) const;                             // 45
	uint32_t SeparatorCount( uint32_t index ) const;                                                             // 47
	std::optional< uint32_t > SeparatorElement( uint32_t index, uint32_t separator ) const;                      // 48
	std::optional< std::string > Group( uint32_t index ) const;                                                  // 50

	ParameterDescription Describe( uint32_t index ) const;
	std::vector< ParameterDescription > DescribeAll() const;

	// Messages the plug-in sent to the host log, oldest first.
	// Every PluginLibrary of the same file shares this log.
	std::vector< std::string > Log() const;
	void ClearLog();
	bool CapturingLog() const { return log && log->Capturing(); }

private:
	std::string path;
	void* handle                              = nullptr;
	FF_Main_FuncPtr plugMain                  = nullptr;
	FF_SetLogCallback_FuncPtr setLogCallback  = nullptr;
	bool initialised                          = false;
	PluginIdentity identity;
	std::shared_ptr< SharedLog > log;

	void Unload() noexcept;
};

// Reads a text answer into a string through a zero-filled buffer of the
// given capacity (codes 50 and 51); nullopt when the plug-in answers failure.
std::optional< std::string > QueryText( const PluginLibrary& library, uint32_t code, uint32_t index,
										void* instance, uint32_t capacity = 256 );
}// namespace plughost

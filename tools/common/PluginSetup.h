// Steps that every command driving a plug-in shares: input pictures, the
// input-count check and sending --set values.
#pragma once

#include "ParameterSettings.h"

#include <PlugHost.h>

#include <memory>
#include <string>
#include <vector>

namespace plughost::cli
{
// Reads each PNG; a missing or unreadable file is a usage error.
std::vector< Image > ReadInputs( const std::vector< std::string >& paths );

// Effects and mixers need their minimum number of pictures; nobody gets more
// than the maximum. Throws UsageError.
void CheckInputCount( const PluginLibrary& library, const Capabilities& caps, std::size_t given );

// Throws Failure naming the parameter the plug-in refused.
void ApplySettings( Instance& instance, const std::vector< ResolvedSetting >& settings );

void PrintWarnings( std::ostream& err, const std::vector< ResolvedSetting >& settings );

// How many pictures a plug-in gets when no --input was given: one for an
// effect, two for a mixer, within what it declares.
uint32_t GeneratedInputCount( const PluginLibrary& library, const Capabilities& caps );

// Input textures as hosts often hand them over: power-of-two allocations
// with the picture in the lower-left corner.
struct InputTextures
{
	std::vector< std::unique_ptr< InputTexture > > owned;
	std::vector< const InputTexture* > inputs;
};
InputTextures UploadInputs( const std::vector< Image >& images );
}// namespace plughost::cli

// The frei0r bridge shell (bridges/frei0r), built into plughost so that the
// tool makes modules wherever it is installed, needing no other file.
#pragma once

#include <string_view>

namespace plughost::cli
{
std::string_view BridgeShell();
}// namespace plughost::cli

// A string parameter value from a host. frei0r passes a char** (a pointer to
// the host's char*), but GStreamer 1.22 passes the char* itself for values set
// while an instance exists. Reading the wrong one would crash the host, so
// memory is probed through the kernel before it is trusted.
#pragma once

#include "Frei0rApi.h"

#include <string>

namespace ffglfrei0r
{
// The text, at most kMaxText bytes; empty when neither reading works.
std::string ReadHostText( f0r_param_t value );
constexpr std::size_t kMaxText = 65536;
}// namespace ffglfrei0r

// `plughost bench`: how fast a plug-in renders at given sizes.
#pragma once

#include "Command.h"

#include <Image.h>

#include <cstdint>
#include <vector>

namespace plughost::cli
{
CommandSpec BenchCommand();

// Pictures for an effect's or mixer's inputs when none were given: a
// gradient, then a checkerboard, alternating; `count` of them.
std::vector< Image > TestPatterns( uint32_t count, uint32_t width, uint32_t height );
}// namespace plughost::cli

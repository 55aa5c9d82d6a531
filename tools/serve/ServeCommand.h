// `plughost serve`: a live preview of a plug-in in a web browser.
#pragma once

#include "Command.h"

namespace plughost::cli
{
CommandSpec ServeCommand();
}// namespace plughost::cli

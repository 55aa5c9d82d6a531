// plughost validate: a conformance validator for any FFGL plug-in.
#pragma once

#include "Command.h"

namespace plughost::cli
{
CommandSpec ValidateCommand();
}// namespace plughost::cli

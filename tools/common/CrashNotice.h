// A plug-in that crashes takes the tool down with it; before it goes, the
// tool says which request it was in, as the validator would.
#pragma once

namespace plughost::cli
{
// Installs, once, handlers for the fatal signals that print
// "plughost: the plug-in crashed (SIGSEGV) during code 17 (process frame)" on
// standard error and then die by the same signal. Signals that already have
// a handler (a sanitizer's, say) keep it.
void AnnouncePluginCrashes();
}// namespace plughost::cli

// Shared pieces of the host library tests.
#pragma once

#include <GLContext.h>

#include <string>

namespace hosttest
{
std::string Fixture( const std::string& name );// <fixture dir>/<name>.so
std::string ClockPath();                       // <plug-in dir>/VavoRozar.so
bool ClockBuilt();
// A context made once per process; GL objects in tests need it current.
plughost::GLContext& Context();
// A fresh scratch directory under the system temporary directory.
std::string ScratchDir( const std::string& name );
}// namespace hosttest

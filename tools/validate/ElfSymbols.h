// The symbols a shared library exports, read from its dynamic symbol table.
#pragma once

#include <string>
#include <vector>

namespace plughost::validate
{
// Defined global and weak symbols with default or protected visibility,
// without version names and the linker's own (_init, _fini, _end, ...).
// Throws std::runtime_error for a file that is not a 64-bit ELF library.
std::vector< std::string > ExportedSymbols( const std::string& path );
}// namespace plughost::validate

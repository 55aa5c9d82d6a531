// `plughost isf`: ISF files into ready FFGL plug-ins, each a copy of the ISF
// shell with the shader, its .vs and its images appended.
#pragma once

#include "Command.h"

#include <optional>
#include <string>
#include <vector>

namespace plughost::cli
{
CommandSpec IsfCommand();

struct IsfOptions
{
	std::vector< std::string > files;
	std::string outDir = ".";
	std::optional< std::string > output;// one file: exactly this path
	std::optional< std::string > name, id;
	std::optional< std::string > shell;
};

// Throws UsageError and HelpRequested.
IsfOptions ParseIsfArgs( const std::vector< std::string >& args );

// Where the shell is: --shell, else beside this program (build tree), else
// <prefix>/<libdir>/ffgl-sdk/ for an installed program in <prefix>/bin.
std::string FindIsfShell( const std::optional< std::string >& given );

// The file name a plug-in of this name gets: the name with '/' and control
// characters as '_', never starting with '.', plus ".so".
std::string PluginFileName( const std::string& name );
}// namespace plughost::cli

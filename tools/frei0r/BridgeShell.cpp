#include "BridgeShell.h"

// The path comes from the build (FFGL_FREI0R_SHELL_PATH); this file is
// compiled without a compiler cache, which would not see the file change.
asm( ".pushsection .rodata.ffgl_frei0r_shell, \"a\"\n"
	 ".balign 16\n"
	 "ffgl_frei0r_shell_begin:\n"
	 ".incbin \"" FFGL_FREI0R_SHELL_PATH "\"\n"
	 "ffgl_frei0r_shell_end:\n"
	 ".popsection\n" );

extern "C" const char ffgl_frei0r_shell_begin[];
extern "C" const char ffgl_frei0r_shell_end[];

namespace plughost::cli
{
std::string_view BridgeShell()
{
	return { ffgl_frei0r_shell_begin, static_cast< std::size_t >( ffgl_frei0r_shell_end - ffgl_frei0r_shell_begin ) };
}
}// namespace plughost::cli

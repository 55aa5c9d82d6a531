#include "FFGLLogging.h"

#include <cstdio>

namespace ffglex
{
void Log( const std::string& message )
{
	std::string line = message + "\n";
	printf( "%s", line.c_str() );
}

void Log( const char* message )
{
	const std::string text = message != nullptr ? message : "";
	Log( text );
}
}// namespace ffglex

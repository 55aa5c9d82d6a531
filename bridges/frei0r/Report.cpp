#include "Report.h"

#include <cstdio>
#include <mutex>
#include <set>

namespace ffglfrei0r
{
void ReportOnce( const std::string& subject, const std::string& reason )
{
	std::string line = "ffgl-frei0r: " + subject + ": " + reason;
	for( char& c : line )
		if( c == '\n' || c == '\r' )
			c = ' ';
	static std::mutex mutex;
	static std::set< std::string > said;
	std::lock_guard< std::mutex > lock( mutex );
	if( !said.insert( line ).second )
		return;
	line += '\n';
	std::fwrite( line.data(), 1, line.size(), stderr );
	std::fflush( stderr );
}
}// namespace ffglfrei0r

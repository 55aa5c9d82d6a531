#include "HostTime.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

namespace ffglfrei0r
{
namespace
{
constexpr double kLatestTime = 1.0e9;

// True when the object holding `caller` itself defines avfilter_version.
bool CallerIsLibavfilter( const void* caller )
{
	Dl_info info{};
	if( caller == nullptr || dladdr( caller, &info ) == 0 || info.dli_fname == nullptr )
		return false;
	void* object = dlopen( info.dli_fname[ 0 ] ? info.dli_fname : nullptr, RTLD_LAZY | RTLD_NOLOAD );
	if( object == nullptr )
		return false;
	void* symbol = dlsym( object, "avfilter_version" );
	Dl_info where{};
	const bool own = symbol != nullptr && dladdr( symbol, &where ) != 0 && where.dli_fbase == info.dli_fbase;
	dlclose( object );
	return own;
}
}// namespace

TimeUnit UnitOfCaller( const void* caller )
{
	if( const char* forced = std::getenv( "FFGL_FREI0R_TIME_UNIT" ) )
	{
		if( std::strcmp( forced, "ms" ) == 0 )
			return TimeUnit::Milliseconds;
		if( std::strcmp( forced, "s" ) == 0 )
			return TimeUnit::Seconds;
	}
	return CallerIsLibavfilter( caller ) ? TimeUnit::Milliseconds : TimeUnit::Seconds;
}

double PluginTime( double hostTime, TimeUnit unit )
{
	double seconds = unit == TimeUnit::Milliseconds ? hostTime / 1000.0 : hostTime;
	if( !( seconds >= 0.0 ) )
		return 0.0;
	return seconds > kLatestTime ? kLatestTime : seconds;
}
}// namespace ffglfrei0r

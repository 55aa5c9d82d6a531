#include "HostQuirks.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

namespace ffglfrei0r
{
namespace
{
constexpr double kLatestTime = 1.0e9;

// libavfilter's avfilter_version when the object holding `caller` itself
// defines it, else null. `object` gets a handle on that object, which the
// caller closes.
void* LibavfilterVersion( const void* caller, void*& object )
{
	object = nullptr;
	Dl_info info{};
	if( caller == nullptr || dladdr( caller, &info ) == 0 || info.dli_fname == nullptr )
		return nullptr;
	object = dlopen( info.dli_fname[ 0 ] ? info.dli_fname : nullptr, RTLD_LAZY | RTLD_NOLOAD );
	if( object == nullptr )
		return nullptr;
	void* symbol = dlsym( object, "avfilter_version" );
	Dl_info where{};
	if( symbol != nullptr && dladdr( symbol, &where ) != 0 && where.dli_fbase == info.dli_fbase )
		return symbol;
	return nullptr;
}

bool CallerIsLibavfilter( const void* caller )
{
	void* object        = nullptr;
	const bool isFilter = LibavfilterVersion( caller, object ) != nullptr;
	if( object != nullptr )
		dlclose( object );
	return isFilter;
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

unsigned PaddedRowOfCaller( const void* caller, unsigned width )
{
	void* object  = nullptr;
	void* version = LibavfilterVersion( caller, object );
	unsigned padded = 0;
	// Known in libavfilter 8 (ffmpeg 5); later ones are left alone rather
	// than warned about on a guess.
	if( version != nullptr && reinterpret_cast< unsigned ( * )() >( version )() >> 16 <= 8 )
	{
		// ffmpeg aligns each row to the processor's widest vector
		// (libavutil's av_cpu_max_align, a dependency of libavfilter).
		std::size_t align = 64;
		if( void* maxAlign = dlsym( object, "av_cpu_max_align" ) )
			align = reinterpret_cast< std::size_t ( * )() >( maxAlign )();
		const std::size_t bytes = static_cast< std::size_t >( width ) * 4;
		if( align >= 4 && align <= 4096 && bytes % align != 0 )
			padded = static_cast< unsigned >( ( bytes / align + 1 ) * align / 4 );
	}
	if( object != nullptr )
		dlclose( object );
	return padded;
}

double PluginTime( double hostTime, TimeUnit unit )
{
	double seconds = unit == TimeUnit::Milliseconds ? hostTime / 1000.0 : hostTime;
	if( !( seconds >= 0.0 ) )
		return 0.0;
	return seconds > kLatestTime ? kLatestTime : seconds;
}
}// namespace ffglfrei0r

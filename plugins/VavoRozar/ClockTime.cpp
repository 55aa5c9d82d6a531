#include "ClockTime.h"

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>
#include <sys/time.h>

namespace clocktime
{
BrokenDownTime ToLocalTime( int64_t epochSeconds, int64_t microseconds )
{
	BrokenDownTime result{ 0, 0, 0, 0 };
	// Whole milliseconds of the reading; a microsecond count outside one
	// second is still folded into 0..999.
	int64_t ms = ( microseconds / 1000 ) % 1000;
	if( ms < 0 )
		ms += 1000;
	result.millisecond = static_cast< int >( ms );

	const time_t t = static_cast< time_t >( epochSeconds );
	struct tm fields{};
	bool converted = false;
	{
		// Instances on different threads convert at the same time, and
		// tzset rewrites the C library's one copy of the zone rules. The C
		// library guards that with a lock of its own that thread checkers
		// cannot see; taking ours around it too makes the order explicit.
		static std::mutex zoneMutex;
		std::lock_guard< std::mutex > lock( zoneMutex );
		// localtime_r need not read TZ again: tzset picks up a zone the host
		// changed while running, as localtime itself would. It runs only when
		// TZ has changed, because with TZ unset the C library checks
		// /etc/localtime with a system call on every tzset.
		static bool zoneRead = false, hadZone = false;
		static std::string lastZone;
		const char* zone = std::getenv( "TZ" );
		if( !zoneRead || hadZone != ( zone != nullptr ) || ( zone != nullptr && lastZone != zone ) )
		{
			tzset();
			zoneRead = true;
			hadZone  = zone != nullptr;
			lastZone = zone != nullptr ? zone : "";
		}
		// Thread-safe form of localtime. If the zone rules cannot convert
		// this instant, show UTC rather than nothing; if even that fails,
		// midnight.
		converted = localtime_r( &t, &fields ) != nullptr || gmtime_r( &t, &fields ) != nullptr;
	}
	if( !converted )
		return result;
	result.hour   = fields.tm_hour;
	result.minute = fields.tm_min;
	result.second = fields.tm_sec;
	return result;
}

ClockFractions ToFractions( const BrokenDownTime& local, float timezoneOffset, bool hourFormat24h, bool smooth )
{
	float h = static_cast< float >( local.hour ) + timezoneOffset;
	h       = std::fmod( 24.0f + h, 24.0f );
	// An offset below -24 hours would leave a negative hour; wrap it once
	// more so the faces always get 0..24.
	if( h < 0.0f )
		h += 24.0f;
	if( !std::isfinite( h ) )
		h = 0.0f;

	const float m = static_cast< float >( local.minute );
	const float s = static_cast< float >( local.second );

	ClockFractions out{};
	if( hourFormat24h )
	{
		out.hours = ( h + m / 60.0f ) / 24.0f;
	}
	else
	{
		const int h12 = static_cast< int >( h ) % 12;
		out.hours     = ( static_cast< float >( h12 ) + m / 60.0f ) / 12.0f;
	}
	if( smooth )
	{
		out.minutes = ( m + s / 60.0f ) / 60.0f;
		out.seconds = ( s + static_cast< float >( local.millisecond ) / 1000.0f ) / 60.0f;
	}
	else
	{
		out.minutes = m / 60.0f;
		out.seconds = s / 60.0f;
	}
	return out;
}

BrokenDownTime ReadLocalNow()
{
	struct timeval now{};
	if( gettimeofday( &now, nullptr ) != 0 )
		return ToLocalTime( 0, 0 );
	return ToLocalTime( static_cast< int64_t >( now.tv_sec ), static_cast< int64_t >( now.tv_usec ) );
}
}// namespace clocktime

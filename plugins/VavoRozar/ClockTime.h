// Turns a wall-clock reading into the three values the faces draw: hours as
// a fraction of 12 (or 24) hours, minutes of an hour, seconds of a minute.
#pragma once

#include <cstdint>

namespace clocktime
{
struct BrokenDownTime
{
	int hour;        // 0..23
	int minute;      // 0..59
	int second;      // 0..60 (leap second)
	int millisecond; // 0..999
};

struct ClockFractions
{
	float hours;
	float minutes;
	float seconds;
};

// Local time of a reading in seconds and microseconds since the epoch, using
// the process's time zone, re-read on every call. Uses the reentrant
// conversion, which fills the caller's fields instead of the C library's one
// shared result, under a lock around the zone rules, so instances on
// different threads can convert at the same time. Falls back to UTC when the local conversion fails,
// and to midnight when that fails too, so a frame can always be drawn.
BrokenDownTime ToLocalTime( int64_t epochSeconds, int64_t microseconds );

// Face values from local time. The offset moves the hour only.
ClockFractions ToFractions( const BrokenDownTime& local, float timezoneOffset, bool hourFormat24h, bool smooth );

// Reads the system's real-time clock through gettimeofday, which a test can
// interpose to pin "now".
BrokenDownTime ReadLocalNow();
}// namespace clocktime

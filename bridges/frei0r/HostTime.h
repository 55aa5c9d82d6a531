// frei0r time is seconds, but ffmpeg's frei0r filter and source (libavfilter)
// pass milliseconds. Which one a call came from is told by the code that
// made it: the return address of f0r_construct lies in libavfilter when
// ffmpeg is the host. Looking for libavfilter anywhere in the process would
// be wrong: MLT and GStreamer load it for their own ffmpeg modules.
#pragma once

namespace ffglfrei0r
{
enum class TimeUnit
{
	Seconds,
	Milliseconds,
};

// The unit of the host whose code contains `caller`. The environment
// variable FFGL_FREI0R_TIME_UNIT (s or ms) overrides the guess.
TimeUnit UnitOfCaller( const void* caller );

// Host time in seconds for the plug-in: NaN and negative times become 0,
// times beyond ~31 years (infinity too) stop there.
double PluginTime( double hostTime, TimeUnit unit );
}// namespace ffglfrei0r

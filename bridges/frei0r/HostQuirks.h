// What ffmpeg does differently from other frei0r hosts: its frei0r filter
// and source (libavfilter) pass time in milliseconds where frei0r says
// seconds, and pad the rows of frames at some widths. Which host a call came
// from is told by the code that made it: the return address of
// f0r_construct lies in libavfilter when ffmpeg is the host. Looking for
// libavfilter anywhere in the process would be wrong: MLT and GStreamer load
// it for their own ffmpeg modules.
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

// When the host whose code contains `caller` is libavfilter (ffmpeg 5 or
// older) and gives frames of `width` pixels longer rows than frei0r's
// width x 4 bytes, the row length it uses, in pixels; otherwise 0. A frei0r
// call carries no row length, so such pictures come out sheared: the module
// can only say so.
unsigned PaddedRowOfCaller( const void* caller, unsigned width );

// Host time in seconds for the plug-in: NaN and negative times become 0,
// times beyond ~31 years (infinity too) stop there.
double PluginTime( double hostTime, TimeUnit unit );
}// namespace ffglfrei0r

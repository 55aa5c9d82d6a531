// A YUV4MPEG2 stream: one text header, then per frame "FRAME\n" and the
// Y', Cb and Cr planes. Players and ffmpeg read it without further flags.
#pragma once

#include "Bt709.h"
#include "Image.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace plughost
{
enum class ChromaFormat
{
	Yuv420,// C420jpeg: one Cb and Cr per 2x2 block, sited at its centre
	Yuv444,// C444: full colour resolution
};

struct Y4mFormat
{
	uint32_t width  = 0;
	uint32_t height = 0;
	double fps      = 30.0;
	ChromaFormat chroma = ChromaFormat::Yuv420;
	VideoRange range    = VideoRange::Limited;
};

// fps as a fraction: whole rates as N:1, others to a thousandth (29.97 is 2997:100).
std::pair< uint32_t, uint32_t > FrameRateFraction( double fps );

// "YUV4MPEG2 W640 H360 F30:1 Ip A1:1 C420jpeg XCOLORRANGE=LIMITED\n"
std::string Y4mHeader( const Y4mFormat& format );

class Y4mWriter
{
public:
	// Writes to `file`, which stays the caller's. Nothing is written until
	// the first frame, which carries the header before it.
	Y4mWriter( std::FILE* file, const Y4mFormat& format );

	// `frame` must be of the stream's size; its alpha is ignored, so
	// composite it first. Throws Error when the write fails.
	void WriteFrame( const Image& frame );
	uint32_t FramesWritten() const { return frames; }

private:
	std::FILE* file;
	Y4mFormat format;
	uint32_t frames = 0;
	// Per-frame scratch, kept to spare an allocation per frame.
	std::vector< uint8_t > luma, cb, cr;
	std::vector< float > pb, pr;

	void Write( const void* data, std::size_t size );
};
}// namespace plughost

// Numeric and text helpers for plug-ins: sizes, colours, ranges, strings.
// None touches GL.
#pragma once

#include <cstdint>
#include <string>

namespace ffglex
{
// 1 for a non-zero power of two, else 0.
int is_power_of_2( uint32_t x );
// The smallest power of two not below x, on the 32-bit pattern of x: a
// result above 2^30 is bit 31 alone, and negative inputs give 0 (except the
// most negative value, which is returned as it is).
int32_t npot( int32_t x );

// Hue, saturation and value in 0 to 1 to red, green and blue. The hue is
// not wrapped: 5/6 and above, and negative hues, take the magenta sextant.
void HSVtoRGB( float h, float s, float v, float& r, float& g, float& b );
// Null outputs are skipped.
void HSVtoRGB( double h, double s, double v, double* r, double* g, double* b );

// A float between lo and hi drawn from the C library's rand. The C library
// keeps one generator for the whole process behind its own lock: calls from
// several threads are safe but draw from, and reseed, one shared sequence.
// Plug-ins that need their own sequence per instance use ffglqs::Random.
float random( float lo, float hi );
// NaN passes through.
float clamp01( float x );
// The upper bound is applied first, so lo wins when lo > hi; NaN passes.
float clamp( float x, float lo, float hi );
// Linear from [inLo, inHi] onto [outLo, outHi], saturating at the output ends.
float map( float x, float inLo, float inHi, float outLo, float outHi );

// Replaces every occurrence of from in s with to. The search resumes where
// the replacement starts, so an occurrence that the replacement forms with
// the following text is replaced too ("abb", "ab" -> "a" gives "a"). When
// to contains from, it resumes after the replacement instead, and an empty
// from changes nothing: both would otherwise never finish.
void ReplaceAll( std::string& s, const std::string& from, const std::string& to );
}// namespace ffglex

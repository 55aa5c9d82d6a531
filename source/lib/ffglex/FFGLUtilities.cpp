#include "FFGLUtilities.h"

#include <cmath>
#include <cstdlib>

namespace ffglex
{
int is_power_of_2( uint32_t x )
{
	return x != 0 && ( x & ( x - 1 ) ) == 0 ? 1 : 0;
}

int32_t npot( int32_t x )
{
	// Unsigned arithmetic: shifting bit 31 out must wrap to 0, not overflow.
	uint32_t bits = static_cast< uint32_t >( x );
	if( is_power_of_2( bits ) || bits == 0 )
		return x;
	while( ( bits & ( bits - 1 ) ) != 0 )
		bits &= bits - 1;
	return static_cast< int32_t >( bits << 1 );
}

namespace
{
// One body for both precisions. The sextant index stays a floating-point
// value: converting a huge or NaN hue to an integer would be undefined.
template< typename Real >
void HSVtoRGBIn( Real h, Real s, Real v, Real& r, Real& g, Real& b )
{
	if( s == Real( 0 ) )
	{
		r = g = b = v;
		return;
	}
	Real i = std::floor( Real( 6 ) * h );
	Real f = Real( 6 ) * h - i;
	Real p = v * ( Real( 1 ) - s );
	Real q = v * ( -s * f + Real( 1 ) );
	Real t = v * ( -s * ( Real( 1 ) - f ) + Real( 1 ) );
	if( i == Real( 0 ) )
		r = v, g = t, b = p;
	else if( i == Real( 1 ) )
		r = q, g = v, b = p;
	else if( i == Real( 2 ) )
		r = p, g = v, b = t;
	else if( i == Real( 3 ) )
		r = p, g = q, b = v;
	else if( i == Real( 4 ) )
		r = t, g = p, b = v;
	else
		r = v, g = p, b = q;
}
}// namespace

void HSVtoRGB( float h, float s, float v, float& r, float& g, float& b )
{
	HSVtoRGBIn( h, s, v, r, g, b );
}

void HSVtoRGB( double h, double s, double v, double* r, double* g, double* b )
{
	double red = 0.0, green = 0.0, blue = 0.0;
	HSVtoRGBIn( h, s, v, red, green, blue );
	if( r != nullptr )
		*r = red;
	if( g != nullptr )
		*g = green;
	if( b != nullptr )
		*b = blue;
}

float random( float lo, float hi )
{
	float n = static_cast< float >( rand() );
	float divisor = 2147483648.0f / ( hi - lo );
	return lo + n / divisor;
}

float clamp01( float x )
{
	float m = x < 0.0f ? 0.0f : x;
	return 1.0f < m ? 1.0f : m;
}

float clamp( float x, float lo, float hi )
{
	float m = hi < x ? hi : x;
	return m < lo ? lo : m;
}

float map( float x, float inLo, float inHi, float outLo, float outHi )
{
	float y = ( x - inLo ) * ( outHi - outLo ) / ( inHi - inLo ) + outLo;
	return clamp( y, outLo, outHi );
}

void ReplaceAll( std::string& s, const std::string& from, const std::string& to )
{
	if( from == to || from.empty() )
		return;
	// Resuming inside a replacement that contains the text to find would
	// find it again forever.
	const size_t resumeOffset = to.find( from ) != std::string::npos ? to.size() : 0;
	size_t pos = s.find( from, 0 );
	while( pos != std::string::npos )
	{
		s.replace( pos, from.size(), to );
		pos = s.find( from, pos + resumeOffset );
	}
}
}// namespace ffglex

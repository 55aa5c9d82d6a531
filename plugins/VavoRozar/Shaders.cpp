#include "Shaders.h"

// The start of both faces' main(): a face of no size (or a degenerate
// viewport) draws nothing rather than dividing by zero; otherwise p is the
// pixel in face space, origin at the centre, one scale on both axes.
// The texture coordinate comes from the pixel centre, not from a value
// interpolated across the triangle: a frame drawn over the face's cover
// then gives every pixel the very value the whole-viewport quad gives it.
#define FACE_SPACE_ \
	"	vec4 background = SolidBackground == 1 ? vec4( 0.0, 0.0, 0.0, 1.0 ) : vec4( 0.0 );\n" \
	"	if( !( Scale > 0.0 ) || isinf( Scale ) || !( AspectRatio > 0.0 ) || isinf( AspectRatio ) )\n" \
	"	{\n" \
	"		fragColor = background;\n" \
	"		return;\n" \
	"	}\n" \
	"\n" \
	"	vec2 uv = ( gl_FragCoord.xy - Viewport.xy ) / Viewport.zw;\n" \
	"	vec2 p = uv - vec2( 0.5 );\n" \
	"	if( AspectRatio > 1.0 )\n" \
	"		p.x *= AspectRatio;\n" \
	"	else\n" \
	"		p.y /= AspectRatio;\n" \
	"	p /= Scale;\n" \
	"\n"

const char vertexShaderCode_[] = R"(#version 410 core
uniform vec2 MaxUV;

layout( location = 0 ) in vec4 vPosition;
layout( location = 1 ) in vec2 vUV;

out vec2 uv;

void main()
{
	gl_Position = vPosition;
	uv = vUV * MaxUV;
}
)";

const char analogFragmentShaderCode_[] = R"(#version 410 core
out vec4 fragColor;

uniform vec4 Viewport;// the GL viewport: x, y, width, height in window pixels

uniform vec3 Color;
uniform float Hours;
uniform float Minutes;
uniform float Seconds;
uniform int ShowSeconds;
uniform float AspectRatio;
uniform float Scale;
uniform int SolidBackground;
uniform int RedSeconds;

const float TAU = 6.28318530718;

// Hermite ramp: 1 for d <= -a, 0 for d >= a, 0.5 on the edge.
float coverage( float d, float a )
{
	float t = clamp( ( a - d ) / ( 2.0 * a ), 0.0, 1.0 );
	return t * t * ( 3.0 - 2.0 * t );
}

// Signed distance to a bar from A to B of full width w, square ends at A and B.
float sdBox( vec2 p, vec2 A, vec2 B, float w )
{
	vec2 ba = B - A;
	float L = length( ba );
	if( L < 0.0001 )
		return length( p - A ) - w * 0.5;
	vec2 u = ba / L;
	vec2 n = vec2( -u.y, u.x );
	vec2 pa = p - A;
	float along = dot( pa, u );
	float across = dot( pa, n );
	vec2 q = vec2( abs( along - L * 0.5 ) - L * 0.5, abs( across ) - w * 0.5 );
	return length( max( q, 0.0 ) ) + min( max( q.x, q.y ), 0.0 );
}

vec2 direction( float f )
{
	float theta = f * TAU;
	return vec2( sin( theta ), cos( theta ) );
}

void main()
{
)"
	FACE_SPACE_
	R"(
	float R = AspectRatio > 1.0 ? 0.5 * AspectRatio : 0.5;
	float s = length( fwidth( p ) );
	float T = min( max( 0.001, 2.0 * s ), 0.02 );
	float a = 1.1 * s;

	vec3 secondsColor = RedSeconds == 1 ? vec3( 1.0, 0.0, 0.0 ) : Color;
	float Sa = 0.0;
	if( ShowSeconds == 1 )
		Sa = coverage( sdBox( p, vec2( 0.0 ), direction( Seconds ) * R * 0.9, 0.75 * T ), a );

	float M = 0.0;
	float radius = length( p );
	// Every point of a tick lies between 0.92 R and R + T / 2 from the
	// centre, and coverage is exactly 0 from a away; pixels clear of that
	// band (by a safety margin) skip the twelve ticks without changing
	// their value.
	float reach = a * 1.01 + 1e-6;
	if( radius > R - 0.08 * R - reach && radius < R + 0.5 * T + reach )
	{
		for( int i = 0; i < 12; ++i )
		{
			vec2 d = direction( float( i ) / 12.0 );
			M = max( M, coverage( sdBox( p, d * ( R - 0.08 * R ), d * R, T ), a ) );
		}
	}
	float e = abs( radius - R );
	float rt = clamp( ( T + a - e ) / ( 2.0 * a ), 0.0, 1.0 );
	M = max( M, rt * rt * ( 3.0 - 2.0 * rt ) );
	M = max( M, coverage( sdBox( p, vec2( 0.0 ), direction( Hours ) * R * 0.6, 4.0 * T ), a ) );
	M = max( M, coverage( sdBox( p, vec2( 0.0 ), direction( Minutes ) * R * 0.8, 2.0 * T ), a ) );
	M = max( M, coverage( radius - 4.0 * T, a ) );

	// The face goes over the seconds hand.
	float A = M + Sa * ( 1.0 - M );
	vec3 C = vec3( 0.0 );
	if( A > 0.0001 )
		C = ( Color * M + secondsColor * Sa * ( 1.0 - M ) ) / A;

	if( SolidBackground == 1 )
		fragColor = vec4( C * A, 1.0 );
	else
		fragColor = vec4( C, A );
}
)";

const char digitalFragmentShaderCode_[] = R"(#version 410 core
out vec4 fragColor;

uniform vec4 Viewport;// the GL viewport: x, y, width, height in window pixels

uniform vec3 Color;
uniform float Hours;
uniform float Minutes;
uniform float Seconds;
uniform int ShowSeconds;
uniform int HourFormat24h;
uniform float AspectRatio;
uniform float Scale;
uniform int SolidBackground;
uniform sampler2D Digit0;
uniform sampler2D Digit1;
uniform sampler2D Digit2;
uniform sampler2D Digit3;
uniform sampler2D Digit4;
uniform sampler2D Digit5;
uniform sampler2D Digit6;
uniform sampler2D Digit7;
uniform sampler2D Digit8;
uniform sampler2D Digit9;
uniform sampler2D Colon;

// Glyphs have a single level, so sampling at level 0 needs no derivatives
// inside the branches.
float sampleDigit( int value, vec2 st )
{
	if( st.x < 0.0 || st.x > 1.0 || st.y < 0.0 || st.y > 1.0 )
		return 0.0;
	if( value == 0 ) return textureLod( Digit0, st, 0.0 ).r;
	if( value == 1 ) return textureLod( Digit1, st, 0.0 ).r;
	if( value == 2 ) return textureLod( Digit2, st, 0.0 ).r;
	if( value == 3 ) return textureLod( Digit3, st, 0.0 ).r;
	if( value == 4 ) return textureLod( Digit4, st, 0.0 ).r;
	if( value == 5 ) return textureLod( Digit5, st, 0.0 ).r;
	if( value == 6 ) return textureLod( Digit6, st, 0.0 ).r;
	if( value == 7 ) return textureLod( Digit7, st, 0.0 ).r;
	if( value == 8 ) return textureLod( Digit8, st, 0.0 ).r;
	if( value == 9 ) return textureLod( Digit9, st, 0.0 ).r;
	return 0.0;
}

void main()
{
)"
	FACE_SPACE_
	R"(
	int maxHours = HourFormat24h == 1 ? 24 : 12;
	// Upper clamps keep a value of exactly 1 from wrapping to 00; the lower
	// ones keep the digit arithmetic on non-negative numbers.
	int hours = clamp( int( Hours * float( maxHours ) ), 0, maxHours - 1 );
	int minutes = clamp( int( Minutes * 60.0 ), 0, 59 );
	int seconds = clamp( int( Seconds * 60.0 ), 0, 59 );

	float E = AspectRatio > 1.0 ? AspectRatio : 1.0;
	float k = E / 0.70;
	float dw = 0.08 * k;
	float dh = 0.15 * k;
	float sp = 0.02 * k;
	float cw = 0.04 * k;

	// Boxes from the left: h-tens, h-units, colon, m-tens, m-units, then
	// colon, s-tens, s-units when seconds are shown. They do not overlap, so
	// the row is walked once to find the box holding this pixel and only
	// that box's glyph is read.
	int count = ShowSeconds == 1 ? 8 : 5;
	float total = ShowSeconds == 1 ? 6.0 * dw + 2.0 * cw + 7.0 * sp : 4.0 * dw + cw + 4.0 * sp;
	int box = -1;
	float boxCentre = 0.0;
	float boxWidth = dw;
	float cx = -total * 0.5 + dw * 0.5;
	float previousWidth = dw;
	for( int i = 0; i < 8; ++i )
	{
		if( i >= count )
			break;
		float bw = ( i == 2 || i == 5 ) ? cw : dw;
		if( i > 0 )
			cx += previousWidth * 0.5 + sp + bw * 0.5;
		previousWidth = bw;
		if( abs( p.x - cx ) < bw * 0.5 && abs( p.y ) < dh * 0.5 )
		{
			box = i;
			boxCentre = cx;
			boxWidth = bw;
		}
	}

	float mask = 0.0;
	if( box >= 0 )
	{
		vec2 q = p - vec2( boxCentre, 0.0 );
		vec2 st = vec2( ( q.x + boxWidth * 0.5 ) / boxWidth, 1.0 - ( q.y + dh * 0.5 ) / dh );
		if( box == 2 || box == 5 )
		{
			mask = textureLod( Colon, st, 0.0 ).r;
		}
		else
		{
			int value = box == 0 ? hours / 10
			          : box == 1 ? hours % 10
			          : box == 3 ? minutes / 10
			          : box == 4 ? minutes % 10
			          : box == 6 ? seconds / 10
			          : seconds % 10;
			mask = sampleDigit( value, st );
		}
		mask = max( mask, 0.0 );
	}

	// Transparent: where no glyph has ink the pixel is the same (0, 0, 0, 0)
	// as outside every box.
	if( SolidBackground == 1 )
		fragColor = vec4( Color * mask, 1.0 );
	else
		fragColor = mask > 0.0 ? vec4( Color, mask ) : vec4( 0.0 );
}
)";

/*{
  "ISFVSN": "2",
  "DESCRIPTION": "Rings rippling out from a point, shaded in one colour",
  "CREDIT": "FFGL SDK examples",
  "CATEGORIES": ["Generator"],
  "INPUTS": [
    { "NAME": "rings", "LABEL": "Rings", "TYPE": "float", "DEFAULT": 6.0, "MIN": 1.0, "MAX": 20.0 },
    { "NAME": "speed", "LABEL": "Speed", "TYPE": "float", "DEFAULT": 0.5, "MIN": 0.0, "MAX": 4.0 },
    { "NAME": "center", "LABEL": "Centre", "TYPE": "point2D", "DEFAULT": [0.5, 0.5], "MIN": [0.0, 0.0], "MAX": [1.0, 1.0] },
    { "NAME": "tint", "LABEL": "Tint", "TYPE": "color", "DEFAULT": [0.2, 0.7, 1.0, 1.0] }
  ]
}*/

// Distance in units of the picture's height, so rings stay round.
void main()
{
	vec2 offset = ( isf_FragNormCoord - center ) * RENDERSIZE / RENDERSIZE.y;
	float wave  = 0.5 + 0.5 * cos( 6.2831853 * ( length( offset ) * rings - TIME * speed ) );
	gl_FragColor = vec4( tint.rgb * wave, tint.a );
}

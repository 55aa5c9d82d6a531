/*{
  "ISFVSN": "2",
  "DESCRIPTION": "The second picture opens from the centre in a growing circle",
  "CREDIT": "FFGL SDK examples",
  "CATEGORIES": ["Transition"],
  "INPUTS": [
    { "NAME": "startImage", "TYPE": "image" },
    { "NAME": "endImage", "TYPE": "image" },
    { "NAME": "progress", "LABEL": "Progress", "TYPE": "float", "DEFAULT": 0.5, "MIN": 0.0, "MAX": 1.0 },
    { "NAME": "edge", "LABEL": "Soft Edge", "TYPE": "float", "DEFAULT": 0.05, "MIN": 0.0, "MAX": 0.5 }
  ]
}*/

void main()
{
	// 0 at the centre, 1 in the corners.
	float d     = length( isf_FragNormCoord - 0.5 ) / length( vec2( 0.5 ) );
	float outer = progress * ( 1.0 + edge );
	float open  = 1.0 - smoothstep( outer - edge, outer, d );
	gl_FragColor = mix( IMG_THIS_NORM_PIXEL( startImage ), IMG_THIS_NORM_PIXEL( endImage ), open );
}

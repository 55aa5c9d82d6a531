/*{
  "ISFVSN": "2",
  "DESCRIPTION": "Leaves a fading trail of the picture: each frame keeps part of the last",
  "CREDIT": "FFGL SDK examples",
  "CATEGORIES": ["Stylize"],
  "INPUTS": [
    { "NAME": "inputImage", "TYPE": "image" },
    { "NAME": "decay", "LABEL": "Decay", "TYPE": "float", "DEFAULT": 0.75, "MIN": 0.0, "MAX": 0.99 },
    { "NAME": "view", "LABEL": "View", "TYPE": "long", "VALUES": [0, 1], "LABELS": ["Trail", "Difference"], "DEFAULT": 0 }
  ],
  "PASSES": [
    { "TARGET": "trail", "PERSISTENT": true, "FLOAT": true },
    {}
  ]
}*/

void main()
{
	vec4 now = IMG_THIS_NORM_PIXEL( inputImage );
	if( PASSINDEX == 0 )
	{
		// The buffer's previous contents, blended with this frame.
		gl_FragColor = mix( now, IMG_THIS_PIXEL( trail ), FRAMEINDEX == 0 ? 0.0 : decay );
	}
	else
	{
		vec4 kept    = IMG_NORM_PIXEL( trail, isf_FragNormCoord );
		gl_FragColor = view == 0 ? kept : vec4( abs( now.rgb - kept.rgb ), 1.0 );
	}
}

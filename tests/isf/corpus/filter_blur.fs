/*{
  "ISFVSN": "2",
  "DESCRIPTION": "A separable 7 * 7 box blur: horizontal into a target, vertical from it in the same frame; loops, a #ifdef GL_ES block and a comment in the body",
  "CREDIT": "plughost tests",
  "CATEGORIES": ["Blur"],
  "INPUTS": [
    { "NAME": "inputImage", "TYPE": "image" },
    { "NAME": "spread", "LABEL": "Spread", "TYPE": "float", "DEFAULT": 1.0, "MIN": 0.0, "MAX": 4.0 }
  ],
  "PASSES": [
    { "TARGET": "across" },
    {}
  ]
}*/
#ifdef GL_ES
precision highp float;
#endif

/* Taps at -3..3 times the spread, in pixels of the image read. */
vec4 taps(vec2 step) {
  vec4 sum = vec4(0.0);
  for (int i = -3; i <= 3; i++) {
    if (PASSINDEX == 0) sum += IMG_PIXEL(inputImage, gl_FragCoord.xy + step * float(i));
    else sum += IMG_PIXEL(across, gl_FragCoord.xy + step * float(i));
  }
  return sum / 7.0;
}

void main() {
  if (PASSINDEX == 0) gl_FragColor = taps(vec2(spread, 0.0));
  else gl_FragColor = taps(vec2(0.0, spread));
}

/*{
  "ISFVSN": "2",
  "DESCRIPTION": "A FLOAT target keeps negative values and values above 1 between passes of one frame",
  "CREDIT": "plughost tests",
  "PASSES": [
    { "TARGET": "wide", "FLOAT": true },
    {}
  ]
}*/
void main() {
  if (PASSINDEX == 0) {
    gl_FragColor = vec4(isf_FragNormCoord.x * 8.0, -isf_FragNormCoord.y * 3.0, 2.5, 1.0);
  } else {
    vec4 v = IMG_THIS_NORM_PIXEL(wide);
    gl_FragColor = vec4(v.r / 8.0, -v.g / 3.0, v.b - 2.0, 1.0);
  }
}

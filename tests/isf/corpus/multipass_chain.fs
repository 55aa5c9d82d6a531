/*{
  "ISFVSN": "2",
  "DESCRIPTION": "Three passes: a half-size target, a strip of height 1 read in the same frame, then the output; PASSINDEX and RENDERSIZE per pass",
  "CREDIT": "plughost tests",
  "INPUTS": [
    { "NAME": "inputImage", "TYPE": "image" }
  ],
  "PASSES": [
    { "TARGET": "halved", "WIDTH": "floor($WIDTH/2.0)", "HEIGHT": "floor($HEIGHT/2.0)" },
    { "TARGET": "strip", "HEIGHT": "1" },
    {}
  ]
}*/
void main() {
  if (PASSINDEX == 0) {
    vec4 c = IMG_NORM_PIXEL(inputImage, isf_FragNormCoord);
    gl_FragColor = vec4(c.rgb * 0.5 + 0.25, RENDERSIZE.x / 100.0);
  } else if (PASSINDEX == 1) {
    vec4 h = IMG_NORM_PIXEL(halved, vec2(isf_FragNormCoord.x, 0.5));
    gl_FragColor = vec4(h.r, RENDERSIZE.y / 4.0, h.a, 1.0);
  } else {
    vec4 s = IMG_NORM_PIXEL(strip, vec2(isf_FragNormCoord.x, 0.5));
    vec4 h = IMG_THIS_NORM_PIXEL(halved);
    gl_FragColor = vec4(s.r, s.g, h.b, s.b + 0.5 * IMG_SIZE(halved).y / 100.0);
  }
}

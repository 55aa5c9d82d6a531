/*{
  "ISFVSN": "2",
  "DESCRIPTION": "WIDTH and HEIGHT expressions over $WIDTH, $HEIGHT and an input, with max, min and floor",
  "CREDIT": "plughost tests",
  "INPUTS": [
    { "NAME": "scale", "LABEL": "Scale", "TYPE": "float", "DEFAULT": 0.25, "MIN": 0.0, "MAX": 1.0 }
  ],
  "PASSES": [
    { "TARGET": "small", "WIDTH": "max(floor($WIDTH*$scale),1.0)", "HEIGHT": "min($HEIGHT, floor($HEIGHT/3.0) + $scale*4.0)" },
    {}
  ]
}*/
void main() {
  if (PASSINDEX == 0) {
    gl_FragColor = vec4(RENDERSIZE / 64.0, isf_FragNormCoord.x, 1.0);
  } else {
    vec4 s = IMG_NORM_PIXEL(small, isf_FragNormCoord);
    gl_FragColor = vec4(s.rg, s.b, IMG_SIZE(small).x / 64.0);
  }
}

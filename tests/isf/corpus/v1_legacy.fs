/*{
  "DESCRIPTION": "Version 1: no ISFVSN, vv_FragNormCoord, vv_vertShaderInit in the .vs and PERSISTENT_BUFFERS",
  "CREDIT": "plughost tests",
  "INPUTS": [
    { "NAME": "glow", "TYPE": "float", "DEFAULT": 0.5, "MIN": 0.0, "MAX": 1.0 }
  ],
  "PERSISTENT_BUFFERS": ["memory"],
  "PASSES": [
    { "TARGET": "memory" },
    {}
  ]
}*/
varying vec2 doubled;
void main() {
  if (PASSINDEX == 0) {
    vec4 m = IMG_NORM_PIXEL(memory, vv_FragNormCoord);
    gl_FragColor = vec4(m.r + 0.2, fract(doubled.x), glow, 1.0);
  } else {
    gl_FragColor = IMG_NORM_PIXEL(memory, vv_FragNormCoord);
  }
}

/*{
  "ISFVSN": "2",
  "DESCRIPTION": "Transition: a soft diagonal wipe from startImage to endImage",
  "CREDIT": "plughost tests",
  "CATEGORIES": ["Wipe"],
  "INPUTS": [
    { "NAME": "startImage", "TYPE": "image" },
    { "NAME": "endImage", "TYPE": "image" },
    { "NAME": "progress", "TYPE": "float", "MIN": 0.0, "MAX": 1.0, "DEFAULT": 0.0 }
  ]
}*/
void main() {
  vec2 n = isf_FragNormCoord;
  float edge = (n.x + n.y) * 0.5;
  float w = smoothstep(progress - 0.2, progress + 0.2, edge);
  gl_FragColor = mix(IMG_THIS_NORM_PIXEL(endImage), IMG_THIS_NORM_PIXEL(startImage), w);
}

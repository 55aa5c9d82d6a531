/*{
  "ISFVSN": "2",
  "DESCRIPTION": "A custom .vs: varyings computed from isf_FragNormCoord, RENDERSIZE and an input after isf_vertShaderInit()",
  "CREDIT": "plughost tests",
  "INPUTS": [
    { "NAME": "inputImage", "TYPE": "image" },
    { "NAME": "tilt", "LABEL": "Tilt", "TYPE": "float", "DEFAULT": 0.2, "MIN": 0.0, "MAX": 1.0 }
  ]
}*/
varying vec2 warped;
varying vec2 pixel;
void main() {
  vec4 c = IMG_NORM_PIXEL(inputImage, clamp(warped, 0.0, 1.0));
  gl_FragColor = vec4(c.rg, fract(pixel.x / 16.0), 1.0);
}

/*{
  "ISFVSN": "2",
  "DESCRIPTION": "Filter: IMG_PIXEL at offsets (clamped at the edges) and IMG_NORM_PIXEL with nested vec2(a, b) arguments",
  "CREDIT": "plughost tests",
  "INPUTS": [
    { "NAME": "inputImage", "TYPE": "image" },
    { "NAME": "shift", "LABEL": "Shift", "TYPE": "float", "DEFAULT": 3.0, "MIN": 0.0, "MAX": 10.0 }
  ]
}*/
void main() {
  vec2 p = gl_FragCoord.xy;
  vec4 left = IMG_PIXEL(inputImage, vec2(p.x - shift, p.y));
  vec4 up = IMG_PIXEL(inputImage, p + vec2(0.0, floor(shift) + 1.0));
  vec2 n = isf_FragNormCoord;
  vec4 mirrored = IMG_NORM_PIXEL(inputImage, vec2(1.0 - n.x, clamp(n.y * 1.5, 0.0, 1.0)));
  gl_FragColor = vec4(left.r, up.g, mirrored.b, max(left.a, mirrored.a));
}

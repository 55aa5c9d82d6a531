/*{
  "ISFVSN": "2",
  "DESCRIPTION": "Filter: IMG_THIS_PIXEL and IMG_THIS_NORM_PIXEL of inputImage, mixed towards its inverse",
  "CREDIT": "plughost tests",
  "CATEGORIES": ["Color"],
  "INPUTS": [
    { "NAME": "inputImage", "TYPE": "image" },
    { "NAME": "amount", "LABEL": "Amount", "TYPE": "float", "DEFAULT": 0.5, "MIN": 0.0, "MAX": 1.0, "IDENTITY": 0.0 }
  ]
}*/
void main() {
  vec4 a = IMG_THIS_PIXEL(inputImage);
  vec4 b = IMG_THIS_NORM_PIXEL(inputImage);
  vec3 inverse = vec3(1.0) - b.bgr;
  gl_FragColor = vec4(mix(a.rgb, inverse, amount), a.a);
}

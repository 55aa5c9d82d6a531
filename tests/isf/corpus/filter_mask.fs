/*{
  "ISFVSN": "2",
  "DESCRIPTION": "A filter with a second image input: inputImage shown through the mask image's green channel over a colour",
  "CREDIT": "plughost tests",
  "INPUTS": [
    { "NAME": "inputImage", "TYPE": "image" },
    { "NAME": "maskImage", "LABEL": "Mask", "TYPE": "image" },
    { "NAME": "backdrop", "LABEL": "Backdrop", "TYPE": "color", "DEFAULT": [0.1, 0.2, 0.3, 1.0] }
  ]
}*/
void main() {
  vec4 picture = IMG_THIS_NORM_PIXEL(inputImage);
  float m = IMG_NORM_PIXEL(maskImage, isf_FragNormCoord).g;
  gl_FragColor = mix(backdrop, picture, m);
}

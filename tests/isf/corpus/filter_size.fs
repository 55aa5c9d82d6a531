/*{
  "ISFVSN": "2",
  "DESCRIPTION": "Filter whose input is smaller than the render: IMG_SIZE, IMG_PIXEL in the image's own pixels, IMG_NORM_PIXEL",
  "CREDIT": "plughost tests",
  "INPUTS": [
    { "NAME": "inputImage", "TYPE": "image" }
  ]
}*/
void main() {
  vec2 size = IMG_SIZE(inputImage);
  vec2 n = isf_FragNormCoord;
  vec4 byNorm = IMG_NORM_PIXEL(inputImage, n);
  vec4 byPixel = IMG_PIXEL(inputImage, floor(n * size) + 0.5);
  gl_FragColor = vec4(byNorm.r, byPixel.g, size.x / 100.0, size.y / 100.0);
}

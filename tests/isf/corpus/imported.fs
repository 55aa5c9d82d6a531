/*{
  "ISFVSN": "2",
  "DESCRIPTION": "IMPORTED images: a 20x12 picture read with IMG_SIZE, IMG_PIXEL and IMG_NORM_PIXEL",
  "CREDIT": "plughost tests",
  "IMPORTED": {
    "pic": { "PATH": "imported_pic.png" }
  }
}*/
void main() {
  vec2 size = IMG_SIZE(pic);
  vec4 a = IMG_NORM_PIXEL(pic, isf_FragNormCoord);
  vec4 b = IMG_PIXEL(pic, vec2(size.x - 0.5, 0.5));
  gl_FragColor = vec4(a.r, a.g, b.b, size.x / size.y / 2.0);
}

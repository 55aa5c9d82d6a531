/*{
  "ISFVSN": "2",
  "DESCRIPTION": "quirks.fs in GLSL that WebGL takes, for the reference renderer: the same picture",
  "CREDIT": "plughost tests",
  "INPUTS": [
    { "NAME": "inputImage", "TYPE": "image" },
    { "NAME": "level", "TYPE": "float", "DEFAULT": 0.5, "MIN": 0.0, "MAX": 1.0 }
  ]
}*/
float mySign(float x) { return x < 0.5 ? 0.25 : 0.75; }
float myRound(float x) { return floor(x * 4.0 + 0.5) / 4.0; }
vec4 myTexture(vec2 uv) { return IMG_NORM_PIXEL(inputImage, uv); }
void main() {
  vec4 c = myTexture(isf_FragNormCoord);
  float x = isf_FragNormCoord.x;
  gl_FragColor = vec4(mySign(x), myRound(c.g), level / 2.0, 1.0);
}

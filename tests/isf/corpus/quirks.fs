/*{
  "ISFVSN": "2",
  "DESCRIPTION": "GLSL that desktop compilers take and WebGL refuses: user functions named like built-ins (sign, round, texture), a global initialised from a uniform, int literals where floats are meant",
  "CREDIT": "plughost tests",
  "INPUTS": [
    { "NAME": "inputImage", "TYPE": "image" },
    { "NAME": "level", "TYPE": "float", "DEFAULT": 0.5, "MIN": 0.0, "MAX": 1.0 }
  ]
}*/
float halfLevel = level / 2;
float sign(float x) { return x < 0.5 ? 0.25 : 0.75; }
float round(float x) { return floor(x * 4 + 0.5) / 4; }
vec4 texture(vec2 uv) { return IMG_NORM_PIXEL(inputImage, uv); }
void main() {
  vec4 c = texture(isf_FragNormCoord);
  float x = isf_FragNormCoord.x;
  gl_FragColor = vec4(sign(x), round(c.g), halfLevel, 1);
}

varying vec2 doubled;
void main() {
  vv_vertShaderInit();
  doubled = vv_FragNormCoord * 2.0;
}

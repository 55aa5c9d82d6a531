varying vec2 warped;
varying vec2 pixel;
void main() {
  isf_vertShaderInit();
  warped = vec2(isf_FragNormCoord.x * (1.0 - tilt) + tilt * 0.5, isf_FragNormCoord.y);
  pixel = isf_FragNormCoord * RENDERSIZE;
}

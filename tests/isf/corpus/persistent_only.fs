/*{
  "ISFVSN": "2",
  "DESCRIPTION": "A single pass with a PERSISTENT TARGET: the output is that buffer, which counts frames",
  "CREDIT": "plughost tests",
  "PASSES": [
    { "TARGET": "state", "PERSISTENT": true }
  ]
}*/
void main() {
  vec4 s = IMG_THIS_PIXEL(state);
  gl_FragColor = vec4(s.r + 0.125, isf_FragNormCoord.y, s.b + (isf_FragNormCoord.x > 0.5 ? 0.25 : 0.0), 1.0);
}

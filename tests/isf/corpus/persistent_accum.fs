/*{
  "ISFVSN": "2",
  "DESCRIPTION": "A PERSISTENT FLOAT accumulator: each frame adds 0.1 (red) and 1.5 (green, beyond 8 bits' range); the output shows the sum",
  "CREDIT": "plughost tests",
  "PASSES": [
    { "TARGET": "sum", "PERSISTENT": true, "FLOAT": true },
    {}
  ]
}*/
void main() {
  vec4 previous = IMG_THIS_NORM_PIXEL(sum);
  if (PASSINDEX == 0) {
    gl_FragColor = previous + vec4(0.1, 1.5, isf_FragNormCoord.x * 0.05, 0.0);
  } else {
    gl_FragColor = vec4(previous.r, previous.g / 10.0, previous.b, 1.0);
  }
}

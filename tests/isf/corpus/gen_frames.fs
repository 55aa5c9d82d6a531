/*{
  "ISFVSN": "2",
  "DESCRIPTION": "TIME, TIMEDELTA and FRAMEINDEX over a short sequence",
  "CREDIT": "plughost tests"
}*/
void main() {
  float stripe = 0.5 + 0.5 * sin(isf_FragNormCoord.x * 12.0 + float(FRAMEINDEX));
  gl_FragColor = vec4(fract(TIME * 0.5), TIMEDELTA * 10.0, float(FRAMEINDEX) * 0.2, 1.0) * vec4(1.0, 1.0, stripe, 1.0);
}

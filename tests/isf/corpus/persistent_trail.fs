/*{
  "ISFVSN": "2",
  "DESCRIPTION": "An 8-bit PERSISTENT feedback trail: a moving bar blended into the previous frame, read back in the output pass",
  "CREDIT": "plughost tests",
  "INPUTS": [
    { "NAME": "decay", "LABEL": "Decay", "TYPE": "float", "DEFAULT": 0.5, "MIN": 0.0, "MAX": 1.0 }
  ],
  "PASSES": [
    { "TARGET": "trail", "PERSISTENT": true },
    {}
  ]
}*/
void main() {
  if (PASSINDEX == 0) {
    float bar = smoothstep(0.15, 0.0, abs(isf_FragNormCoord.x - 0.2 * float(FRAMEINDEX) - 0.1));
    vec4 old = IMG_THIS_PIXEL(trail);
    gl_FragColor = vec4(max(old.rgb * decay, vec3(bar, bar * 0.5, 0.25)), 1.0);
  } else {
    gl_FragColor = IMG_THIS_PIXEL(trail);
  }
}

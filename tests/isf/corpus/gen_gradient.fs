/*{
  "ISFVSN": "2",
  "DESCRIPTION": "Generator: a gradient over isf_FragNormCoord, gl_FragCoord and RENDERSIZE that drifts with TIME, tinted by a colour, with straight alpha",
  "CREDIT": "plughost tests",
  "CATEGORIES": ["Generator"],
  "INPUTS": [
    { "NAME": "speed", "TYPE": "float", "DEFAULT": 0.25, "MIN": 0.0, "MAX": 2.0 },
    { "NAME": "tint", "LABEL": "Tint", "TYPE": "color", "DEFAULT": [1.0, 0.8, 0.6, 1.0] }
  ]
}*/
void main() {
  vec2 uv = isf_FragNormCoord;
  float wave = 0.5 + 0.5 * sin(6.2831853 * (uv.x + TIME * speed));
  vec2 px = gl_FragCoord.xy / RENDERSIZE;
  gl_FragColor = vec4(wave * tint.r, uv.y * tint.g, px.x * px.y * tint.b, 0.75);
}

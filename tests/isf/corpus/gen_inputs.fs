/*{
  "ISFVSN": "2.0",
  "DESCRIPTION": "Every scalar input type with DEFAULT and LABEL: float, bool, long, colour, point2D in 0..1 and in pixels",
  "CREDIT": "plughost tests",
  "INPUTS": [
    { "NAME": "level", "LABEL": "Level", "TYPE": "float", "DEFAULT": 0.4, "MIN": -1.0, "MAX": 1.0 },
    { "NAME": "flip", "LABEL": "Flip", "TYPE": "bool", "DEFAULT": 1.0 },
    { "NAME": "shape", "LABEL": "Shape", "TYPE": "long", "VALUES": [2, 5, 9], "LABELS": ["Bars", "Rings", "Dots"], "DEFAULT": 5 },
    { "NAME": "ink", "LABEL": "Ink", "TYPE": "color", "DEFAULT": [0.2, 0.6, 1.0, 1.0] },
    { "NAME": "centre", "LABEL": "Centre", "TYPE": "point2D", "DEFAULT": [0.25, 0.75], "MIN": [0.0, 0.0], "MAX": [1.0, 1.0] },
    { "NAME": "spot", "LABEL": "Spot", "TYPE": "point2D", "DEFAULT": [8.0, 6.0] }
  ]
}*/
void main() {
  vec2 uv = isf_FragNormCoord;
  if (flip) uv.y = 1.0 - uv.y;
  float d = distance(uv, centre);
  float bands = 0.5 + 0.5 * cos(d * float(shape) * 3.0);
  float near = clamp(1.0 - distance(gl_FragCoord.xy, spot) / 24.0, 0.0, 1.0);
  gl_FragColor = vec4(ink.rgb * bands + vec3(level * 0.5, near, 0.0), ink.a);
}

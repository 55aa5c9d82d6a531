/*{
  "ISFVSN": "2",
  "DESCRIPTION": "Inputs without DEFAULT start at zero: float, bool, long, colour, point2D",
  "CREDIT": "plughost tests",
  "INPUTS": [
    { "NAME": "gain", "TYPE": "float", "MIN": 0.0, "MAX": 1.0 },
    { "NAME": "on", "TYPE": "bool" },
    { "NAME": "pick", "TYPE": "long", "VALUES": [0, 1, 2], "LABELS": ["Zero", "One", "Two"] },
    { "NAME": "paint", "TYPE": "color" },
    { "NAME": "where", "TYPE": "point2D", "MIN": [0.0, 0.0], "MAX": [1.0, 1.0] }
  ]
}*/
void main() {
  float b = on ? 1.0 : 0.0;
  gl_FragColor = vec4(0.25 + gain, 0.25 + 0.25 * b + 0.1 * float(pick), 0.25 + where.x + where.y, 1.0) + paint;
}

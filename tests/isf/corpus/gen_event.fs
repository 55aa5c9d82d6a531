/*{
  "ISFVSN": "2",
  "DESCRIPTION": "An event that was never fired reads false; a bool given as true/false; CRLF line ends",
  "CREDIT": "plughost tests",
  "INPUTS": [
    { "NAME": "flash", "LABEL": "Flash", "TYPE": "event" },
    { "NAME": "dim", "LABEL": "Dim", "TYPE": "bool", "DEFAULT": false }
  ]
}*/
void main() {
  float f = flash ? 1.0 : 0.2;
  float d = dim ? 0.5 : 1.0;
  gl_FragColor = vec4(f * d, isf_FragNormCoord.x * d, 0.4, 1.0);
}

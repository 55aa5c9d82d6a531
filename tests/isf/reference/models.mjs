// Expected pictures computed on the CPU, independently of any GL: for files
// the reference renderer cannot run, and as a second opinion on the ones
// whose reference result depends on a mended defect.
// Each model: (width, height, values) => (x, y) => [r, g, b, a] in 0..1,
// with (x, y) a pixel of the PNG (row 0 at the top).
import { picture, ramp } from './pictures.mjs';

const clamp = (v, lo, hi) => Math.min(hi, Math.max(lo, v));
const norm = (x, y, w, h) => [(x + 0.5) / w, (h - 1 - y + 0.5) / h];

export const models = {
  gen_nodefault(w, h, v) {
    const paint = v.paint || [0, 0, 0, 0];
    const where = v.where || [0, 0];
    return () => [
      0.25 + (v.gain || 0) + paint[0],
      0.25 + 0.25 * (v.on ? 1 : 0) + 0.1 * (v.pick || 0) + paint[1],
      0.25 + where[0] + where[1] + paint[2],
      1 + paint[3],
    ];
  },

  gen_date: () => () => [0, 1, 0, 1],

  // frames: how many frames were rendered; the buffer starts transparent black.
  persistent_accum(w, h, v, frames) {
    return (x, y) => {
      const [nx] = norm(x, y, w, h);
      return [0.1 * frames, (1.5 * frames) / 10, 0.05 * nx * frames, 1];
    };
  },

  // An 8-bit buffer: each frame's sum is stored rounded to 1/255.
  persistent_only(w, h, v, frames) {
    return (x, y) => {
      const [nx, ny] = norm(x, y, w, h);
      let r = 0;
      let b = 0;
      for (let k = 0; k < frames; ++k) {
        r = Math.round(clamp(r / 255 + 0.125, 0, 1) * 255);
        b = Math.round(clamp(b / 255 + (nx > 0.5 ? 0.25 : 0), 0, 1) * 255);
      }
      return [r / 255, ny, b / 255, 1];
    };
  },

  float_target: (w, h) => (x, y) => {
    const [nx, ny] = norm(x, y, w, h);
    return [nx, ny, 0.5, 1];
  },

  // Bilinear sampling of a picture linear in x and y is linear between the
  // texel centres and flat beyond them (clamp to edge).
  imported(w, h) {
    return (x, y) => {
      const [nx, ny] = norm(x, y, w, h);
      const tx = clamp(nx * 20 - 0.5, 0, 19);
      const rowFromTop = 11 - clamp(ny * 12 - 0.5, 0, 11);
      return [(12 * tx) / 255, (20 * rowFromTop) / 255, ((19 + 11) * 8) / 255, 20 / 12 / 2];
    };
  },

  quirks(w, h, v) {
    const level = v.level === undefined ? 0.5 : v.level;
    return (x, y) => {
      const [nx] = norm(x, y, w, h);
      const g = ramp(y, h) / 255;
      return [nx < 0.5 ? 0.25 : 0.75, Math.floor(g * 4 + 0.5) / 4, level / 2, 1];
    };
  },
};

// The model's picture as 8-bit RGBA.
export function modelPicture(name, width, height, values, frames) {
  const pixel = models[name](width, height, values || {}, frames || 1);
  const data = Buffer.alloc(width * height * 4);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const rgba = pixel(x, y);
      for (let c = 0; c < 4; ++c) data[(y * width + x) * 4 + c] = Math.round(clamp(rgba[c], 0, 1) * 255);
    }
  }
  return { width, height, data };
}

export { picture };

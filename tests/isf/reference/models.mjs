// Expected pictures computed on the CPU, independently of any GL: for files
// the reference renderer cannot run, and as a second opinion on the ones
// whose reference result depends on a mended defect.
// Each model: (width, height, values) => (x, y) => [r, g, b, a] in 0..1,
// with (x, y) a pixel of the PNG (row 0 at the top).
import { picture, ramp } from './pictures.mjs';

const clamp = (v, lo, hi) => Math.min(hi, Math.max(lo, v));
const norm = (x, y, w, h) => [(x + 0.5) / w, (h - 1 - y + 0.5) / h];

// Bilinear sampling with clamp to edge, as GL does with LINEAR filtering:
// (u, v) normalized with v = 0 at the bottom, image rows from the top.
// Returns RGBA in 0..1.
function sample(image, u, v) {
  const { width: w, height: h, data } = image;
  const tx = clamp(u * w - 0.5, 0, w - 1);
  const ty = clamp(v * h - 0.5, 0, h - 1);
  const x0 = Math.floor(tx);
  const y0 = Math.floor(ty);
  const x1 = Math.min(x0 + 1, w - 1);
  const y1 = Math.min(y0 + 1, h - 1);
  const fx = tx - x0;
  const fy = ty - y0;
  const at = (x, y, c) => data[((h - 1 - y) * w + x) * 4 + c] / 255;
  return [0, 1, 2, 3].map((c) => (at(x0, y0, c) * (1 - fx) + at(x1, y0, c) * fx) * (1 - fy)
    + (at(x0, y1, c) * (1 - fx) + at(x1, y1, c) * fx) * fy);
}

// IMG_PIXEL: pixel coordinates of the image itself.
const samplePixel = (image, px, py) => sample(image, px / image.width, py / image.height);

// A picture of a pass target as stored in 8 bits.
function target(width, height, pixel) {
  const data = Buffer.alloc(width * height * 4);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const rgba = pixel(x + 0.5, height - 1 - y + 0.5);
      for (let c = 0; c < 4; ++c) data[(y * width + x) * 4 + c] = Math.round(clamp(rgba[c], 0, 1) * 255);
    }
  }
  return { width, height, data };
}

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

  filter_size(w, h) {
    const image = picture('pattern:40x30');
    return (x, y) => {
      const [nx, ny] = norm(x, y, w, h);
      const byNorm = sample(image, nx, ny);
      const byPixel = samplePixel(image, Math.floor(nx * 40) + 0.5, Math.floor(ny * 30) + 0.5);
      return [byNorm[0], byPixel[1], 40 / 100, 30 / 100];
    };
  },

  filter_sample(w, h, v) {
    const image = picture('pattern', w, h);
    const shift = v.shift === undefined ? 3 : v.shift;
    return (x, y) => {
      const [nx, ny] = norm(x, y, w, h);
      const px = x + 0.5;
      const py = h - 1 - y + 0.5;
      const left = samplePixel(image, px - shift, py);
      const up = samplePixel(image, px, py + Math.floor(shift) + 1);
      const mirrored = sample(image, 1 - nx, clamp(ny * 1.5, 0, 1));
      return [left[0], up[1], mirrored[2], Math.max(left[3], mirrored[3])];
    };
  },

  multipass_expr(w, h, v) {
    const scale = v.scale === undefined ? 0.25 : v.scale;
    const sw = Math.max(Math.floor(w * scale), 1);
    const sh = Math.floor(Math.min(h, Math.floor(h / 3) + scale * 4));
    const small = target(sw, sh, (px) => [sw / 64, sh / 64, px / sw, 1]);
    return (x, y) => {
      const [nx, ny] = norm(x, y, w, h);
      const s = sample(small, nx, ny);
      return [s[0], s[1], s[2], sw / 64];
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

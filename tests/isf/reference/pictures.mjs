// The pictures the corpus reads, made here so that every value is known:
// inputs at the render size (or a given size) and the IMPORTED picture.
import { makeImage } from './png.mjs';

const ramp = (i, n) => Math.round((255 * i) / Math.max(1, n - 1));

const makers = {
  // Red rises to the right, green downwards, a blue checker of 8-pixel
  // squares, alpha below 1 in places (straight alpha must survive).
  pattern: (w, h) => makeImage(w, h, (x, y) => [ramp(x, w), ramp(y, h), ((x >> 3) + (y >> 3)) & 1 ? 220 : 30, 255 - ((x * 7 + y * 3) % 50)]),
  start: (w, h) => makeImage(w, h, (x) => [200, ramp(x, w), 60, 255]),
  end: (w, h) => makeImage(w, h, (x, y) => [20, 90, ramp(y, h), 255]),
};

// "pattern", "start", "end" at the render size; "pattern:40x30" at its own.
export function picture(spec, width, height) {
  const [kind, size] = spec.split(':');
  if (!makers[kind]) throw new Error(`unknown picture ${spec}`);
  if (size) {
    const [w, h] = size.split('x').map(Number);
    return makers[kind](w, h);
  }
  return makers[kind](width, height);
}

// imported_pic.png beside imported.fs: 20x12, every channel linear in x and y.
export function importedPicture() {
  return makeImage(20, 12, (x, y) => [x * 12, y * 20, (x + y) * 8, 255]);
}

export { ramp };

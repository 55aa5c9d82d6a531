// PNG in and out as { width, height, data: RGBA bytes, row 0 at the top,
// straight alpha }, and the difference of two such images.
import fs from 'node:fs';
import { PNG } from 'pngjs';

export function readPng(file) {
  const png = PNG.sync.read(fs.readFileSync(file));
  return { width: png.width, height: png.height, data: Buffer.from(png.data) };
}

export function writePng(file, image) {
  fs.writeFileSync(file, PNG.sync.write({ width: image.width, height: image.height, data: Buffer.from(image.data) }));
}

export function makeImage(width, height, pixel) {
  const data = Buffer.alloc(width * height * 4);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) data.set(pixel(x, y), (y * width + x) * 4);
  }
  return { width, height, data };
}

export function pixelAt(image, x, y) {
  const i = (y * image.width + x) * 4;
  return [...image.data.subarray(i, i + 4)];
}

// Max and mean absolute channel difference; where the largest is.
export function difference(a, b) {
  if (a.width !== b.width || a.height !== b.height) {
    return { max: Infinity, mean: Infinity, where: `size ${a.width}x${a.height} against ${b.width}x${b.height}` };
  }
  let max = 0;
  let sum = 0;
  let at = 0;
  for (let i = 0; i < a.data.length; ++i) {
    const d = Math.abs(a.data[i] - b.data[i]);
    sum += d;
    if (d > max) {
      max = d;
      at = i;
    }
  }
  const pixel = Math.floor(at / 4);
  const x = pixel % a.width;
  const y = Math.floor(pixel / a.width);
  return {
    max,
    mean: sum / a.data.length,
    where: `(${x},${y}) ${JSON.stringify(pixelAt(a, x, y))} vs ${JSON.stringify(pixelAt(b, x, y))}`,
  };
}

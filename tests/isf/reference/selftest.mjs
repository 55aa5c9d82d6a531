// Checks the reference runner itself against hand-computed pixels, so that
// orientation, alpha, sizes, the fixed clock and the mended points are known
// to be right before anything is compared with it.
//   node selftest.mjs [WORKDIR]   (or through runSelfTest() from compare.mjs)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { ReferenceRenderer } from './reference-renderer.mjs';
import { makeImage, pixelAt } from './png.mjs';

const header = (extra) => `/*${JSON.stringify({ ISFVSN: '2', INPUTS: [], ...extra })}*/\n`;

const byte = (v) => Math.round(Math.min(1, Math.max(0, v)) * 255);

// Each case: an ISF file, a job, the expected RGBA of pixel (x, y) (row 0 at
// the top) of the last frame, and what the package does unmended ("raw"
// mode): the same picture, a different one, or an error. The raw results
// show that each mend in page-renderer.js answers a real defect.
const cases = [
  {
    name: 'constant colour keeps straight alpha (a header without INPUTS)',
    fs: `/*{"ISFVSN": "2"}*/\nvoid main() { gl_FragColor = vec4(0.2, 0.4, 0.6, 0.5); }\n`,
    job: { width: 7, height: 5 },
    expect: () => [51, 102, 153, 128],
    raw: 'error',
  },
  {
    name: 'gradient: isf_FragNormCoord is (0,0) at the bottom left, row 0 of the PNG is the top',
    fs: `${header({})}void main() { gl_FragColor = vec4(isf_FragNormCoord.x, isf_FragNormCoord.y, gl_FragCoord.x / RENDERSIZE.x, 1.0); }\n`,
    job: { width: 16, height: 10 },
    expect: (x, y, w, h) => [byte((x + 0.5) / w), byte((h - 1 - y + 0.5) / h), byte((x + 0.5) / w), 255],
    raw: 'same',
  },
  {
    name: 'TIME, TIMEDELTA and FRAMEINDEX come from the job',
    fs: `${header({})}void main() { gl_FragColor = vec4(TIME / 10.0, TIMEDELTA * 10.0, float(FRAMEINDEX) / 10.0, DATE.y / 12.0); }\n`,
    job: { width: 4, height: 3, time: 2, fps: 10, frames: 3, date: [2026, 6, 1, 0] },
    expect: () => [byte(2.2 / 10), byte(1), byte(0.2), byte(0.5)],
    raw: 'same',
  },
  {
    name: 'an input image arrives unchanged and upright (IMG_THIS_PIXEL)',
    fs: `${header({ INPUTS: [{ NAME: 'inputImage', TYPE: 'image' }] })}void main() { gl_FragColor = IMG_THIS_PIXEL(inputImage); }\n`,
    job: { width: 12, height: 8, images: { inputImage: makeImage(12, 8, (x, y) => [x * 20, y * 30, 255 - x * 20, 100 + y * 10]) } },
    expect: (x, y) => [x * 20, y * 30, 255 - x * 20, 100 + y * 10],
    // Unmended, the output pass unbinds the active texture unit, which holds
    // the last image bound: the filter reads (0, 0, 0, 1).
    raw: 'differs',
  },
  {
    name: 'IMG_PIXEL counts in the image\'s own pixels, not RENDERSIZE (mended)',
    fs: `${header({ INPUTS: [{ NAME: 'inputImage', TYPE: 'image' }] })}
void main() { vec2 p = vec2(1.5, 0.5); gl_FragColor = IMG_PIXEL(inputImage, p); }\n`,
    job: { width: 8, height: 4, images: { inputImage: makeImage(4, 2, (x, y) => [x * 60 + 10, y * 200 + 20, 0, 255]) } },
    // Texel 1 of the bottom row, which is PNG row 1.
    expect: () => [70, 220, 0, 255],
    raw: 'differs',
  },
  {
    name: 'IMG_NORM_PIXEL with a vec2(a, b) argument and IMG_PIXEL in the image\'s own pixels (mended)',
    fs: `${header({ INPUTS: [{ NAME: 'inputImage', TYPE: 'image' }] })}
void main() {
  vec4 a = IMG_NORM_PIXEL(inputImage, vec2(0.125, 0.75));
  vec4 b = IMG_PIXEL(inputImage, vec2(3.5, 1.5));
  gl_FragColor = vec4(a.r, a.g, b.r, b.g) + vec4(0.0 * IMG_SIZE(inputImage).x);
}\n`,
    // The image is 4x2; RENDERSIZE differs on purpose.
    job: { width: 9, height: 6, images: { inputImage: makeImage(4, 2, (x, y) => [x * 60 + 10, y * 200 + 20, 0, 255]) } },
    // norm (0.125, 0.75) is texel (0, top row = PNG row 0); pixel (3.5, 1.5) is texel (3, PNG row 0).
    expect: () => [10, 20, 190, 20],
    raw: 'differs',
  },
  {
    name: 'a pass reads what an earlier pass wrote in the same frame (mended)',
    fs: `${header({ PASSES: [{ TARGET: 'first' }, {}] })}
void main() {
  if (PASSINDEX == 0) gl_FragColor = vec4(0.0, float(FRAMEINDEX + 1) * 0.25, 0.0, 1.0);
  else gl_FragColor = IMG_THIS_NORM_PIXEL(first);
}\n`,
    job: { width: 5, height: 4, frames: 2 },
    expect: () => [0, byte(0.5), 0, 255],
    raw: 'differs',
  },
  {
    name: 'an image input read into a target, then the target read out (images and buffers on separate units)',
    fs: `${header({ INPUTS: [{ NAME: 'inputImage', TYPE: 'image' }], PASSES: [{ TARGET: 'copy' }, {}] })}
void main() {
  if (PASSINDEX == 0) gl_FragColor = IMG_THIS_PIXEL(inputImage);
  else gl_FragColor = IMG_THIS_PIXEL(copy) * vec4(1.0, 1.0, 0.5, 1.0);
}\n`,
    job: { width: 6, height: 4, frames: 2, images: { inputImage: makeImage(6, 4, (x, y) => [x * 40, y * 60, 200, 255]) } },
    expect: (x, y) => [x * 40, y * 60, 100, 255],
    raw: 'differs',
  },
  {
    name: 'a sized FLOAT target keeps values above 1 and its WIDTH expression',
    fs: `${header({ PASSES: [{ TARGET: 'big', FLOAT: true, WIDTH: '$WIDTH/2', HEIGHT: '1' }, {}] })}
void main() {
  if (PASSINDEX == 0) gl_FragColor = vec4(RENDERSIZE.x, RENDERSIZE.y, 3.0, 1.0);
  else { vec4 v = IMG_NORM_PIXEL(big, vec2(0.5)); gl_FragColor = vec4(v.x / 10.0, v.y / 10.0, v.z / 10.0, IMG_SIZE(big).x / 10.0); }
}\n`,
    job: { width: 8, height: 3 },
    expect: () => [byte(0.4), byte(0.1), byte(0.3), byte(0.4)],
    raw: 'differs',
  },
];

// The first pixel that differs from the expectation by more than 1, or null.
function mismatch(image, expect) {
  for (let y = 0; y < image.height; ++y) {
    for (let x = 0; x < image.width; ++x) {
      const want = expect(x, y, image.width, image.height);
      const got = pixelAt(image, x, y);
      if (got.some((v, c) => Math.abs(v - want[c]) > 1)) return `pixel (${x},${y}) is ${JSON.stringify(got)}, expected ${JSON.stringify(want)}`;
    }
  }
  return null;
}

export async function runSelfTest(renderer, workDir) {
  const dir = fs.mkdtempSync(path.join(workDir || os.tmpdir(), 'selftest-'));
  const failures = [];
  for (const [i, test] of cases.entries()) {
    const file = path.join(dir, `case${i}.fs`);
    fs.writeFileSync(file, test.fs);
    const result = await renderer.render({ fs: file, ...test.job });
    if (result.error) failures.push(`${test.name}: ${result.error}`);
    else {
      const bad = mismatch(result.frames[result.frames.length - 1], test.expect);
      if (bad) failures.push(`${test.name}: ${bad}`);
    }
    const raw = await renderer.render({ fs: file, ...test.job, mode: 'raw' });
    const rawOutcome = raw.error ? 'error' : (mismatch(raw.frames[raw.frames.length - 1], test.expect) ? 'differs' : 'same');
    if (rawOutcome !== test.raw) failures.push(`${test.name}: unmended, the package's result ${rawOutcome === 'same' ? 'is the same' : rawOutcome === 'error' ? 'is an error' : 'differs'}; expected ${test.raw}`);
  }
  fs.rmSync(dir, { recursive: true, force: true });
  return { count: cases.length, failures };
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const renderer = await ReferenceRenderer.start();
  try {
    const { count, failures } = await runSelfTest(renderer, process.argv[2]);
    for (const failure of failures) console.log(`FAIL reference self-test: ${failure}`);
    console.log(`reference self-test: ${count - failures.length}/${count} passed`);
    process.exitCode = failures.length ? 1 : 0;
  } finally {
    await renderer.close();
  }
}

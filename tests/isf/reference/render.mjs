// Renders an ISF file with the reference renderer and writes PNG frames.
//   node render.mjs FILE.fs --size WxH [--time T] [--frames N] [--fps F]
//        [--frame-index K] [--time-delta D] [--date Y,M,D,SECONDS]
//        [--set NAME=VALUE]... [--image NAME=FILE.png]... [--out-dir DIR] [--raw]
// Values are ISF values by input NAME: numbers, true/false, or comma lists
// for colours and points. Frame k (TIME = T + k/F, FRAMEINDEX k) is written
// as DIR/<file>_<kkkk>.png, straight alpha, row 0 at the top. The first
// frame's FRAMEINDEX is K (default 0) and its TIMEDELTA D (default 0).
import fs from 'node:fs';
import path from 'node:path';
import { ReferenceRenderer, DEFAULT_DATE } from './reference-renderer.mjs';
import { readPng, writePng } from './png.mjs';

function usage(message) {
  if (message) console.error(`render.mjs: ${message}`);
  console.error('usage: node render.mjs FILE.fs --size WxH [--time T] [--frames N] [--fps F] [--frame-index K]\n'
    + '                     [--time-delta D] [--date Y,M,D,S] [--set NAME=VALUE]... [--image NAME=FILE.png]...\n'
    + '                     [--out-dir DIR] [--raw]');
  process.exit(message ? 2 : 0);
}

function parseValue(text) {
  if (text === 'true' || text === 'false') return text === 'true';
  const numbers = text.split(',').map(Number);
  if (numbers.some((n) => !Number.isFinite(n))) usage(`not a number or list of numbers: ${text}`);
  return numbers.length === 1 ? numbers[0] : numbers;
}

const args = process.argv.slice(2);
const job = { values: {}, images: {}, frames: 1, fps: 30, time: 0, date: DEFAULT_DATE, mode: 'fixed', capture: 'all' };
let outDir = '.';
for (let i = 0; i < args.length; ++i) {
  const arg = args[i];
  const next = () => (i + 1 < args.length ? args[++i] : usage(`${arg} needs a value`));
  if (arg === '--help' || arg === '-h') usage();
  else if (arg === '--size') {
    const match = /^(\d+)x(\d+)$/.exec(next());
    if (!match) usage('--size expects WxH');
    [job.width, job.height] = [Number(match[1]), Number(match[2])];
  } else if (arg === '--time') job.time = Number(next());
  else if (arg === '--frames') job.frames = Number(next());
  else if (arg === '--fps') job.fps = Number(next());
  else if (arg === '--frame-index') job.frameIndex = Number(next());
  else if (arg === '--time-delta') job.timeDelta = Number(next());
  else if (arg === '--date') job.date = parseValue(next());
  else if (arg === '--set' || arg === '--image') {
    const text = next();
    const eq = text.indexOf('=');
    if (eq <= 0) usage(`${arg} expects NAME=VALUE`);
    const name = text.slice(0, eq);
    if (arg === '--set') job.values[name] = parseValue(text.slice(eq + 1));
    else job.images[name] = readPng(text.slice(eq + 1));
  } else if (arg === '--out-dir') outDir = next();
  else if (arg === '--raw') job.mode = 'raw';
  else if (arg.startsWith('--')) usage(`unknown option ${arg}`);
  else if (job.fs) usage('one ISF file at a time');
  else job.fs = arg;
}
if (!job.fs) usage('no ISF file');
if (!job.width) usage('--size is required');
if (!Number.isInteger(job.frames) || job.frames < 1) usage('--frames expects a whole number from 1');
if (!(job.fps > 0)) usage('--fps expects a positive number');
if (!Number.isInteger(job.frameIndex ?? 0) || job.frameIndex < 0) usage('--frame-index expects a whole number from 0');
if (!Number.isFinite(job.timeDelta ?? 0)) usage('--time-delta expects seconds');
if (!Number.isFinite(job.time)) usage('--time expects seconds');
if (!Array.isArray(job.date) || job.date.length !== 4) usage('--date expects four numbers');

const renderer = await ReferenceRenderer.start();
try {
  const result = await renderer.render(job);
  for (const line of result.log || []) console.error(`reference: ${line}`);
  if (result.error) {
    console.error(`render.mjs: ${job.fs}: ${result.error}`);
    process.exitCode = 1;
  } else {
    fs.mkdirSync(outDir, { recursive: true });
    const stem = path.basename(job.fs, '.fs');
    result.frames.forEach((frame, k) => {
      const file = path.join(outDir, `${stem}_${String(k).padStart(4, '0')}.png`);
      writePng(file, frame);
      console.log(file);
    });
  }
} finally {
  await renderer.close();
}

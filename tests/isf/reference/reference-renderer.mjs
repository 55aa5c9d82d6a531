// The ISF reference renderer (npm interactive-shader-format) in Debian's
// headless chromium with software GL, driven by puppeteer-core.
//
//   const ref = await ReferenceRenderer.start();
//   const { frames } = await ref.render(job);   // frames: [{ width, height, data }]
//   await ref.close();
//
// A job names an ISF file and fixes everything the picture depends on:
//   { fs: 'path/File.fs', width, height, time, fps, frames, date, timeDelta, frameIndex,
//     values: { NAME: value }, images: { NAME: { width, height, data } },
//     mode: 'fixed' | 'raw', capture: 'last' | 'all' }
// The .vs beside the .fs and the IMPORTED images (PNG, relative to the .fs)
// are read here. Frame k renders at TIME = time + k/fps, TIMEDELTA timeDelta
// (default 0) on the first frame and 1/fps after, FRAMEINDEX frameIndex + k
// (default k).
import puppeteer from 'puppeteer-core';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';
import { readPng } from './png.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));

// The package's CommonJS sources, keyed by their path inside the package.
function packageSources() {
  const require = createRequire(import.meta.url);
  const root = path.dirname(require.resolve('interactive-shader-format/package.json'));
  const sources = {};
  for (const dir of ['lib', 'vendor']) {
    for (const name of fs.readdirSync(path.join(root, dir))) {
      if (name.endsWith('.js')) sources[`${dir}/${name}`] = fs.readFileSync(path.join(root, dir, name), 'utf8');
    }
  }
  return sources;
}

// The header of an ISF file: the JSON in its first /* */ comment.
export function isfHeader(text) {
  const start = text.indexOf('/*');
  const end = text.indexOf('*/', start + 2);
  if (start < 0 || end < 0) throw new Error('no /* JSON */ header');
  return JSON.parse(text.slice(start + 2, end));
}

export const DEFAULT_DATE = [2026, 12, 7, 13 * 3600 + 14 * 60 + 15];

export class ReferenceRenderer {
  static async start({ chromium = process.env.CHROMIUM || '/usr/bin/chromium' } = {}) {
    const self = new ReferenceRenderer();
    self.profile = fs.mkdtempSync(path.join(os.tmpdir(), 'isf-reference-chromium-'));
    self.browser = await puppeteer.launch({
      executablePath: chromium,
      headless: true,
      userDataDir: self.profile,
      // A loaded CI machine may take a while to start a browser.
      timeout: 120000,
      // SwiftShader through ANGLE: the same software GL on every machine,
      // GPU or not.
      args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-quic',
        '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
    self.page = await self.browser.newPage();
    self.pageErrors = [];
    self.page.on('pageerror', (error) => self.pageErrors.push(error.message));
    await self.page.setContent('<!doctype html><title>ISF reference</title>');
    await self.page.addScriptTag({ content: fs.readFileSync(path.join(here, 'page-renderer.js'), 'utf8') });
    const exported = await self.page.evaluate((sources) => window.IsfReference.load(sources), packageSources());
    if (!exported.includes('Renderer')) throw new Error(`the renderer package exports ${exported.join(', ')}`);
    return self;
  }

  async render(job) {
    const fsText = fs.readFileSync(job.fs, 'utf8');
    const vsPath = job.fs.replace(/\.fs$/, '.vs');
    const vsText = vsPath !== job.fs && fs.existsSync(vsPath) ? fs.readFileSync(vsPath, 'utf8') : undefined;
    const images = {};
    for (const [name, image] of Object.entries(job.images || {})) images[name] = encodeImage(image);
    const header = isfHeader(fsText);
    for (const [name, entry] of Object.entries(header.IMPORTED || {})) {
      const file = path.resolve(path.dirname(job.fs), entry.PATH);
      images[name] = encodeImage(readPng(file));
    }
    const count = job.frames || 1;
    const fps = job.fps || 30;
    const frames = [];
    for (let k = 0; k < count; ++k) {
      frames.push({
        time: (job.time || 0) + k / fps,
        timeDelta: k === 0 ? job.timeDelta || 0 : 1 / fps,
        frameIndex: (job.frameIndex || 0) + k,
        date: job.date || DEFAULT_DATE,
        capture: job.capture === 'all' || k === count - 1,
      });
    }
    const result = await this.page.evaluate((pageJob) => window.IsfReference.render(pageJob), {
      fs: fsText,
      vs: vsText,
      mode: job.mode || 'fixed',
      width: job.width,
      height: job.height,
      values: job.values || {},
      images,
      frames,
    });
    if (this.pageErrors.length) throw new Error(`page error: ${this.pageErrors.join('; ')}`);
    if (result.error) return { error: result.error, log: result.log || [] };
    return {
      log: result.log,
      frames: result.frames.map((b64) => ({ width: job.width, height: job.height, data: Buffer.from(b64, 'base64') })),
    };
  }

  async close() {
    if (this.browser) await this.browser.close();
    fs.rmSync(this.profile, { recursive: true, force: true });
  }
}

function encodeImage(image) {
  return { width: image.width, height: image.height, rgba: Buffer.from(image.data).toString('base64') };
}

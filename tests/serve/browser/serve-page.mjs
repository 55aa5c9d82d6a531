// End-to-end test of `plughost serve` in a real headless browser: Debian's
// chromium driven by puppeteer-core. Run by run.sh:
//   node serve-page.mjs TOOL CLOCK.so OTHER.so OUTDIR
// It serves a scratch copy of the clock, works the page as a user would,
// replaces the file with another plug-in and saves screenshots in OUTDIR.
import puppeteer from 'puppeteer-core';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import assert from 'node:assert/strict';

const [tool, clock, other, outDir] = process.argv.slice(2);
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'plughost-browser-'));
const plugin = path.join(scratch, 'Preview.so');
fs.copyFileSync(clock, plugin);
fs.mkdirSync(outDir, { recursive: true });

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'plughost-chromium-'));
let server;
let browser;
let page;
const step = (text) => console.log(`- ${text}`);

function startServer() {
  server = spawn(tool, ['serve', plugin, '--port', '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    let out = '';
    const timer = setTimeout(() => reject(new Error(`the server printed no address: ${out}`)), 60000);
    server.stdout.on('data', (data) => {
      out += data;
      const match = out.match(/http:\/\/\S+\//);
      if (match) {
        clearTimeout(timer);
        resolve(match[0]);
      }
    });
    server.on('exit', (code) => reject(new Error(`the server ended early (${code})`)));
  });
}

// What the shown frame holds, read back through a canvas in the page. A new
// frame may be loading into the picture: wait for it to be complete.
async function frame(page) {
  return page.evaluate(async () => {
    const img = document.getElementById('frame');
    while (!img.complete || !img.naturalWidth) await new Promise((resolve) => setTimeout(resolve, 10));
    const canvas = document.createElement('canvas');
    canvas.width = img.naturalWidth;
    canvas.height = img.naturalHeight;
    const context = canvas.getContext('2d');
    context.drawImage(img, 0, 0);
    const data = context.getImageData(0, 0, canvas.width, canvas.height).data;
    let lit = 0;
    let clear = 0;
    let sum = 0;
    for (let i = 0; i < data.length; i += 4) {
      if (data[i + 3] === 0) clear += 1;
      else if (data[i] + data[i + 1] + data[i + 2] > 60) lit += 1;
      sum = (sum * 31 + data[i] + 7 * data[i + 1] + 13 * data[i + 2] + 17 * data[i + 3]) % 1000000007;
    }
    return { number: Number(img.dataset.frame), width: canvas.width, height: canvas.height, lit, clear, sum };
  });
}

// Waits until a frame rendered after every change so far is on the page.
async function freshFrame(page) {
  const status = await page.evaluate(() => fetch('/api/status').then((r) => r.json()));
  await page.waitForFunction((n) => Number(document.getElementById('frame').dataset.frame) > n, { timeout: 20000 }, status.frame + 1);
  return frame(page);
}

try {
  const url = await startServer();
  step(`server at ${url}`);
  browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
    defaultViewport: { width: 1280, height: 900 },
  });
  page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  page.on('requestfailed', (request) => {
    if (!request.url().startsWith(url)) problems.push(`request outside the server: ${request.url()}`);
  });
  await page.goto(url);

  step('the clock shows a frame that is not blank');
  await page.waitForSelector('.control[data-name="Display Type"]');
  await page.waitForFunction(() => Number(document.getElementById('frame').dataset.frame) > 1, { timeout: 20000 });
  const first = await frame(page);
  assert.equal(first.width, 640);
  assert.equal(first.height, 360);
  assert.ok(first.lit > 1000, `a lit clock face, got ${first.lit} lit pixels`);

  step('long parameter names are shown whole');
  const longLabel = await page.$eval('.control[data-name="Red Seconds Hand"] label', (label) => ({
    text: label.innerText,
    clipped: label.scrollWidth > label.clientWidth || label.scrollHeight > label.clientHeight,
    width: label.getBoundingClientRect().width,
  }));
  assert.equal(longLabel.text.replace(/\s+/g, ' '), 'Red Seconds Hand');
  assert.ok(!longLabel.clipped && longLabel.width > 0, `the label is cut: ${JSON.stringify(longLabel)}`);

  step('Manual Mode on: the picture holds still');
  await page.click('.control[data-name="Manual Mode"] input[type=checkbox]');
  await page.waitForFunction(async () => (await fetch('/api/parameters/6').then((r) => r.json())).value === 1);
  const still = await freshFrame(page);
  await new Promise((resolve) => setTimeout(resolve, 1500));
  const later = await freshFrame(page);
  assert.equal(later.sum, still.sum, 'manual mode: frames without a change are the same picture');

  step('Display Type "Digital 24h": the frame changes');
  const digitalIndex = await page.$eval('.control[data-name="Display Type"] select',
    (select) => [...select.options].find((option) => option.text === 'Digital 24h').value);
  await page.select('.control[data-name="Display Type"] select', digitalIndex);
  await page.waitForFunction(async () => (await fetch('/api/parameters/0').then((r) => r.json())).value === 3);
  const digital = await freshFrame(page);
  assert.notEqual(digital.sum, still.sum, 'the digital face differs from the analog one');
  assert.ok(digital.lit > 100);
  assert.equal(digital.clear, 0, 'a solid background has no transparent pixels');

  step('Solid Background off: transparent pixels over the checkerboard');
  await page.click('.control[data-name="Solid Background"] input[type=checkbox]');
  await page.waitForFunction(async () => (await fetch('/api/parameters/11').then((r) => r.json())).value === 0);
  const clear = await freshFrame(page);
  assert.ok(clear.clear > clear.width * clear.height / 2, `mostly transparent, got ${clear.clear}`);
  // What the user sees there: the screenshot of the picture's corner,
  // decoded by the page itself, shows the checkerboard's two greys.
  const box = await (await page.$('#frame')).boundingBox();
  const shot = await page.screenshot({ clip: { x: box.x, y: box.y, width: 64, height: 64 }, encoding: 'base64' });
  const greys = await page.evaluate(async (data) => {
    // As a blob: the page's content policy allows no data: pictures.
    const bytes = Uint8Array.from(atob(data), (c) => c.charCodeAt(0));
    const img = new Image();
    img.src = URL.createObjectURL(new Blob([bytes], { type: 'image/png' }));
    await img.decode();
    const canvas = document.createElement('canvas');
    canvas.width = img.width;
    canvas.height = img.height;
    const context = canvas.getContext('2d');
    context.drawImage(img, 0, 0);
    const pixels = context.getImageData(0, 0, img.width, img.height).data;
    const seen = new Set();
    for (let i = 0; i < pixels.length; i += 4) {
      if (pixels[i] === pixels[i + 1] && pixels[i] === pixels[i + 2]) seen.add(pixels[i]);
    }
    return [...seen];
  }, shot);
  assert.ok(greys.includes(0x99) && greys.includes(0x66), `checkerboard greys in the corner, got ${greys}`);

  step('Save PNG downloads the exact frame');
  const downloads = path.join(scratch, 'downloads');
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.click('#save');
  // Nothing moves in manual mode, so every frame is the same PNG file.
  const shown = await page.evaluate(async () => Array.from(new Uint8Array(await (await fetch('/api/frame.png')).arrayBuffer())));
  const saved = await (async () => {
    for (let i = 0; i < 100; i += 1) {
      const files = fs.existsSync(downloads) ? fs.readdirSync(downloads).filter((f) => f.endsWith('.png')) : [];
      if (files.length) return fs.readFileSync(path.join(downloads, files[0]));
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    throw new Error('no download arrived');
  })();
  assert.deepEqual(Array.from(saved), shown);

  await page.screenshot({ path: path.join(outDir, 'serve-clock.png') });

  step('the plug-in file is replaced by another plug-in: the controls follow');
  fs.copyFileSync(other, path.join(scratch, 'next.so'));
  fs.renameSync(path.join(scratch, 'next.so'), plugin);
  await page.waitForFunction(() => !document.querySelector('.control[data-name="Display Type"]'), { timeout: 30000 });
  await page.waitForFunction(() => document.querySelectorAll('#controls .control').length > 0, { timeout: 30000 });
  const names = await page.$$eval('#controls .control', (rows) => rows.map((row) => row.dataset.name));
  assert.ok(!names.includes('Manual Mode'), `new controls: ${names}`);
  await page.waitForFunction(() => document.getElementById('plugin-name').textContent !== 'Vavo Rozar');
  await freshFrame(page);
  await page.screenshot({ path: path.join(outDir, 'serve-reloaded.png') });

  assert.deepEqual(problems, []);

  step('Ctrl-C stops the server cleanly');
  await browser.close();
  browser = null;
  const ended = new Promise((resolve) => server.on('exit', (code, signal) => resolve({ code, signal })));
  server.kill('SIGINT');
  assert.deepEqual(await ended, { code: 0, signal: null });
  server = null;
  console.log('browser test: 1 passed, 0 failed');
} catch (error) {
  console.error(error);
  if (page) {
    const log = await page.$eval('#log', (element) => element.textContent).catch(() => '');
    console.error(`the page's log:\n${log}`);
    await page.screenshot({ path: path.join(outDir, 'serve-failure.png') }).catch(() => {});
  }
  console.log('browser test: 0 passed, 1 failed');
  process.exitCode = 1;
} finally {
  if (browser) await browser.close();
  if (server && server.exitCode === null && server.signalCode === null) {
    // Stopped as a user would, so it removes its private copies; killed if it will not.
    const ended = new Promise((resolve) => server.on('exit', resolve));
    server.kill('SIGINT');
    const timer = setTimeout(() => server.kill('SIGKILL'), 10000);
    await ended;
    clearTimeout(timer);
  }
  fs.rmSync(scratch, { recursive: true, force: true });
  fs.rmSync(profile, { recursive: true, force: true });
}

// Compares plug-ins made by `plughost isf` with the ISF reference renderer and
// with CPU models, file by file, at two sizes. Run by run.sh (CTest):
//   node compare.mjs --plughost TOOL --work DIR [--corpus DIR] [--examples DIR]
//                    [--only ID]... [--raw]
//   node compare.mjs --plughost TOOL --work DIR --dir FOLDER   (any ISF files)
// Prints one line per case: PASS, FAIL or SKIP with the reason, and the max
// and mean absolute channel difference (0..255) at each size. Pictures land
// in DIR/out/<case>/ (plugin-WxH.png, reference-WxH.png, model-WxH.png).
// Exits 1 when the reference runner's self-test fails, when a corpus file
// fails in the reference, or when a plug-in differs beyond a case's tolerance.
// Without an `isf` command in plughost the plug-in comparisons are skipped.
import { execFile, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';
import { ReferenceRenderer, isfHeader } from './reference-renderer.mjs';
import { runSelfTest } from './selftest.mjs';
import { readPng, writePng, difference } from './png.mjs';
import { picture, importedPicture } from './pictures.mjs';
import { modelPicture, models } from './models.mjs';

const run = promisify(execFile);
const here = path.dirname(fileURLToPath(import.meta.url));
let corpusDir = path.join(here, '..', 'corpus');
const DEFAULT_SIZES = [[64, 48], [96, 40]];

function parseArgs(argv) {
  const options = { only: [], raw: false };
  for (let i = 0; i < argv.length; ++i) {
    const arg = argv[i];
    const value = () => {
      if (i + 1 >= argv.length) throw new Error(`${arg} needs a value`);
      return argv[++i];
    };
    if (arg === '--plughost') options.plughost = value();
    else if (arg === '--work') options.work = value();
    else if (arg === '--only') options.only.push(value());
    else if (arg === '--corpus') corpusDir = path.resolve(value());
    else if (arg === '--examples') options.examples = path.resolve(value());
    else if (arg === '--dir') options.dir = path.resolve(value());
    else if (arg === '--raw') options.raw = true;
    else if (arg === '--help' || arg === '-h') {
      console.log('usage: node compare.mjs --plughost TOOL --work DIR [--corpus DIR] [--examples DIR] [--only CASE]... [--raw]\n'
        + '       node compare.mjs --plughost TOOL --work DIR --dir FOLDER [--only NAME]... [--raw]');
      process.exit(0);
    } else throw new Error(`unknown argument ${arg}`);
  }
  if (!options.work) throw new Error('--work DIR is required');
  return options;
}

// The corpus copied into the work directory, with its IMPORTED picture.
// The tree's example shaders (isf/examples) go to corpus/examples.
function prepareCorpus(work, examplesDir) {
  const dir = path.join(work, 'corpus');
  fs.rmSync(dir, { recursive: true, force: true });
  fs.mkdirSync(dir, { recursive: true });
  const shaders = (src) => fs.statSync(src).isDirectory() || /\.(fs|vs)$/.test(src);
  fs.cpSync(corpusDir, dir, { recursive: true, filter: shaders });
  if (examplesDir && fs.existsSync(examplesDir)) fs.cpSync(examplesDir, path.join(dir, 'examples'), { recursive: true, filter: shaders });
  writePng(path.join(dir, 'imported_pic.png'), importedPicture());
  return dir;
}

function hasIsfCommand(plughost) {
  if (!plughost || !fs.existsSync(plughost)) return false;
  const probe = spawnSync(plughost, ['isf', '--help'], { encoding: 'utf8', timeout: 20000 });
  return probe.status === 0;
}

// --set arguments for the plug-in: parameters are named by LABEL (or NAME);
// a colour is four parameters "<label> R/G/B/A", a point2D two, "<label> X/Y",
// in the shader's units when it has MIN and MAX, else as a fraction of the
// render size; a long is chosen by its position in VALUES.
function settings(header, values, width, height) {
  const args = [];
  const set = (name, value) => args.push('--set', `${name}=${value}`);
  for (const input of header.INPUTS || []) {
    if (!(input.NAME in values)) continue;
    const label = input.LABEL || input.NAME;
    const v = values[input.NAME];
    switch (input.TYPE) {
      case 'bool':
      case 'event':
        set(label, v ? 'on' : 'off');
        break;
      case 'long':
        set(label, input.VALUES ? input.VALUES.indexOf(v) : v);
        break;
      case 'color':
        ['R', 'G', 'B', 'A'].forEach((c, i) => set(`${label} ${c}`, v[i]));
        break;
      case 'point2D': {
        const pixels = !(input.MIN && input.MAX);
        set(`${label} X`, pixels ? v[0] / width : v[0]);
        set(`${label} Y`, pixels ? v[1] / height : v[1]);
        break;
      }
      default:
        set(label, v);
    }
  }
  return args;
}

// Image inputs in the plug-in's input order: the filtered or starting image
// first, the end image second, then the rest as listed.
function imageInputs(header) {
  const images = (header.INPUTS || []).filter((input) => input.TYPE === 'image').map((input) => input.NAME);
  const rank = (name) => ({ inputImage: 0, startImage: 0, endImage: 1 }[name] ?? 2);
  return images.sort((a, b) => rank(a) - rank(b));
}

async function renderPlugin(plughost, plugin, testCase, header, width, height, dir) {
  const tag = `${width}x${height}`;
  const args = ['render', plugin, '--size', tag, '--time', String(testCase.time || 0)];
  args.push(...settings(header, testCase.values || {}, width, height));
  for (const name of imageInputs(header)) {
    const file = path.join(dir, `input-${name}-${tag}.png`);
    writePng(file, picture(testCase.images[name], width, height));
    args.push('--input', file);
  }
  const frames = testCase.frames || 1;
  let outputs;
  if (frames > 1) {
    const outDir = path.join(dir, `plugin-frames-${tag}`);
    fs.rmSync(outDir, { recursive: true, force: true });
    args.push('--frames', String(frames), '--fps', String(testCase.fps || 30), '--no-pacing', '--out-dir', outDir);
    await run(plughost, args, { timeout: 60000 });
    const files = fs.readdirSync(outDir).filter((f) => f.endsWith('.png')).sort();
    if (files.length !== frames) throw new Error(`expected ${frames} frames in ${outDir}, found ${files.length}`);
    outputs = files.map((f) => path.join(outDir, f));
  } else {
    outputs = [path.join(dir, `plugin-${tag}.png`)];
    await run(plughost, [...args, '--out', outputs[0]], { timeout: 60000 });
  }
  const images = outputs.map(readPng);
  writePng(path.join(dir, `plugin-${tag}.png`), images[images.length - 1]);
  return images;
}

// One `plughost isf` for the whole corpus saves a GL context per file; the
// plug-ins are found by name (file name without .fs). A file that did not
// come out is converted alone later, for its own message.
async function convertAll(plughost, files, outDir) {
  fs.mkdirSync(outDir, { recursive: true });
  let stdout = '';
  try {
    ({ stdout } = await run(plughost, ['isf', ...files, '--out', outDir], { timeout: 120000 }));
  } catch (e) {
    stdout = e.stdout || '';
  }
  const written = new Set(stdout.split('\n').map((line) => line.trim()).filter((line) => line.endsWith('.so')));
  const plugins = new Map();
  for (const file of files) {
    const expected = path.join(outDir, `${path.basename(file, '.fs')}.so`);
    if (written.has(expected)) plugins.set(file, Promise.resolve(expected));
  }
  return plugins;
}

async function convert(plughost, file, outDir) {
  fs.mkdirSync(outDir, { recursive: true });
  const { stdout } = await run(plughost, ['isf', file, '--out', outDir], { timeout: 60000 });
  const written = stdout.split('\n').map((line) => line.trim()).filter((line) => line.endsWith('.so'));
  if (written.length !== 1) throw new Error(`plughost isf printed ${written.length} plug-in paths: ${stdout.trim()}`);
  return written[0];
}

const fmt = (d) => `max ${d.max} mean ${d.mean.toFixed(2)}`;

// Every frame of a sequence is compared; the worst one is reported.
function worstFrame(actual, expected) {
  let worst = null;
  actual.forEach((image, k) => {
    const d = difference(image, expected[k]);
    if (actual.length > 1) d.where = `frame ${k} ${d.where}`;
    if (!worst || d.max > worst.max || (d.max === worst.max && d.mean > worst.mean)) worst = d;
  });
  return worst;
}
const errorText = (e) => (e.stderr ? `${e.message.split('\n')[0]}: ${e.stderr.trim().split('\n').slice(-3).join(' / ')}` : e.message);

async function runCase(testCase, ctx) {
  const file = path.join(ctx.corpus, testCase.file);
  if (!fs.existsSync(file)) return `SKIP ${testCase.id}: ${testCase.file} is not in this tree`;
  const header = isfHeader(fs.readFileSync(file, 'utf8'));
  const dir = path.join(ctx.work, 'out', testCase.id);
  fs.mkdirSync(dir, { recursive: true });
  const checks = testCase.check || ['reference'];
  const tolerance = testCase.tolerance ?? 2;
  const sizes = testCase.sizes || DEFAULT_SIZES;
  const frames = testCase.frames || 1;
  const notes = [];
  let failed = false;

  let plugin = null;
  let refused = null;
  if (ctx.isf) {
    try {
      if (!ctx.converted.has(file)) ctx.converted.set(file, convert(ctx.plughost, file, path.join(ctx.work, 'plugins')));
      plugin = await ctx.converted.get(file);
    } catch (e) {
      // A folder of files: refusing is right where the reference refuses too.
      if (!testCase.bulk) return `FAIL ${testCase.id}: plughost isf: ${errorText(e)}`;
      refused = errorText(e);
    }
  }

  // Both sizes render in plughost while the reference works.
  const pluginRenders = sizes.map(([width, height]) => (plugin
    ? renderPlugin(ctx.plughost, plugin, testCase, header, width, height, dir).catch((e) => ({ error: errorText(e) }))
    : null));
  for (const [index, [width, height]] of sizes.entries()) {
    const tag = `${width}x${height}`;
    const pluginRender = pluginRenders[index];
    const expected = [];
    if (checks.includes('reference')) {
      const images = {};
      for (const [name, spec] of Object.entries(testCase.images || {})) images[name] = picture(spec, width, height);
      const result = await ctx.reference.render({
        fs: testCase.referenceFile ? path.join(ctx.corpus, testCase.referenceFile) : file, width, height, time: testCase.time || 0, fps: testCase.fps || 30, frames,
        values: testCase.values, images, mode: ctx.raw ? 'raw' : 'fixed', capture: 'all',
      });
      if (result.error && testCase.bulk) {
        const also = refused ? '; plughost isf refuses it too' : '';
        return `SKIP ${testCase.id}: the reference renderer refuses it: ${result.error.split('\n')[0]}${also}`;
      } else if (result.error) {
        failed = true;
        notes.push(`${tag} the reference renderer failed: ${result.error.split('\n')[0]}`);
      } else {
        writePng(path.join(dir, `reference-${tag}.png`), result.frames[frames - 1]);
        expected.push({ kind: 'reference', images: result.frames });
      }
    }
    if (checks.includes('model')) {
      const name = testCase.model || path.basename(testCase.file, '.fs');
      const images = [];
      for (let k = 1; k <= frames; ++k) images.push(modelPicture(name, width, height, testCase.values, k));
      writePng(path.join(dir, `model-${tag}.png`), images[frames - 1]);
      expected.push({ kind: 'model', images });
    }
    if (pluginRender) {
      const actual = await pluginRender;
      if (actual.error) {
        failed = true;
        notes.push(`${tag} plughost render: ${actual.error}`);
        continue;
      }
      for (const { kind, images } of expected) {
        const d = worstFrame(actual, images);
        if (d.max > tolerance) {
          failed = true;
          notes.push(`${tag} vs ${kind} ${fmt(d)} > ${tolerance} at ${d.where}`);
        } else notes.push(`${tag} vs ${kind} ${fmt(d)}`);
      }
    } else if (expected.length === 2) {
      // No plug-in to compare: the model and the reference check each other.
      const d = worstFrame(expected[0].images, expected[1].images);
      if (d.max > tolerance) {
        failed = true;
        notes.push(`${tag} reference vs model ${fmt(d)} > ${tolerance} at ${d.where}`);
      } else notes.push(`${tag} reference vs model ${fmt(d)}`);
    }
  }
  if (refused) return `FAIL ${testCase.id}: plughost isf refuses a file the reference renders: ${refused}`;
  const why = testCase.reason ? ` (${testCase.reason})` : '';
  if (failed) return `FAIL ${testCase.id}: ${notes.join('; ')}`;
  if (!plugin) return `SKIP ${testCase.id}: no plughost isf to compare${notes.length ? `; ${notes.join('; ')}` : ''}${why}`;
  return `PASS ${testCase.id} [${checks.join('+')}]: ${notes.join('; ')}${why}`;
}

// --dir: every .fs of a folder of ISF files, at its defaults, TIME 1, three
// frames when it keeps buffers, generated pictures for its image inputs,
// progress 0.5 for transitions. A file the reference renderer refuses is
// skipped with its reason; one it runs must come out of plughost the same.
function bulkCases(dir) {
  const cases = [];
  for (const name of fs.readdirSync(dir).filter((f) => f.endsWith('.fs')).sort()) {
    let header;
    try {
      header = isfHeader(fs.readFileSync(path.join(dir, name), 'utf8'));
    } catch (e) {
      header = {};
    }
    const inputs = Array.isArray(header.INPUTS) ? header.INPUTS : [];
    const images = {};
    for (const input of inputs) {
      if (input.TYPE === 'image') images[input.NAME] = { startImage: 'start', endImage: 'end' }[input.NAME] || 'pattern';
    }
    const keeps = (header.PASSES || []).some((pass) => pass.PERSISTENT) || header.PERSISTENT_BUFFERS;
    const values = inputs.some((input) => input.NAME === 'progress') ? { progress: 0.5 } : {};
    cases.push({ id: name.replace(/\.fs$/, ''), file: name, bulk: true, time: 1, frames: keeps ? 3 : 1, values, images, check: ['reference'], tolerance: 3 });
  }
  return cases;
}

const options = parseArgs(process.argv.slice(2));
const started = Date.now();
fs.mkdirSync(options.work, { recursive: true });
const { cases } = options.dir ? { cases: bulkCases(options.dir) } : JSON.parse(fs.readFileSync(path.join(corpusDir, 'cases.json'), 'utf8'));
for (const testCase of cases) {
  for (const check of testCase.check || []) {
    if (check === 'model' && !models[testCase.model || path.basename(testCase.file, '.fs')]) throw new Error(`${testCase.id}: no model`);
  }
}
const unknown = options.only.filter((id) => !cases.some((c) => c.id === id));
if (unknown.length) throw new Error(`no case ${unknown.join(', ')}; cases: ${cases.map((c) => c.id).join(' ')}`);
const selected = options.only.length ? cases.filter((c) => options.only.includes(c.id)) : cases;
const reference = await ReferenceRenderer.start();
let failures = 0;
const tally = { PASS: 0, FAIL: 0, SKIP: 0 };
try {
  const self = await runSelfTest(reference, options.work);
  for (const failure of self.failures) console.log(`FAIL reference self-test: ${failure}`);
  console.log(`${self.failures.length ? 'FAIL' : 'PASS'} reference self-test: ${self.count - self.failures.length}/${self.count} hand-computed pictures`);
  failures += self.failures.length;

  const ctx = {
    plughost: options.plughost && path.resolve(options.plughost),
    isf: hasIsfCommand(options.plughost),
    work: path.resolve(options.work),
    corpus: options.dir || prepareCorpus(options.work, options.examples),
    reference,
    raw: options.raw,
    converted: new Map(),
  };
  if (!ctx.isf) console.log(`SKIP plug-in comparisons: ${options.plughost || 'plughost'} has no isf command yet`);
  else {
    const files = [...new Set(selected.map((c) => path.join(ctx.corpus, c.file)))].filter((f) => fs.existsSync(f));
    ctx.converted = await convertAll(ctx.plughost, files, path.join(ctx.work, 'plugins'));
  }
  for (const testCase of selected) {
    const line = await runCase(testCase, ctx);
    console.log(line);
    tally[line.slice(0, 4)] += 1;
    if (line.startsWith('FAIL')) failures += 1;
  }
} finally {
  await reference.close();
}
console.log(`${failures ? 'FAILED' : 'passed'}: ${selected.length} cases (${tally.PASS} pass, ${tally.FAIL} fail, ${tally.SKIP} skipped) `
  + `in ${((Date.now() - started) / 1000).toFixed(1)} s`);
process.exitCode = failures ? 1 : 0;

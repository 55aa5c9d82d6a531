// Runs inside the headless browser page (injected by reference-renderer.mjs).
// Loads the interactive-shader-format package's CommonJS files, which node
// hands over as text, and renders ISF jobs with its ISFRenderer on a WebGL
// canvas, with TIME, TIMEDELTA, FRAMEINDEX and DATE fixed by the job.
//
// Two modes:
//  - "raw": the package as published, draw() and all; only the clock
//    uniforms are replaced by the job's.
//  - "fixed" (the default): the package's parser, shader translation, program
//    and uniform plumbing, with the points where it departs from the format
//    mended here. Each mend is marked "FIX:" below and listed in README.md.
(function () {
  'use strict';

  // A minimal CommonJS loader for the package's files (lib/*.js, vendor/*.js).
  function makeRequire(sources) {
    const cache = {};
    function resolve(from, spec) {
      const parts = from.split('/').slice(0, -1);
      for (const piece of spec.split('/')) {
        if (piece === '..') parts.pop();
        else if (piece !== '.') parts.push(piece);
      }
      let path = parts.join('/');
      if (!(path in sources) && `${path}.js` in sources) path += '.js';
      return path;
    }
    function load(path) {
      if (cache[path]) return cache[path].exports;
      if (!(path in sources)) throw new Error(`reference renderer: no module ${path}`);
      const module = { exports: {} };
      cache[path] = module;
      const local = (spec) => (spec === 'crypto' ? window.crypto : load(resolve(path, spec)));
      new Function('require', 'module', 'exports', sources[path]).call(module.exports, local, module, module.exports);
      return module.exports;
    }
    return load;
  }

  let ISF = null;

  function base64ToBytes(text) {
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  function bytesToBase64(bytes) {
    let binary = '';
    for (let i = 0; i < bytes.length; i += 0x8000) {
      binary += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    }
    return btoa(binary);
  }

  // An image as the package's pushTexture accepts it: it asks for a loaded
  // <img> (complete) or a canvas. ImageData uploads its bytes untouched (no
  // premultiplication, no colour conversion), and UNPACK_FLIP_Y_WEBGL, which
  // the package sets, puts the PNG's first row at the top (v = 1).
  function imageFrom(spec) {
    const data = new ImageData(new Uint8ClampedArray(base64ToBytes(spec.rgba).buffer), spec.width, spec.height);
    data.complete = true;
    return data;
  }

  // FIX: the package expands IMG_* with a regex that stops at the first ')'
  // and splits arguments at every ',', maps IMG_PIXEL through RENDERSIZE
  // rather than the image's own size, and treats IMG_THIS_PIXEL as
  // normalized. Expanding the macros here, with balanced parentheses, into
  // calls of the package's own sampling helpers leaves nothing for its regex.
  function splitArguments(text, open) {
    const args = [];
    let depth = 0;
    let start = open + 1;
    for (let i = open; i < text.length; ++i) {
      const c = text[i];
      if (c === '(') depth += 1;
      else if (c === ')') {
        depth -= 1;
        if (depth === 0) {
          args.push(text.slice(start, i).trim());
          return { args, end: i + 1 };
        }
      } else if (c === ',' && depth === 1) {
        args.push(text.slice(start, i).trim());
        start = i + 1;
      }
    }
    throw new Error(`unbalanced parentheses after ${text.slice(Math.max(0, open - 20), open)}`);
  }

  function expandImageMacros(body) {
    const pattern = /\b(IMG_THIS_NORM_PIXEL|IMG_NORM_THIS_PIXEL|IMG_THIS_PIXEL|IMG_NORM_PIXEL|IMG_PIXEL|IMG_SIZE)\s*\(/g;
    let out = '';
    let last = 0;
    let match;
    while ((match = pattern.exec(body)) !== null) {
      const open = match.index + match[0].length - 1;
      const { args, end } = splitArguments(body, open);
      const img = expandImageMacros(args[0]);
      const rest = args.slice(1).map(expandImageMacros);
      const info = `_${img}_imgRect, _${img}_imgSize, _${img}_flip`;
      let call;
      switch (match[1]) {
        case 'IMG_SIZE': call = `_${img}_imgSize`; break;
        case 'IMG_THIS_PIXEL': call = `VVSAMPLER_2DBYPIXEL(${img}, ${info}, gl_FragCoord.xy)`; break;
        case 'IMG_PIXEL': call = `VVSAMPLER_2DBYPIXEL(${img}, ${info}, ${rest[0]})`; break;
        case 'IMG_NORM_PIXEL': call = `VVSAMPLER_2DBYNORM(${img}, ${info}, ${rest[0]})`; break;
        default: call = `VVSAMPLER_2DBYNORM(${img}, ${info}, isf_FragNormCoord)`; break;
      }
      out += body.slice(last, match.index) + call;
      last = end;
      pattern.lastIndex = end;
    }
    return out + body.slice(last);
  }

  // FIX: version 1 files. The package leaves upgrading to its Upgrader; run
  // it, and fold PERSISTENT_BUFFERS into PERSISTENT ourselves (the Upgrader
  // writes a lower-case key its parser does not read).
  function upgradeVersion1(fs, vs) {
    const end = fs.indexOf('*/');
    const header = JSON.parse(fs.slice(fs.indexOf('/*') + 2, end));
    // FIX: a header without INPUTS has no inputs (the package stops on it).
    if (!header.INPUTS) {
      header.INPUTS = [];
      fs = `/*${JSON.stringify(header, null, 2)}*/${fs.slice(end + 2)}`;
    }
    if (header.ISFVSN === undefined || header.PERSISTENT_BUFFERS) {
      const persistent = header.PERSISTENT_BUFFERS || [];
      for (const pass of header.PASSES || []) {
        if (persistent.indexOf(pass.TARGET) !== -1) pass.PERSISTENT = true;
      }
      delete header.PERSISTENT_BUFFERS;
      fs = `/*${JSON.stringify(header, null, 2)}*/${fs.slice(fs.indexOf('*/') + 2)}`;
    }
    fs = ISF.Upgrader.convertFragment(fs);
    if (vs) vs = ISF.Upgrader.convertVertex(vs);
    return { fs, vs };
  }

  function prepareSource(job) {
    if (job.mode === 'raw') return { fs: job.fs, vs: job.vs };
    const upgraded = upgradeVersion1(job.fs, job.vs);
    const end = upgraded.fs.indexOf('*/') + 2;
    return { fs: upgraded.fs.slice(0, end) + expandImageMacros(upgraded.fs.slice(end)), vs: upgraded.vs };
  }

  function uniformValue(input, value) {
    switch (input.TYPE) {
      case 'bool':
      case 'event':
        return value ? 1 : 0;
      case 'long':
        return Math.trunc(value);
      default:
        return value;
    }
  }

  // FIX: a size expression has every $WIDTH, $HEIGHT and $input replaced (the
  // package replaces only the first of each) and is floored to whole pixels
  // (the package stores the fraction as the buffer's size but WebGL truncates).
  function evaluateSize(renderer, destination, formula) {
    let text = String(formula).split('$WIDTH').join(String(destination.width)).split('$HEIGHT').join(String(destination.height));
    const names = Object.keys(renderer.uniforms).sort((a, b) => b.length - a.length);
    for (const name of names) {
      const value = renderer.uniforms[name].value;
      if (typeof value === 'number') text = text.split(`$${name}`).join(String(value));
    }
    if (!renderer.math) renderer.math = new (ISF.MathJS)();
    return Math.max(1, Math.floor(renderer.math.eval(text)));
  }

  function setClock(renderer, frame) {
    renderer.setValue('TIME', frame.time);
    renderer.setValue('TIMEDELTA', frame.timeDelta);
    renderer.setValue('FRAMEINDEX', frame.frameIndex);
    renderer.setValue('DATE', frame.date);
  }

  function bindImage(renderer, name, texture, width, height) {
    texture.bind(renderer.program.getUniformLocation(name));
    renderer.setValue(`_${name}_imgSize`, [width, height]);
    renderer.setValue(`_${name}_imgRect`, [0, 0, 1, 1]);
    renderer.setValue(`_${name}_flip`, false);
  }

  // One frame the way the format describes it, built from the package's parts.
  function drawFixed(renderer, canvas, frame, images) {
    const gl = renderer.gl;
    renderer.contextState.reset();
    renderer.program.use();
    setClock(renderer, frame);
    // WIDTH/HEIGHT are evaluated once, when the frame starts.
    const passes = renderer.model.passes;
    const sizes = passes.map((pass) => (pass.target
      ? [evaluateSize(renderer, canvas, pass.width), evaluateSize(renderer, canvas, pass.height)]
      : [canvas.width, canvas.height]));
    // Buffers are sized before any pass reads them: a new or resized buffer
    // starts transparent black (both halves of its ping-pong pair). Sizing
    // binds the buffer's textures to the active unit, so it comes before the
    // images are bound.
    passes.forEach((pass, i) => {
      if (pass.target && (pass.buffer.width !== sizes[i][0] || pass.buffer.height !== sizes[i][1])) {
        pass.buffer.setSize(sizes[i][0], sizes[i][1]);
      }
    });
    // FIX: every image keeps its own texture unit for the whole frame (the
    // package restarts unit numbering at 0 for buffers and so rebinds the unit
    // of the first image input, and its output pass unbinds the active unit,
    // which holds the last image bound).
    for (const image of images) bindImage(renderer, image.name, image.texture, image.width, image.height);
    const bufferUnits = {};
    for (const buffer of renderer.renderBuffers) {
      if (buffer.name && !(buffer.name in bufferUnits)) bufferUnits[buffer.name] = renderer.contextState.newTextureIndex();
    }
    let lastTarget = null;
    for (let i = 0; i < passes.length; ++i) {
      const pass = passes[i];
      // FIX: a pass reads what earlier passes of this frame wrote (the
      // package binds every buffer's previous-frame texture once per frame).
      for (const buffer of renderer.renderBuffers) {
        if (!buffer.name) continue;
        gl.activeTexture(gl.TEXTURE0 + bufferUnits[buffer.name]);
        gl.bindTexture(gl.TEXTURE_2D, buffer.readTexture().texture);
        gl.uniform1i(renderer.program.getUniformLocation(buffer.name), bufferUnits[buffer.name]);
        renderer.setValue(`_${buffer.name}_imgSize`, [buffer.width, buffer.height]);
        renderer.setValue(`_${buffer.name}_imgRect`, [0, 0, 1, 1]);
        renderer.setValue(`_${buffer.name}_flip`, false);
      }
      renderer.setValue('PASSINDEX', i);
      const [w, h] = sizes[i];
      if (pass.target) {
        const buffer = pass.buffer;
        gl.bindFramebuffer(gl.FRAMEBUFFER, buffer.fbo);
        gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, buffer.writeTexture().texture, 0);
        lastTarget = buffer;
      } else {
        gl.bindFramebuffer(gl.FRAMEBUFFER, null);
        lastTarget = null;
      }
      renderer.setValue('RENDERSIZE', [w, h]);
      gl.viewport(0, 0, w, h);
      gl.drawArrays(gl.TRIANGLES, 0, 6);
      gl.bindFramebuffer(gl.FRAMEBUFFER, null);
      if (pass.target) pass.buffer.flip();
    }
    if (lastTarget) renderer.paintToScreen(canvas, lastTarget);
  }

  function readFrame(gl, width, height) {
    const pixels = new Uint8Array(width * height * 4);
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
    // GL rows start at the bottom; PNG rows at the top.
    const flipped = new Uint8Array(pixels.length);
    const stride = width * 4;
    for (let y = 0; y < height; ++y) flipped.set(pixels.subarray((height - 1 - y) * stride, (height - y) * stride), y * stride);
    return bytesToBase64(flipped);
  }

  // job: { fs, vs, mode, width, height, values: {NAME: value},
  //        images: {NAME: {width, height, rgba}}, frames: [{time, timeDelta,
  //        frameIndex, date, capture}] }
  // Returns { frames: [base64 RGBA, row 0 at top], log } or { error }.
  function render(job) {
    const canvas = document.createElement('canvas');
    canvas.width = job.width;
    canvas.height = job.height;
    const gl = canvas.getContext('webgl', {
      alpha: true, premultipliedAlpha: false, preserveDrawingBuffer: true, antialias: false, depth: false, stencil: false,
    });
    if (!gl) return { error: 'no WebGL context' };
    const log = [];
    const originalError = console.error;
    console.error = (...args) => log.push(args.join(' '));
    try {
      // FIX: FLOAT targets need these extensions, which the package never
      // enables (without them the float textures are incomplete and read black).
      if (job.mode !== 'raw') {
        for (const name of ['OES_texture_float', 'OES_texture_float_linear', 'WEBGL_color_buffer_float']) {
          if (!gl.getExtension(name)) return { error: `WebGL extension ${name} is missing` };
        }
      }
      const source = prepareSource(job);
      const renderer = new ISF.Renderer(gl);
      renderer.loadSource(source.fs, source.vs);
      if (!renderer.valid) {
        const error = renderer.error;
        return { error: `${(error && (error.message || error)) || 'invalid'}` };
      }
      gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
      const images = [];
      for (const input of renderer.model.inputs) {
        if (!(input.NAME in (job.values || {}))) continue;
        if (input.TYPE === 'image') continue;
        renderer.setValue(input.NAME, uniformValue(input, job.values[input.NAME]));
      }
      for (const input of renderer.model.inputs) {
        if (input.TYPE !== 'image' || !job.images[input.NAME]) continue;
        const spec = job.images[input.NAME];
        renderer.setValue(input.NAME, imageFrom(spec));
        images.push({ name: input.NAME, texture: renderer.uniforms[input.NAME].texture, width: spec.width, height: spec.height });
      }
      if (job.mode !== 'raw') {
        // FIX: the package declares IMPORTED samplers but leaves loading them
        // to the host: upload them like inputs.
        for (const name of Object.keys(renderer.model.imports)) {
          const spec = job.images[name];
          if (!spec) return { error: `IMPORTED image ${name} was not supplied` };
          const texture = new ISF.ISFTexture({}, renderer.contextState);
          gl.bindTexture(gl.TEXTURE_2D, texture.texture);
          gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, gl.RGBA, gl.UNSIGNED_BYTE, imageFrom(spec));
          images.push({ name, texture, width: spec.width, height: spec.height });
        }
      } else {
        // Raw mode: only the clock is ours.
        let current = null;
        renderer.setDateUniforms = function fixedClock() { setClock(this, current); };
        renderer.drawRaw = (frame) => { current = frame; renderer.draw(canvas); };
      }
      const frames = [];
      for (const frame of job.frames) {
        if (job.mode === 'raw') renderer.drawRaw(frame);
        else drawFixed(renderer, canvas, frame, images);
        const glError = gl.getError();
        if (glError !== gl.NO_ERROR) log.push(`GL error 0x${glError.toString(16)} in frame ${frame.frameIndex}`);
        if (frame.capture) frames.push(readFrame(gl, job.width, job.height));
      }
      return { frames, log };
    } catch (e) {
      return { error: `${e && (e.message || e.stack || e)}`, log };
    } finally {
      console.error = originalError;
      const lose = gl.getExtension('WEBGL_lose_context');
      if (lose) lose.loseContext();
    }
  }

  window.IsfReference = {
    load(sources) {
      const load = makeRequire(sources);
      ISF = load('lib/main.js');
      ISF.ISFTexture = load('lib/ISFTexture.js');
      ISF.MathJS = load('vendor/math.js');
      return Object.keys(ISF);
    },
    render,
    expandImageMacros,
  };
}());

// The preview page. It talks to the server only through the JSON API
// (docs/serve.md): /api/plugin for the whole state, /api/events for what
// changes, /api/frame.png for the pictures, and the POST calls for controls.
'use strict';

const $ = (id) => document.getElementById(id);
const TYPE = {
  BOOLEAN: 0, EVENT: 1, RED: 2, GREEN: 3, BLUE: 4, STANDARD: 10, OPTION: 11, BUFFER: 12,
  INTEGER: 13, FILE: 14, TEXT: 100, HUE: 200, SATURATION: 201, BRIGHTNESS: 202, ALPHA: 203,
};
const MAX_TEXT = 4096;

const page = {
  generation: -1,
  identity: null,
  controls: new Map(), // parameter index -> { row, update(parameter) }
  colourGroups: [],    // { indices, refresh() }
  paused: false,
  state: '',
  lastFrame: 0,        // the frame on show
  lastReceived: 0,     // the newest frame fetched
  shown: [],           // times at which frames were shown, for the rate
  frameBlob: null,
  frameUrl: null,
  frameName: 'frame',
};

// ---- talking to the server -------------------------------------------------

async function api(path, body) {
  const init = body === undefined ? {} : {
    method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body),
  };
  const response = await fetch(path, init);
  const answer = await response.json().catch(() => ({}));
  if (!response.ok) throw new Error(answer.error || `${response.status} ${response.statusText}`);
  return answer;
}

// One request per parameter at a time; while it runs, only the newest value
// waits, so a dragged slider never queues up a backlog.
const sending = new Map();
async function send(index, value) {
  let slot = sending.get(index);
  if (!slot) sending.set(index, slot = { busy: false, next: undefined });
  if (slot.busy) { slot.next = value; return; }
  slot.busy = true;
  try {
    for (let v = value; v !== undefined; v = slot.next, slot.next = undefined) {
      const control = page.controls.get(index);
      try {
        const parameter = await api(`/api/parameters/${index}`, { value: v });
        if (control) control.row.classList.remove('refused');
        applyParameter(parameter);
      } catch (error) {
        if (control) {
          control.row.classList.add('refused');
          control.row.title = error.message;
        }
        appendLog({ stream: 'server', text: error.message });
      }
    }
  } finally {
    slot.busy = false;
  }
}

// ---- the whole state -------------------------------------------------------

async function loadPlugin() {
  try {
    applyPlugin(await api('/api/plugin'));
  } catch (error) {
    appendLog({ stream: 'server', text: `cannot read the plug-in's state: ${error.message}` });
  }
}

function applyPlugin(plugin) {
  page.identity = plugin.identity;
  showIdentity(plugin.identity, plugin.status);
  buildControls(plugin.parameters || []);
  page.generation = plugin.status.generation;
  $('controls').dataset.generation = String(page.generation);
  applyStatus(plugin.status);
  if (plugin.log && !$('log').childElementCount) plugin.log.forEach(appendLog);
}

function showIdentity(identity, status) {
  const file = status.plugin.split('/').pop();
  if (!identity || !identity.name) {
    $('plugin-name').textContent = file;
    $('plugin-facts').textContent = 'not loaded yet';
    $('plugin-description').textContent = '';
    document.title = `${file} · plughost serve`;
    return;
  }
  page.frameName = identity.name.trim().replace(/[^A-Za-z0-9._-]+/g, '-') || 'frame';
  $('plugin-name').textContent = identity.name;
  const inputs = identity.maxInputs ? ` · inputs ${identity.minInputs}..${identity.maxInputs}` : '';
  $('plugin-facts').textContent =
    `${identity.id} · ${identity.type} · version ${identity.version || '?'} · FFGL ${identity.api}` +
    `${inputs} · ${status.width}x${status.height} · ${file}`;
  $('plugin-description').textContent = [identity.description, identity.about].filter(Boolean).join(' — ');
  document.title = `${identity.name} · plughost serve`;
}

function applyStatus(status) {
  // As wide as the picture (the page shrinks it when narrower), whatever
  // the figures under it say: a panel that moved with every frame's numbers
  // would move the controls under the pointer.
  $('viewer').style.width = `${status.width + 2}px`;
  page.paused = status.paused;
  page.state = status.state;
  if (status.generation !== page.generation && status.state === 'running') loadPlugin();
  $('pause').textContent = status.paused ? 'Play' : 'Pause';
  const running = status.state === 'running';
  $('stat-state').textContent = running ? (status.paused ? 'paused' : 'running') : status.state;
  $('stat-served').textContent = running && !status.paused ? `${status.fps} fps of ${status.targetFps}` : '–';
  refreshShown();
  $('controls').classList.toggle('disabled', !running);
  for (const id of ['pause', 'step', 'save']) $(id).disabled = !running && id !== 'save';
  showProblem(status);
}

function showProblem(status) {
  const error = status.error;
  const box = $('problem');
  if (!error || (status.state === 'running' && error.kind !== 'frame')) {
    box.hidden = true;
    return;
  }
  const titles = {
    crash: `The plug-in crashed${error.signal ? ` (${error.signal})` : ''}`,
    hang: 'The plug-in hung and was stopped',
    exit: 'The plug-in ended its worker process',
    load: `The build failed${error.stage ? ` at "${error.stage}"` : ''}`,
    worker: 'The worker process could not start',
    frame: 'The plug-in failed a frame',
  };
  $('problem-title').textContent = titles[error.kind] || 'Problem';
  $('problem-message').textContent = error.message || '';
  $('problem-request').textContent = error.request ? `last request: ${error.request}` : '';
  $('problem-log').textContent = error.log || '';
  $('problem-log').hidden = !error.log;
  $('restart-after-problem').hidden = error.kind === 'frame';
  box.hidden = false;
}

// ---- controls --------------------------------------------------------------

function buildControls(parameters) {
  const form = $('controls');
  form.replaceChildren();
  page.controls.clear();
  page.colourGroups = [];
  if (!parameters.length) {
    form.append(note('This plug-in has no parameters.'));
    return;
  }
  const groups = new Map();
  const containerFor = (parameter) => {
    if (!parameter.group) return form;
    if (!groups.has(parameter.group)) {
      const fieldset = document.createElement('fieldset');
      const legend = document.createElement('legend');
      legend.textContent = parameter.group;
      fieldset.append(legend);
      form.append(fieldset);
      groups.set(parameter.group, fieldset);
    }
    return groups.get(parameter.group);
  };
  for (let i = 0; i < parameters.length;) {
    const run = colourRun(parameters, i);
    if (run.length) {
      containerFor(parameters[i]).append(colourGroup(run));
      i += run.length;
    } else {
      containerFor(parameters[i]).append(control(parameters[i]));
      i += 1;
    }
  }
}

// Red, green, blue (and alpha) or hue, saturation, brightness (and alpha)
// registered one after the other belong together.
function colourRun(parameters, i) {
  for (const kinds of [[TYPE.RED, TYPE.GREEN, TYPE.BLUE], [TYPE.HUE, TYPE.SATURATION, TYPE.BRIGHTNESS]]) {
    if (kinds.every((type, k) => parameters[i + k] && parameters[i + k].type === type)) {
      const run = parameters.slice(i, i + 3);
      if (parameters[i + 3] && parameters[i + 3].type === TYPE.ALPHA) run.push(parameters[i + 3]);
      return run;
    }
  }
  return [];
}

function colourGroup(run) {
  const fieldset = document.createElement('fieldset');
  fieldset.className = 'colour';
  const legend = document.createElement('legend');
  const swatch = document.createElement('span');
  swatch.className = 'swatch';
  legend.append(`${run.map((p) => p.displayName || p.name).join(' · ')} `);
  const rgb = run[0].type === TYPE.RED;
  let picker = null;
  if (rgb) {
    picker = document.createElement('input');
    picker.type = 'color';
    picker.title = 'pick the colour';
    picker.addEventListener('input', () => {
      const hex = picker.value;
      [1, 3, 5].forEach((at, k) => send(run[k].index, parseInt(hex.slice(at, at + 2), 16) / 255));
    });
    legend.append(picker, ' ');
  }
  legend.append(swatch);
  fieldset.append(legend);
  run.forEach((parameter) => fieldset.append(control(parameter)));
  const group = {
    indices: run.map((p) => p.index),
    refresh() {
      const v = group.indices.map((index) => Number(page.controls.get(index).value) || 0);
      const [r, g, b] = rgb ? v : hsvToRgb(v[0], v[1], v[2]);
      const alpha = v.length > 3 ? v[3] : 1;
      const byte = (x) => Math.round(Math.min(1, Math.max(0, x)) * 255);
      swatch.style.background = `rgba(${byte(r)}, ${byte(g)}, ${byte(b)}, ${alpha})`;
      if (picker && document.activeElement !== picker) {
        picker.value = `#${[r, g, b].map((x) => byte(x).toString(16).padStart(2, '0')).join('')}`;
      }
    },
  };
  page.colourGroups.push(group);
  group.refresh();
  return fieldset;
}

function hsvToRgb(h, s, v) {
  const f = (n) => {
    const k = (n + h * 6) % 6;
    return v - v * s * Math.max(0, Math.min(k, 4 - k, 1));
  };
  return [f(5), f(3), f(1)];
}

function note(text) {
  const span = document.createElement('span');
  span.className = 'note';
  span.textContent = text;
  return span;
}

function number(value) {
  if (value === null || value === undefined) return '–';
  return Number.isInteger(value) ? String(value) : Number(value.toFixed(4)).toString();
}

function control(parameter) {
  const row = document.createElement('div');
  row.className = 'control';
  row.dataset.index = parameter.index;
  row.dataset.name = parameter.name;
  row.dataset.kind = parameter.kind;
  const label = document.createElement('label');
  const id = `parameter-${parameter.index}`;
  label.htmlFor = id;
  const widget = document.createElement('div');
  widget.className = 'widget';
  const display = document.createElement('span');
  display.className = 'display';
  row.append(label, widget, display);

  const entry = { row, value: parameter.value, parameter, update: null };
  // The user's hand on a control wins over what the server reports meanwhile.
  let handling = false;
  const hold = (element) => {
    element.addEventListener('pointerdown', () => { handling = true; });
    element.addEventListener('pointerup', () => { handling = false; });
    element.addEventListener('blur', () => { handling = false; });
  };
  const t = parameter.type;

  if (t === TYPE.BOOLEAN) {
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.id = id;
    box.addEventListener('change', () => send(parameter.index, box.checked));
    widget.append(box);
    entry.update = (p) => { box.checked = p.value > 0.5; };
  } else if (t === TYPE.EVENT) {
    const button = document.createElement('button');
    button.type = 'button';
    button.id = id;
    button.textContent = 'Trigger';
    button.addEventListener('click', () => send(parameter.index, true));
    widget.append(button);
    entry.update = () => {};
  } else if (t === TYPE.OPTION) {
    const select = document.createElement('select');
    select.id = id;
    let shownElements = '';
    select.addEventListener('change', () => {
      const element = entry.parameter.elements[Number(select.value)];
      if (element) send(parameter.index, element.value === null ? element.name : element.value);
    });
    widget.append(select);
    entry.update = (p) => {
      const key = JSON.stringify([p.elements, p.separators]);
      if (key !== shownElements) {
        shownElements = key;
        select.replaceChildren();
        p.elements.forEach((element, e) => {
          if (p.separators.includes(e) && e > 0) {
            const line = new Option('──────────', '');
            line.disabled = true;
            select.add(line);
          }
          select.add(new Option(element.name || `(element ${e})`, String(e)));
        });
      }
      const chosen = p.elements.findIndex((element) => element.value !== null && Math.abs(element.value - p.value) < 1e-6);
      if (!handling) select.value = chosen >= 0 ? String(chosen) : '';
    };
    hold(select);
  } else if (t === TYPE.TEXT || t === TYPE.FILE) {
    const field = document.createElement('input');
    field.type = 'text';
    field.id = id;
    field.maxLength = MAX_TEXT;
    if (t === TYPE.FILE) {
      field.placeholder = parameter.extensions.length ? `a path (${parameter.extensions.map((x) => `.${x}`).join(', ')})` : 'a path';
    }
    field.addEventListener('change', () => send(parameter.index, field.value));
    widget.append(field);
    entry.update = (p) => { if (document.activeElement !== field) field.value = p.value; };
  } else if (t === TYPE.BUFFER) {
    widget.append(note(`buffer of ${parameter.elements.length} values${parameter.usage === 1 ? ' (audio spectrum)' : ''}: the host fills it; no control here`));
    entry.update = () => {};
  } else {
    // Standard, ranged, integer and colour parts: a slider over the real range.
    const slider = document.createElement('input');
    slider.type = 'range';
    slider.id = id;
    const valid = Number.isFinite(parameter.min) && Number.isFinite(parameter.max) && parameter.min < parameter.max;
    const min = valid ? parameter.min : 0;
    const max = valid ? parameter.max : 1;
    slider.min = String(min);
    slider.max = String(max);
    slider.step = t === TYPE.INTEGER ? '1' : String((max - min) / 1000);
    slider.title = `${number(min)} .. ${number(max)}`;
    const shown = document.createElement('span');
    shown.className = 'value';
    slider.addEventListener('input', () => {
      shown.textContent = number(Number(slider.value));
      entry.value = Number(slider.value);
      refreshColours(parameter.index);
      send(parameter.index, Number(slider.value));
    });
    hold(slider);
    widget.append(slider, shown);
    entry.update = (p) => {
      if (handling) return;
      if (p.value !== null) slider.value = String(p.value);
      shown.textContent = number(p.value);
    };
    if (!Number.isInteger(parameter.type) || ![TYPE.STANDARD, TYPE.INTEGER, TYPE.RED, TYPE.GREEN, TYPE.BLUE,
      TYPE.HUE, TYPE.SATURATION, TYPE.BRIGHTNESS, TYPE.ALPHA].includes(t)) {
      widget.append(note(parameter.kind));
    }
  }

  entry.apply = (p) => {
    entry.parameter = p;
    entry.value = p.value;
    label.textContent = p.displayName || p.name;
    label.title = `${p.name} (${p.kind}${p.group ? `, group ${p.group}` : ''})`;
    display.textContent = p.display;
    display.title = p.display;
    row.hidden = !p.visible;
    entry.update(p);
  };
  entry.apply(parameter);
  page.controls.set(parameter.index, entry);
  return row;
}

function refreshColours(index) {
  for (const group of page.colourGroups) if (group.indices.includes(index)) group.refresh();
}

function applyParameter(parameter) {
  const entry = page.controls.get(parameter.index);
  if (!entry || entry.parameter.name !== parameter.name) return;
  entry.apply(parameter);
  refreshColours(parameter.index);
}

// ---- frames ----------------------------------------------------------------

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The next frame is asked for as soon as one arrives; showing it goes on
// meanwhile, and a frame that arrives while another is being decoded
// replaces the one waiting, so the page never falls behind the server.
async function pullFrames() {
  for (;;) {
    try {
      const response = await fetch(`/api/frame.png?after=${page.lastReceived}`, { cache: 'no-store' });
      if (response.status === 200) {
        const blob = await response.blob();
        page.lastReceived = Number(response.headers.get('X-Frame')) || page.lastReceived;
        present(blob, response.headers);
      } else if (response.status !== 204) {
        await sleep(500);
      }
    } catch (error) {
      await sleep(1000);
    }
  }
}

let waiting = null;
let presenting = false;
async function present(blob, headers) {
  waiting = { blob, headers };
  if (presenting) return;
  presenting = true;
  while (waiting) {
    const next = waiting;
    waiting = null;
    await showFrame(next.blob, next.headers);
  }
  presenting = false;
}

async function showFrame(blob, headers) {
  const img = $('frame');
  const url = URL.createObjectURL(blob);
  // Decoded aside first, so the picture on show never flickers or empties.
  const next = new Image();
  next.src = url;
  try { await next.decode(); } catch (error) { /* shown anyway once loaded */ }
  img.src = url;
  if (page.frameUrl) URL.revokeObjectURL(page.frameUrl);
  page.frameUrl = url;
  page.frameBlob = blob;
  page.lastFrame = Number(headers.get('X-Frame')) || page.lastFrame;
  img.dataset.frame = String(page.lastFrame);
  page.shown.push(performance.now());
  refreshShown();
  $('stat-ms').textContent = `${Number(headers.get('X-Render-Ms')).toFixed(1)} ms`;
  $('stat-time').textContent = `${Number(headers.get('X-Frame-Time')).toFixed(2)} s`;
  $('stat-frame').textContent = String(page.lastFrame);
}

function refreshShown() {
  const now = performance.now();
  while (page.shown.length && now - page.shown[0] > 1000) page.shown.shift();
  $('stat-shown').textContent = `${page.shown.length} fps`;
}

function saveFrame() {
  if (!page.frameBlob) return;
  // An address of its own: the one on show is dropped at the next frame.
  const url = URL.createObjectURL(page.frameBlob);
  const link = document.createElement('a');
  link.href = url;
  link.download = `${page.frameName}-${page.lastFrame}.png`;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

// ---- log -------------------------------------------------------------------

function appendLog(entry) {
  const log = $('log');
  const line = document.createElement('span');
  line.className = entry.stream;
  const raw = entry.text.endsWith('\n') ? entry.text.slice(0, -1) : entry.text;
  const plain = entry.stream === 'stdout' || entry.stream === 'stderr';
  line.textContent = `${raw.split('\n').map((text) => (plain ? text : `[${entry.stream}] ${text}`)).join('\n')}\n`;
  const atBottom = log.scrollTop + log.clientHeight >= log.scrollHeight - 4;
  log.append(line);
  while (log.childElementCount > 500) log.firstElementChild.remove();
  if (atBottom) log.scrollTop = log.scrollHeight;
}

// ---- wiring ----------------------------------------------------------------

function listen() {
  const events = new EventSource('/api/events');
  const badge = $('connection');
  events.addEventListener('hello', (event) => {
    badge.textContent = 'live';
    badge.classList.add('live');
    const status = JSON.parse(event.data);
    if (status.generation !== page.generation) loadPlugin(); else applyStatus(status);
  });
  events.addEventListener('reload', (event) => applyPlugin(JSON.parse(event.data)));
  events.addEventListener('status', (event) => applyStatus(JSON.parse(event.data)));
  events.addEventListener('parameters', (event) => {
    const change = JSON.parse(event.data);
    if (change.generation === page.generation) change.parameters.forEach(applyParameter);
  });
  events.addEventListener('log', (event) => appendLog(JSON.parse(event.data)));
  events.addEventListener('error', () => {
    badge.textContent = 'reconnecting';
    badge.classList.remove('live');
  });
}

async function transport(action) {
  try {
    applyStatus(await api('/api/transport', { action }));
  } catch (error) {
    appendLog({ stream: 'server', text: error.message });
  }
}

async function restart() {
  try {
    applyStatus(await api('/api/restart', {}));
  } catch (error) {
    appendLog({ stream: 'server', text: error.message });
  }
}

$('pause').addEventListener('click', () => transport(page.paused ? 'play' : 'pause'));
$('step').addEventListener('click', () => transport('step'));
$('save').addEventListener('click', saveFrame);
$('restart').addEventListener('click', restart);
$('restart-after-problem').addEventListener('click', restart);
$('clear-log').addEventListener('click', () => $('log').replaceChildren());
$('controls').addEventListener('submit', (event) => event.preventDefault());

loadPlugin().then(() => { listen(); pullFrames(); });

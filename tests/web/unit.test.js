// The browser test driver's own pieces: the picture's place in a viewport, the walk file, the
// static server and the PNG reader.
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const { pictureBox, readWalk } = require('./e2e.js');
const server = require('./server.js');
const png = require('./png.js');

test('the picture sits where the game letterboxes it', () => {
  const cases = [
    [[800, 600], { x: 0, y: 0, w: 800, h: 600 }],           // exactly 1x
    [[1280, 720], { x: 160, y: 0, w: 960, h: 720 }],        // 1.2x, smoothed: fills the height
    [[1600, 1200], { x: 0, y: 0, w: 1600, h: 1200 }],       // exactly 2x
    [[1700, 1250], { x: 50, y: 25, w: 1600, h: 1200 }],     // 2x keeps nine tenths: sharp, bars
    [[1760, 1320], { x: 80, y: 60, w: 1600, h: 1200 }],     // 2.2x: 2x still nine tenths
    [[1800, 1350], { x: 0, y: 0, w: 1800, h: 1350 }],       // 2.25x: 2x is less than nine tenths
    [[390, 844], { x: 0, y: 276, w: 390, h: 292 }],         // a phone upright: bars above and below
    [[780, 1688], { x: 0, y: 551, w: 780, h: 585 }],        // the same phone in device pixels
  ];
  for (const [[w, h], box] of cases) assert.deepStrictEqual(pictureBox(w, h), box, `${w} x ${h}`);
});

test('the walk keeps the steps of its build, in order, with their messages', () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'walk-'));
  const file = path.join(dir, 'walk.txt');
  fs.writeFileSync(file, [
    '# a comment', '', '*      start', 'linux  key alt+Return', 'web,wine click 10 20',
    '*      check not golden 1 2 3 4 | a message | with a bar', 'wine   shot', '   # indented comment\r',
  ].join('\n'));
  const steps = readWalk(file, 'web');
  assert.deepStrictEqual(steps.map((s) => [s.step, s.args, s.what]), [
    ['start', [], ''],
    ['click', ['10', '20'], ''],
    ['check', ['not', 'golden', '1', '2', '3', '4'], 'a message | with a bar'],
  ]);
  assert.strictEqual(steps[1].where, 'walk.txt:5');
  assert.deepStrictEqual(readWalk(file, 'linux').map((s) => s.step), ['start', 'key', 'check']);
  fs.rmSync(dir, { recursive: true });
});

test('the browser walk names only steps and checks the driver knows', () => {
  const known = new Set(['start', 'reload', 'click', 'hover', 'key', 'wait', 'shot', 'picture', 'keep', 'stop', 'wait_end',
    'forget', 'play_again', 'viewport', 'touch', 'touch_tap', 'touch_drag', 'touch_hold', 'touch_hold_tap', 'server', 'check']);
  const checks = new Set(['golden', 'warm', 'bluish', 'black', 'differs', 'fullscreen', 'windowed', 'running', 'ended',
    'status', 'reported', 'settings_count', 'settings', 'settings_bool', 'progress_size', 'progress_bytes', 'audio_running',
    'no_audio', 'bars_black', 'row_lit', 'same', 'end_page', 'offline_ready', 'one_cache', 'touch_note', 'error_box']);
  const steps = readWalk(path.join(__dirname, 'walk.txt'), 'web');
  assert.ok(steps.length > 50);
  const kept = new Set();
  for (const s of steps) {
    assert.ok(known.has(s.step), `${s.where}: ${s.step}`);
    if (s.step === 'keep') kept.add(s.args[0]);
    if (s.step === 'check') {
      const a = s.args[0] === 'not' ? s.args.slice(1) : s.args;
      assert.ok(checks.has(a[0]), `${s.where}: check ${a[0]}`);
      assert.ok(s.what, `${s.where}: a check says what it checks`);
      if (a[0] === 'same') assert.ok(kept.has(a[1]), `${s.where}: ${a[1]} is kept before it is compared`);
    }
  }
});

test('the server gives the site as a static host does', async (t) => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'site-'));
  fs.mkdirSync(path.join(dir, 'music'));
  fs.writeFileSync(path.join(dir, 'index.html'), '<!doctype html><title>t</title>');
  fs.writeFileSync(path.join(dir, 'tangrel.wasm'), Buffer.alloc(5000, 7));
  fs.writeFileSync(path.join(dir, 'music', 'theme1.ogg'), Buffer.from('0123456789'));
  fs.writeFileSync(path.join(os.tmpdir(), 'outside.txt'), 'secret');
  const s = await server.start(dir);
  t.after(async () => { await s.close(); fs.rmSync(dir, { recursive: true }); });

  let r = await fetch(s.url);
  assert.strictEqual(r.status, 200);
  assert.match(r.headers.get('content-type'), /^text\/html/);
  assert.strictEqual(await r.text(), '<!doctype html><title>t</title>');
  const etag = r.headers.get('etag');
  assert.ok(etag);
  r = await fetch(s.url + 'index.html', { headers: { 'if-none-match': etag } });
  assert.strictEqual(r.status, 304);

  // Compiled streaming needs the wasm type; gzip only for a client that takes it.
  r = await fetch(s.url + 'tangrel.wasm', { headers: { 'accept-encoding': 'identity' } });
  assert.strictEqual(r.headers.get('content-type'), 'application/wasm');
  assert.strictEqual(r.headers.get('content-encoding'), null);
  assert.strictEqual((await r.arrayBuffer()).byteLength, 5000);
  const raw = await new Promise((resolve) => require('http').get(s.url + 'tangrel.wasm', { headers: { 'accept-encoding': 'gzip' } }, (res) => {
    const parts = []; res.on('data', (c) => parts.push(c)); res.on('end', () => resolve({ res, body: Buffer.concat(parts) }));
  }));
  assert.strictEqual(raw.res.headers['content-encoding'], 'gzip');
  assert.ok(raw.body.length < 200);
  assert.strictEqual(zlib.gunzipSync(raw.body).length, 5000);

  // Byte ranges, as a media element asks for them.
  r = await fetch(s.url + 'music/theme1.ogg', { headers: { range: 'bytes=2-4' } });
  assert.strictEqual(r.status, 206);
  assert.strictEqual(r.headers.get('content-range'), 'bytes 2-4/10');
  assert.strictEqual(await r.text(), '234');
  r = await fetch(s.url + 'music/theme1.ogg', { headers: { range: 'bytes=-3' } });
  assert.strictEqual(await r.text(), '789');
  r = await fetch(s.url + 'music/theme1.ogg', { headers: { range: 'bytes=20-' } });
  assert.strictEqual(r.status, 416);

  // Nothing outside the site, nothing but reading.
  for (const p of ['%2e%2e/outside.txt', '..%2foutside.txt', 'music/%2e%2e/%2e%2e/outside.txt']) {
    r = await fetch(s.url + p);
    assert.ok(r.status === 403 || r.status === 404, `${p}: ${r.status}`);
    assert.notStrictEqual(await r.text(), 'secret');
  }
  assert.strictEqual((await fetch(s.url + 'nothing.js')).status, 404);
  assert.strictEqual((await fetch(s.url + 'music')).status, 404);
  assert.strictEqual((await fetch(s.url, { method: 'POST', body: 'x' })).status, 405);
  assert.ok(s.requests.length >= 10);

  // Closed, the port is free again for a server on the same address (the offline step).
  const port = s.port;
  await s.close();
  const again = await server.start(dir, port);
  assert.strictEqual(again.port, port);
  await again.close();
  s.close = async () => {};
});

test('the PNG reader reads what it writes and refuses a damaged file', () => {
  const w = 7, h = 3, rgba = Buffer.alloc(w * h * 4);
  for (let i = 0; i < rgba.length; ++i) rgba[i] = (i * 37) & 255;
  const file = png.encode({ width: w, height: h, rgba });
  const back = png.decode(file);
  assert.strictEqual(back.width, w);
  assert.strictEqual(back.height, h);
  assert.ok(back.rgba.equals(rgba));
  assert.throws(() => png.decode(Buffer.from('GIF89a')), /not a PNG/);
  assert.throws(() => png.decode(file.subarray(0, 40)));
});

// Plays the browser build (build-web/site) in headless Chromium and Firefox through
// puppeteer-core with real input events, and checks what it shows and what it stores.
//   node e2e.js SITE_DIR [--browser chromium|firefox|both] [--walk FILE]... [--shots DIR]
// The walk is written as data, one step a line, in the format of the desktop builds' walk
// (BUILDS STEP ARGUMENTS | WHAT THE CHECK SAYS); this driver plays the lines for "web" and "*".
// walk.txt beside this file is the browser's walk; the browser-only steps are listed below.
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');
const server = require('./server.js');
const png = require('./png.js');

const BROWSERS = {
  chromium: {
    browser: 'chrome',
    executablePath: process.env.TANGREL_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required', '--disable-gpu',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--no-first-run', '--disable-quic', '--disable-features=Translate,MediaRouter,OptimizationHints',
      '--disable-default-apps', '--mute-audio'],
  },
  firefox: {
    browser: 'firefox',
    executablePath: process.env.TANGREL_FIREFOX || '/usr/bin/firefox-esr',
    args: [],
    extraPrefsFirefox: {
      'media.autoplay.default': 0,
      'media.autoplay.blocking_policy': 0,
      'media.volume_scale': '0.0',
      'network.captive-portal-service.enabled': false,
      'network.connectivity-service.enabled': false,
      'app.update.enabled': false,
      'browser.safebrowsing.malware.enabled': false,
      'browser.safebrowsing.phishing.enabled': false,
      'extensions.getAddons.cache.enabled': false,
      'dom.serviceWorkers.enabled': true,
      'dom.serviceWorkers.testing.enabled': true,
      'full-screen-api.allow-trusted-requests-only': false,
      'full-screen-api.warning.timeout': 0,
      'full-screen-api.transition-duration.enter': '0 0',
      'full-screen-api.transition-duration.leave': '0 0',
    },
  },
};

const sleep = (s) => new Promise((r) => setTimeout(r, s * 1000));

// Where the game puts its 800 x 600 picture in a viewport of W x H (CSS pixels), as the
// desktop window does: the largest fitting size, centred; a whole factor when that keeps nine
// tenths of it.
function pictureBox(w, h) {
  let fw, fh;
  if (w * 600 <= h * 800) { fw = w; fh = Math.floor((w * 600) / 800); } else { fh = h; fw = Math.floor((h * 800) / 600); }
  const k = Math.floor(fw / 800);
  if (k >= 1 && k * 8000 >= fw * 9) { fw = k * 800; fh = k * 600; }
  return { x: Math.floor((w - fw) / 2), y: Math.floor((h - fh) / 2), w: fw, h: fh };
}

// --- the walk file ----------------------------------------------------------------------
function readWalk(file, build) {
  const steps = [];
  fs.readFileSync(file, 'utf8').split('\n').forEach((text, i) => {
    let line = text.replace(/\r$/, '');
    if (!line.trim() || line.trimStart().startsWith('#')) return;
    let what = '';
    const bar = line.indexOf(' | ');
    if (bar >= 0) { what = line.slice(bar + 3).trim(); line = line.slice(0, bar); }
    const [builds, step, ...args] = line.trim().split(/\s+/);
    if (builds !== '*' && !builds.split(',').includes(build)) return;
    steps.push({ step, args, what, where: `${path.basename(file)}:${i + 1}` });
  });
  return steps;
}

// --- one browser through the walk ---------------------------------------------------------
class Driver {
  constructor(name, site, shots) {
    this.name = name;
    this.site = site;
    this.shotsDir = shots;
    this.passed = 0;
    this.failed = 0;
    this.viewport = { width: 800, height: 600, deviceScaleFactor: 1 };
    this.pictures = new Map();
    this.shotN = 0;
    this.noAudio = false;
    this.live = {};
    this.skipped = 0;
    this.can = { fullscreen: true, audio: true };
  }

  // What this browser can do here at all, on a page that is not the game: full screen after a
  // gesture, and an audio context that runs (headless Firefox on a machine without a sound
  // device can do neither). The checks that need them are then skipped, and say so.
  async probe() {
    await this.page.goto(this.url() + 'icons/tangrel-16.png', { waitUntil: 'load' });
    this.can = await this.page.evaluate(async () => {
      let fullscreen = false, audio = false;
      try {
        await document.documentElement.requestFullscreen();
        fullscreen = !!document.fullscreenElement;
        await document.exitFullscreen();
      } catch (e) { /* refused */ }
      try {
        const c = new AudioContext();
        await Promise.race([c.resume(), new Promise((r) => setTimeout(r, 1500))]);
        audio = c.state === 'running';
        await c.close();
      } catch (e) { /* none */ }
      return { fullscreen, audio };
    });
    await this.page.goto('about:blank');
  }

  ok(what) { this.passed++; console.log(`ok: [${this.name}] ${what}`); }
  skip(what, why) { this.skipped++; console.log(`skipped: [${this.name}] ${what} (${why})`); }
  bad(what, why) { this.failed++; console.log(`FAILED: [${this.name}] ${what}${why ? ` (${why})` : ''}`); }

  async open() {
    this.server = await server.start(this.site);
    this.port = this.server.port;
    this.profile = fs.mkdtempSync(path.join(os.tmpdir(), `tangrel-web-${this.name}-`));
    const b = BROWSERS[this.name];
    this.browser = await puppeteer.launch({
      browser: b.browser,
      executablePath: b.executablePath,
      headless: true,
      userDataDir: this.profile,
      args: b.args,
      extraPrefsFirefox: b.extraPrefsFirefox,
      defaultViewport: this.viewport,
      protocolTimeout: 60000,
      timeout: 60000,
    });
    this.page = (await this.browser.pages())[0] || (await this.browser.newPage());
    await this.page.setViewport(this.viewport);
    await this.probe();
    if (!this.can.fullscreen) console.log(`  [${this.name}] this browser refuses full screen to every page here: those checks are skipped`);
    if (!this.can.audio) console.log(`  [${this.name}] no audio context runs in this browser here: the sound check is skipped`);
    this.page.on('pageerror', (e) => console.log(`  [${this.name}] page error: ${e.message}`));
    this.page.on('console', (m) => { if (process.env.TANGREL_E2E_CONSOLE) console.log(`  [${this.name}] console: ${m.text()}`); });
    // What the page did with sound: every audio context made, to tell whether one runs; and,
    // for "start noaudio", no sound output at all.
    // What the page shows comes back as console lines, not by asking it: a question through
    // the protocol counts as a user gesture, and a gesture lets a page go full screen.
    this.page.on('console', (m) => {
      const t = /^tangrel-test (\w+) (.*)$/.exec(m.text());
      if (t) this.live[t[1]] = t[2];
    });
    await this.page.evaluateOnNewDocument(() => {
      const report = (k, v) => console.debug(`tangrel-test ${k} ${v}`);
      document.addEventListener('fullscreenchange', () => report('fullscreen', document.fullscreenElement ? 1 : 0));
      new MutationObserver(() => {
        const g = document.body && document.body.dataset.game;
        if (g && g !== window.__tangrelGame) { window.__tangrelGame = g; report('game', g); }
      }).observe(document, { attributes: true, subtree: true, attributeFilter: ['data-game'] });
      let noAudio = false;
      try { noAudio = sessionStorage.getItem('tangrel.test.noaudio') === '1'; } catch (e) { return; }
      if (noAudio) {
        for (const k of ['AudioContext', 'webkitAudioContext', 'AudioWorkletNode', 'OfflineAudioContext']) delete window[k];
        return;
      }
      const Real = window.AudioContext;
      if (!Real) return;
      window.__tangrelAudio = [];
      window.AudioContext = class extends Real {
        constructor(...a) { super(...a); window.__tangrelAudio.push(this); }
      };
    });
  }

  async close() {
    try { if (this.browser) await this.browser.close(); } catch (e) { /* already gone */ }
    if (this.server) await this.server.close();
    fs.rmSync(this.profile, { recursive: true, force: true });
  }

  url() { return `http://127.0.0.1:${this.port}/`; }

  // Game pixel -> CSS pixel of the viewport (the middle of the pixels that show it).
  // The game fits its picture to the canvas's device pixels.
  toPage(x, y) {
    const d = this.viewport.deviceScaleFactor || 1;
    const b = pictureBox(Math.round(this.viewport.width * d), Math.round(this.viewport.height * d));
    return { x: (b.x + ((2 * x + 1) * b.w) / 1600) / d, y: (b.y + ((2 * y + 1) * b.h) / 1200) / d };
  }

  async state() { return this.page.evaluate(() => document.body && document.body.dataset.game).catch(() => undefined); }

  async waitFor(fn, seconds, ...args) {
    const until = Date.now() + seconds * 1000;
    for (;;) {
      let v;
      try { v = await this.page.evaluate(fn, ...args); } catch (e) { v = undefined; }
      if (v) return v;
      if (Date.now() > until) return v;
      await sleep(0.1);
    }
  }

  async waitLive(key, want, seconds) {
    const until = Date.now() + seconds * 1000;
    while (!want(this.live[key])) {
      if (Date.now() > until) return false;
      await sleep(0.05);
    }
    return true;
  }

  async start(noaudio) {
    await this.page.evaluate((na) => { try { sessionStorage.setItem('tangrel.test.noaudio', na ? '1' : '0'); } catch (e) { /* no page yet */ } }, !!noaudio).catch(() => {});
    this.live = {};
    const here = this.page.url();
    try {
      if (!here.startsWith(this.url()) || !/\/(index\.html)?(\?.*)?$/.test(new URL(here).pathname)) {
        await this.page.goto(this.url(), { waitUntil: 'load', timeout: 60000 });
        if (noaudio) {
          await this.page.evaluate(() => sessionStorage.setItem('tangrel.test.noaudio', '1'));
          await this.page.reload({ waitUntil: 'load', timeout: 60000 });
        }
      } else {
        await this.page.reload({ waitUntil: 'load', timeout: 60000 });
      }
    } catch (e) {
      console.log(`  [${this.name}] the page did not load: ${e.message.split('\n')[0]}`);
      return false;
    }
    this.t0 = Date.now();
    const running = await this.waitLive('game', (g) => g === 'running', 60);
    if (!running) console.log(`  [${this.name}] the game did not reach "running" (state ${await this.state()})`);
    await sleep(1.5);
    return running;
  }

  async shot() {
    const buf = await this.page.screenshot({ type: 'png' });
    this.last = png.decode(Buffer.from(buf));
    this.scale = this.last.width / this.viewport.width;
    if (this.shotsDir) {
      this.shotN++;
      fs.writeFileSync(path.join(this.shotsDir, `${this.name}-${String(this.shotN).padStart(2, '0')}.png`), Buffer.from(buf));
    }
  }

  // The screenshot pixels (device pixels) of a game rectangle.
  // The edges of the game's pixels, not their middles: a crop of 0 0 800 600 is the picture.
  rect(x, y, w, h) {
    const d = this.viewport.deviceScaleFactor || 1, s = this.scale / d;
    const b = pictureBox(Math.round(this.viewport.width * d), Math.round(this.viewport.height * d));
    const ex = (gx) => Math.round((b.x + (gx * b.w) / 800) * s), ey = (gy) => Math.round((b.y + (gy * b.h) / 600) * s);
    return { x0: ex(x), y0: ey(y), x1: ex(x + w), y1: ey(y + h) };
  }

  mean(x, y, w, h) {
    const r = this.rect(+x, +y, +w, +h), im = this.last;
    let n = 0, sr = 0, sg = 0, sb = 0;
    for (let yy = Math.max(0, r.y0); yy < Math.min(im.height, r.y1); ++yy)
      for (let xx = Math.max(0, r.x0); xx < Math.min(im.width, r.x1); ++xx) {
        const i = 4 * (yy * im.width + xx);
        sr += im.rgba[i]; sg += im.rgba[i + 1]; sb += im.rgba[i + 2]; n++;
      }
    return n ? [sr / n, sg / n, sb / n].map(Math.floor) : [NaN, NaN, NaN];
  }

  // A game rectangle of the last shot as an RGBA image (device pixels).
  crop(x, y, w, h) {
    const r = this.rect(+x, +y, +w, +h), im = this.last;
    const cw = r.x1 - r.x0, ch = r.y1 - r.y0, rgba = Buffer.alloc(cw * ch * 4);
    for (let yy = 0; yy < ch; ++yy) im.rgba.copy(rgba, yy * cw * 4, 4 * ((r.y0 + yy) * im.width + r.x0), 4 * ((r.y0 + yy) * im.width + r.x0 + cw));
    return { width: cw, height: ch, rgba };
  }

  async pointAt(x, y) { const p = this.toPage(+x, +y); await this.page.mouse.move(p.x, p.y); return p; }

  async click(x, y) {
    await this.pointAt(x, y);
    await sleep(0.25);
    await this.page.mouse.down();
    await sleep(0.05);
    await this.page.mouse.up();
    await sleep(0.5);
  }

  async key(name) {
    const names = { space: ' ', Return: 'Enter', Escape: 'Escape', Tab: 'Tab', BackSpace: 'Backspace' };
    const mods = { alt: 'Alt', ctrl: 'Control', control: 'Control', shift: 'Shift' };
    const parts = name.split('+');
    const k = parts.pop();
    const key = names[k] || (k.length === 1 ? k : k);
    for (const m of parts) await this.page.keyboard.down(mods[m.toLowerCase()] || m);
    await this.page.keyboard.press(key);
    for (const m of parts.reverse()) await this.page.keyboard.up(mods[m.toLowerCase()] || m);
  }

  async storage(key) {
    // Read on a page of the site's origin that is not the game (an icon), when the game is gone.
    const onSite = this.page.url().startsWith(this.url());
    if (!onSite) await this.page.goto(this.url() + 'icons/tangrel-16.png', { waitUntil: 'load' });
    return this.page.evaluate((k) => localStorage.getItem(k), key);
  }

  async settings() {
    const text = (await this.storage('tangrel.user.reg')) || '';
    const values = {};
    let inKey = false;
    for (const line of text.split(/\r?\n/)) {
      if (line.startsWith('[')) { inKey = line === '[\\Software\\Brenmoor Studio\\Tangrel]'; continue; }
      const m = /^"([^"]+)"=dword:([0-9a-fA-F]{1,8})$/.exec(line);
      if (inKey && m) values[m[1].toLowerCase()] = parseInt(m[2], 16);
    }
    return values;
  }

  async progress() {
    const b64 = await this.storage('tangrel.Users.dat');
    return b64 == null ? null : Buffer.from(b64, 'base64');
  }

  async touchPoint(x, y) { return this.toPage(+x, +y); }

  // A page told it has a touch screen is loaded again (puppeteer reloads it): the walk says
  // "touch on" before its "start".
  async touchEnable() {}

  // --- the checks ------------------------------------------------------------------------
  async test(t, a) {
    const m = () => this.mean(a[0], a[1], a[2], a[3]);
    switch (t) {
      case 'golden': { const [r, g, b] = m(); return [r > 140 && r > b && g > b, `mean ${r} ${g} ${b}`]; }
      case 'warm': { const [r, , b] = m(); return [r > 60 && r > b + 30, `mean ${m().join(' ')}`]; }
      case 'bluish': { const [r, , b] = m(); return [b > r, `mean ${m().join(' ')}`]; }
      case 'black': { const [r, g, b] = m(); return [r < 8 && g < 8 && b < 8, `mean ${r} ${g} ${b}`]; }
      case 'differs': {
        const p = this.mean(a[0], a[1], a[4], a[5]), q = this.mean(a[2], a[3], a[4], a[5]);
        const d = (p[0] - q[0]) ** 2 + (p[1] - q[1]) ** 2 + (p[2] - q[2]) ** 2;
        return [d > 200, `${p.join(' ')} against ${q.join(' ')}`];
      }
      case 'fullscreen': { const f = await this.waitLive('fullscreen', (v) => v === '1', 2); return [f, `full screen: ${this.live.fullscreen || 'never'}`]; }
      case 'windowed': { const f = await this.waitLive('fullscreen', (v) => v !== '1', 2); return [f, `full screen: ${this.live.fullscreen || 'never'}`]; }
      case 'running': { const s = await this.state(); return [s === 'running', `state ${s}`]; }
      case 'ended': {
        const e = await this.waitFor(() => document.body.dataset.game === 'ended' && !document.getElementById('end').hidden, 10);
        return [!!e, `state ${await this.state()}`];
      }
      case 'status': {
        // A page has no exit status: it ended the normal way when no error was reported.
        const n = await this.page.evaluate(() => document.querySelectorAll('#errors .error').length).catch(() => -1);
        return [n === 0 && +a[0] === 0, `${n} error reports`];
      }
      case 'reported': {
        const text = a.join(' ');
        const found = await this.page.evaluate((s) => document.getElementById('errors').textContent.includes(s), text).catch(() => false);
        return [found, ''];
      }
      case 'settings_count': { const v = await this.settings(); return [Object.keys(v).filter((k) => !['width', 'height'].includes(k)).length === +a[0], JSON.stringify(v)]; }
      case 'settings': {
        const v = await this.settings();
        return [a.every((p) => { const [k, n] = p.split('='); return v[k.toLowerCase()] === +n; }), JSON.stringify(v)];
      }
      case 'settings_bool': { const v = await this.settings(); return [a.every((k) => [0, 1].includes(v[k.toLowerCase()])), JSON.stringify(v)]; }
      case 'progress_size': { const p = await this.progress(); return [!!p && p.length === +a[0], p ? `${p.length} bytes` : 'not stored']; }
      case 'progress_bytes': {
        const p = await this.progress();
        const got = p ? p.subarray(+a[0], +a[0] + a[1].length / 2).toString('hex') : '';
        return [got === a[1].toLowerCase(), `bytes ${got}`];
      }
      case 'sound_heard':
      case 'audio_running': {
        const s = await this.page.evaluate(() => (window.__tangrelAudio || []).map((c) => c.state)).catch(() => []);
        return [s.includes('running'), `audio contexts: ${JSON.stringify(s)}`];
      }
      case 'no_audio': {
        const s = await this.page.evaluate(() => typeof window.AudioContext).catch(() => '?');
        return [s === 'undefined', `AudioContext is ${s}`];
      }
      case 'bars_black': {
        // The strips beside (or above and below) the picture are black; the picture is not.
        const d = this.viewport.deviceScaleFactor || 1, s = this.scale, im = this.last;
        const db = pictureBox(Math.round(this.viewport.width * d), Math.round(this.viewport.height * d));
        const b = { x: db.x / d, y: db.y / d, w: db.w / d, h: db.h / d };
        const strip = a[0] === 'left' ? [2, 10, b.x - 4, this.viewport.height - 20] : [10, 2, this.viewport.width - 20, b.y - 4];
        if (strip[2] <= 0 || strip[3] <= 0) return [false, `no ${a[0]} bar: picture ${JSON.stringify(b)}`];
        let sum = 0, n = 0;
        for (let y = Math.round(strip[1] * s); y < Math.round((strip[1] + strip[3]) * s); ++y)
          for (let x = Math.round(strip[0] * s); x < Math.round((strip[0] + strip[2]) * s); ++x) {
            const i = 4 * (y * im.width + x); sum += im.rgba[i] + im.rgba[i + 1] + im.rgba[i + 2]; n++;
          }
        return [sum / n < 10, `picture at ${b.x},${b.y} ${b.w}x${b.h}, bar mean ${(sum / n).toFixed(1)}`];
      }
      case 'row_lit': {
        const red = (y) => this.mean(a[0], y, 170, 30)[0];
        const mid = red(+a[1]), up = red(+a[1] - 31), down = red(+a[1] + 31);
        return [mid > up + 15 && mid > down + 15, `red ${up} / ${mid} / ${down}`];
      }
      case 'same': {
        // A kept rectangle (keep NAME X Y W H) against the same rectangle now: at most 0.5 % of
        // its pixels differ by more than a few levels.
        const kept = this.pictures.get(a[0]);
        if (!kept) return [false, `nothing kept as ${a[0]}`];
        const now = this.crop(kept.x, kept.y, kept.w, kept.h);
        if (now.width !== kept.img.width || now.height !== kept.img.height) return [false, 'sizes differ'];
        let diff = 0;
        for (let i = 0; i < now.rgba.length; i += 4)
          if (Math.abs(now.rgba[i] - kept.img.rgba[i]) + Math.abs(now.rgba[i + 1] - kept.img.rgba[i + 1]) + Math.abs(now.rgba[i + 2] - kept.img.rgba[i + 2]) > 12) diff++;
        const share = diff / (now.rgba.length / 4);
        return [share <= 0.005, `${(100 * share).toFixed(2)} % of the pixels differ`];
      }
      case 'end_page': {
        const v = await this.page.evaluate(() => {
          const e = document.getElementById('end');
          return e && !e.hidden && getComputedStyle(e).display !== 'none' && e.textContent.includes('Thanks for playing') && !!document.getElementById('again');
        }).catch(() => false);
        return [v, ''];
      }
      case 'offline_ready': {
        // The worker controls the page and its cache holds every file of the site.
        const want = this.siteFiles().length;
        const have = await this.waitFor(async (n) => {
          if (!navigator.serviceWorker || !navigator.serviceWorker.controller) return 0;
          for (const k of await caches.keys()) if (k.startsWith('tangrel-') && (await (await caches.open(k)).keys()).length >= n) return k;
          return 0;
        }, 30, want);
        return [!!have, `cache ${have || 'not complete'} (${want} files)`];
      }
      case 'one_cache': {
        const keys = await this.page.evaluate(async () => (await caches.keys()).filter((k) => k.startsWith('tangrel-'))).catch(() => []);
        return [keys.length === 1, JSON.stringify(keys)];
      }
      case 'touch_note': {
        const v = await this.page.evaluate(() => !document.getElementById('touch-note').hidden).catch(() => false);
        return [v, ''];
      }
      case 'error_box': {
        const n = await this.page.evaluate(() => document.querySelectorAll('#errors .error').length).catch(() => 0);
        return [n > 0, `${n} error reports`];
      }
      default:
        return [false, `no such test "${t}"`];
    }
  }

  siteFiles() {
    const m = /const FILES = \[([^\]]*)\]/.exec(fs.readFileSync(path.join(this.site, 'sw.js'), 'utf8'));
    return m ? JSON.parse(`[${m[1]}]`) : [];
  }

  // --- the steps -------------------------------------------------------------------------
  async step(s) {
    const a = s.args;
    if (process.env.TANGREL_E2E_TRACE) console.log(`  [${this.name}] ${s.where}: ${s.step} ${a.join(' ')}`);
    switch (s.step) {
      case 'start': case 'reload': return this.start(a[0] === 'noaudio');
      case 'click': return this.click(a[0], a[1]);
      case 'hover': await this.pointAt(a[0], a[1]); return sleep(0.6);
      case 'key': return this.key(a[0]);
      case 'wait': return sleep(+a[0]);
      case 'shot': return this.shot();
      case 'picture': {
        await this.pointAt(5, 5);
        await sleep(1);
        await this.shot();
        const img = this.crop(0, 0, 800, 600);
        this.pictures.set(a[0], { img, x: 0, y: 0, w: 800, h: 600 });
        if (this.shotsDir) fs.writeFileSync(path.join(this.shotsDir, `${this.name}-${a[0]}.png`), png.encode(img));
        return undefined;
      }
      case 'keep': this.pictures.set(a[0], { img: this.crop(a[1], a[2], a[3], a[4]), x: +a[1], y: +a[2], w: +a[3], h: +a[4] }); return undefined;
      case 'stop':
        // A closed tab: the page goes without Exit; what it stored must already be there.
        await this.page.goto('about:blank');
        return sleep(0.3);
      case 'wait_end': return this.waitFor(() => document.body.dataset.game === 'ended', 10);
      case 'forget': {
        if (!this.page.url().startsWith(this.url())) await this.page.goto(this.url() + 'icons/tangrel-16.png');
        return this.page.evaluate(() => localStorage.removeItem('tangrel.user.reg'));
      }
      case 'play_again': {
        const b = await this.page.$eval('#again', (e) => { const r = e.getBoundingClientRect(); return { x: r.x + r.width / 2, y: r.y + r.height / 2 }; });
        this.live = {};
        await this.page.mouse.click(b.x, b.y);
        await this.waitLive('game', (g) => g === 'running', 60);
        return sleep(1.5);
      }
      case 'touch': {
        this.viewport = { ...this.viewport, hasTouch: a[0] === 'on' };
        await this.page.setViewport(this.viewport);
        return sleep(0.5);
      }
      case 'viewport': {
        this.viewport = { ...this.viewport, width: +a[0], height: +a[1], deviceScaleFactor: +(a[2] || 1) };
        await this.page.setViewport(this.viewport);
        return sleep(1);
      }
      case 'touch_tap': {
        await this.touchEnable();
        const p = this.toPage(+a[0], +a[1]);
        const t = await this.page.touchscreen.touchStart(p.x, p.y);
        await sleep(0.08);
        await t.end();
        return sleep(0.5);
      }
      case 'touch_drag': {
        await this.touchEnable();
        const p = this.toPage(+a[0], +a[1]), q = this.toPage(+a[2], +a[3]);
        const t = await this.page.touchscreen.touchStart(p.x, p.y);
        for (let i = 1; i <= 12; ++i) { await sleep(0.03); await t.move(p.x + ((q.x - p.x) * i) / 12, p.y + ((q.y - p.y) * i) / 12); }
        await sleep(0.2);
        await t.end();
        return sleep(0.5);
      }
      case 'touch_hold': {
        await this.touchEnable();
        const p = this.toPage(+a[0], +a[1]);
        const t = await this.page.touchscreen.touchStart(p.x, p.y);
        await sleep(+a[2]);
        await t.end();
        return sleep(0.5);
      }
      case 'touch_hold_tap': {
        // One finger holds the piece at X Y; a second taps at X2 Y2; then the first lifts.
        await this.touchEnable();
        const p = this.toPage(+a[0], +a[1]), q = this.toPage(+a[2], +a[3]);
        const t = await this.page.touchscreen.touchStart(p.x, p.y);
        await sleep(0.1);
        const u = await this.page.touchscreen.touchStart(q.x, q.y);
        await sleep(0.08);
        await u.end();
        await sleep(0.2);
        await t.end();
        return sleep(0.5);
      }
      case 'server': {
        if (a[0] === 'stop') { await this.server.close(); return undefined; }
        this.server = await server.start(this.site, this.port);
        return undefined;
      }
      case 'check': {
        let args = a, neg = false;
        if (args[0] === 'not') { neg = true; args = args.slice(1); }
        const what = s.what || args.join(' ');
        if (['fullscreen', 'windowed'].includes(args[0]) && !this.can.fullscreen) return this.skip(what, 'no full screen in this browser here');
        if (args[0] === 'audio_running' && !this.can.audio) return this.skip(what, 'no running audio context in this browser here');
        let res;
        try { res = await this.test(args[0], args.slice(1)); } catch (e) { res = [false, e.message]; }
        const pass = neg ? !res[0] : res[0];
        if (pass) this.ok(s.what || args.join(' ')); else this.bad(s.what || args.join(' '), res[1]);
        return undefined;
      }
      case 'hide': case 'restore': case 'rem':
        return undefined;
      default:
        this.bad(`${s.where}: no such step "${s.step}"`);
        return undefined;
    }
  }
}

async function main() {
  const argv = process.argv.slice(2);
  const opt = { browsers: ['chromium', 'firefox'], walks: [], shots: null, site: null };
  for (let i = 0; i < argv.length; ++i) {
    if (argv[i] === '--browser') { const b = argv[++i]; opt.browsers = b === 'both' ? ['chromium', 'firefox'] : b.split(','); }
    else if (argv[i] === '--walk') opt.walks.push(argv[++i]);
    else if (argv[i] === '--shots') opt.shots = argv[++i];
    else opt.site = argv[i];
  }
  if (!opt.site || !fs.existsSync(path.join(opt.site, 'index.html')) || !fs.existsSync(path.join(opt.site, 'tangrel.wasm'))) {
    console.error('usage: node e2e.js SITE_DIR [--browser chromium|firefox|both] [--walk FILE]... [--shots DIR]\n(no site with index.html and tangrel.wasm: make web writes build-web/site)');
    process.exit(2);
  }
  if (!opt.walks.length) opt.walks.push(path.join(__dirname, 'walk.txt'));
  if (opt.shots) fs.mkdirSync(opt.shots, { recursive: true });
  let passed = 0, failed = 0;
  for (const name of opt.browsers) {
    if (!BROWSERS[name] || !fs.existsSync(BROWSERS[name].executablePath)) {
      console.log(`FAILED: no browser ${name} (${BROWSERS[name] ? BROWSERS[name].executablePath : 'unknown'})`);
      failed++;
      continue;
    }
    const d = new Driver(name, path.resolve(opt.site), opt.shots);
    const t0 = Date.now();
    try {
      await d.open();
      for (const file of opt.walks) for (const s of readWalk(file, 'web')) await d.step(s);
    } catch (e) {
      d.bad('the walk ran to its end', e.stack || e.message);
    } finally {
      await d.close();
    }
    console.log(`[${name}] ${d.passed} passed, ${d.failed} failed, ${d.skipped} skipped in ${((Date.now() - t0) / 1000).toFixed(0)} s`);
    passed += d.passed;
    failed += d.failed;
  }
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed === 0 && passed > 0 ? 0 : 1);
}

if (require.main === module) main();

module.exports = { pictureBox, readWalk };

// The browser's performance report (markdown on stdout), in headless Chromium on this machine:
// level 94's playing frame (the portable build and, when given, the SIMD one) beside the
// browser's own 2D canvas doing the same draws, start-up from navigation to the first menu
// frame from 127.0.0.1, and the bytes a first visit downloads before the menu shows; the
// site's files raw and gzipped. Reported, never asserted.
//   node bench/web/run.js SITE_DIR BENCH_DIR [SIMD_BENCH_DIR] [--runs N]
// BENCH_DIR is bench-web/ of a web build (bench_web.js, .wasm, .data, bench.html).
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const tests = path.join(__dirname, '..', '..', 'tests', 'web');
const puppeteer = require(path.join(tests, 'node_modules', 'puppeteer-core'));
const server = require(path.join(tests, 'server.js'));

const CHROMIUM = process.env.TANGREL_CHROMIUM || '/usr/bin/chromium';
const ARGS = ['--no-sandbox', '--autoplay-policy=no-user-gesture-required', '--disable-gpu',
  '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run',
  '--disable-quic', '--disable-default-apps', '--mute-audio'];

const median = (v) => { const s = v.slice().sort((a, b) => a - b); return s.length ? s[s.length >> 1] : NaN; };
const f = (x, d = 2) => (Number.isFinite(x) ? x.toFixed(d) : 'n/a');
const kb = (n) => (n / 1024).toFixed(0) + ' kB';

async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tangrel-bench-'));
  const browser = await puppeteer.launch({
    browser: 'chrome', executablePath: CHROMIUM, headless: true, userDataDir: profile, args: ARGS,
    defaultViewport: { width: 800, height: 600, deviceScaleFactor: 1 }, protocolTimeout: 120000,
  });
  return { browser, done: async () => { await browser.close(); fs.rmSync(profile, { recursive: true, force: true }); } };
}

async function frameBench(dir, tag) {
  if (!dir || !fs.existsSync(path.join(dir, 'bench_web.js'))) return null;
  const s = await server.start(dir);
  const { browser, done } = await launch();
  try {
    const page = await browser.newPage();
    page.on('console', (m) => { if (process.env.TANGREL_BENCH_CONSOLE) console.error(`  ${tag}: ${m.text()}`); });
    page.on('pageerror', (e) => console.error(`  ${tag}: page error: ${e.message}`));
    await page.goto(`${s.url}bench.html?${tag}`, { waitUntil: 'load' });
    await page.waitForFunction(() => window.benchResult, { timeout: 240000, polling: 200 });
    return await page.evaluate(() => window.benchResult);
  } finally {
    await done();
    await s.close();
  }
}

// Fresh browser, nothing cached: navigation to the game's first menu frame (the page marks
// it: body data-game "running"), and what the server sent until then.
async function startupRun(site) {
  const s = await server.start(site);
  const { browser, done } = await launch();
  try {
    const page = await browser.newPage();
    await page.evaluateOnNewDocument(() => {
      new MutationObserver((_, obs) => {
        if (document.body && document.body.dataset.game === 'running') {
          window.__menuAt = { perf: performance.now(), wall: Date.now() };
          obs.disconnect();
        }
      }).observe(document, { attributes: true, subtree: true, attributeFilter: ['data-game'] });
    });
    await page.goto(s.url, { waitUntil: 'domcontentloaded' });
    await page.waitForFunction(() => window.__menuAt, { timeout: 60000, polling: 50 });
    const at = await page.evaluate(() => window.__menuAt);
    const before = s.requests.filter((r) => r.time <= at.wall);
    await new Promise((r) => setTimeout(r, 300));
    return { ms: at.perf, bytes: before.reduce((n, r) => n + r.bytes, 0), files: before.map((r) => `${r.url} ${r.bytes}`) };
  } finally {
    await done();
    await s.close();
  }
}

function siteSizes(site) {
  const rows = [];
  const walk = (d) => {
    for (const e of fs.readdirSync(d, { withFileTypes: true })) {
      const p = path.join(d, e.name);
      if (e.isDirectory()) walk(p);
      else {
        const body = fs.readFileSync(p);
        rows.push({ file: path.relative(site, p), raw: body.length, gz: zlib.gzipSync(body, { level: 9 }).length });
      }
    }
  };
  walk(site);
  return rows.sort((a, b) => b.raw - a.raw);
}

async function main() {
  const argv = process.argv.slice(2);
  let runs = 5;
  const pos = [];
  for (let i = 0; i < argv.length; ++i) if (argv[i] === '--runs') runs = +argv[++i]; else pos.push(argv[i]);
  const [site, benchDir, simdDir] = pos;
  if (!site || !fs.existsSync(path.join(site, 'tangrel.wasm'))) {
    console.error('usage: node bench/web/run.js SITE_DIR BENCH_DIR [SIMD_BENCH_DIR] [--runs N]');
    process.exit(2);
  }
  const portable = await frameBench(benchDir, 'portable');
  const simd = await frameBench(simdDir, 'simd');
  const starts = [];
  for (let i = 0; i < runs; ++i) starts.push(await startupRun(site));
  const sizes = siteSizes(site);

  console.log('## The browser build (headless Chromium, this machine)\n');
  console.log(`Load average at the end: ${os.loadavg().map((x) => x.toFixed(2)).join(' ')}; ${os.cpus().length} cores.\n`);
  console.log('Medians of batches of frames, the fastest batch in brackets.\n');
  console.log('| figure | portable | -msimd128 | goal |');
  console.log('| --- | --- | --- | --- |');
  // Medians of batches, with the fastest batch in brackets: the page has wall time only, and
  // on a shared machine the fastest batch is the least disturbed.
  const cell = (r, key) => {
    if (!r) return 'not built';
    const best = r[key.replace(/Ms$/, 'BestMs')];
    return `${f(r[key], 3)} ms${best !== undefined ? ` (${f(best, 3)})` : ''}`;
  };
  const row = (name, key, goal) => console.log(`| ${name} | ${portable ? cell(portable, key) : 'n/a'} | ${cell(simd, key)} | ${goal} |`);
  row('level 94 playing frame (12 3D pieces, panel, tips, clock)', 'playingFrameMs', '<= 2 ms');
  row('menu frame', 'menuFrameMs', '');
  row('the playing frame\'s draws on our surfaces', 'drawsMs', 'no slower than the canvas');
  row('the same draws on the browser\'s 2D canvas (drawImage)', 'canvasDrawsMs', '');
  row('start-up inside the program (data already loaded)', 'startMs', '');
  for (const r of [portable, simd]) if (r && r.error) console.log(`\n(${r === simd ? 'SIMD' : 'portable'}: ${r.error})`);
  console.log(`\nDraws in the frame: ${portable ? portable.draws : 'n/a'}; error reports on start: ${portable ? portable.errors : 'n/a'}.\n`);
  console.log(`| start-up, navigation to the first menu frame (${runs} fresh browsers) | median ${f(median(starts.map((s) => s.ms)), 0)} ms (${starts.map((s) => f(s.ms, 0)).join(', ')}) | goal < 1500 ms |`);
  console.log('| --- | --- | --- |');
  console.log(`| bytes downloaded before the menu shows (gzip from the server) | ${kb(median(starts.map((s) => s.bytes)))} | goal < 4 MB |`);
  console.log(`\nRequests before the menu (first run): ${starts[0].files.join('; ')}\n`);
  console.log('| site file | raw | gzip -9 |');
  console.log('| --- | --- | --- |');
  for (const r of sizes) console.log(`| ${r.file} | ${kb(r.raw)} | ${kb(r.gz)} |`);
  const total = sizes.reduce((a, r) => ({ raw: a.raw + r.raw, gz: a.gz + r.gz }), { raw: 0, gz: 0 });
  console.log(`| all | ${kb(total.raw)} | ${kb(total.gz)} |`);
}

main().catch((e) => { console.error(e.stack || e.message); process.exit(1); });

// Pictures of the browser build to look at and to compare with the desktop build's: the menu
// and level 0 (easy, so no piece is turned; sounds, tips and full screen off) with the pointer
// in the corner, in each browser, at 800 x 600 (the game's own pixels), and the menu at
// 1280 x 720 and 390 x 844.
//   node shots.js SITE_DIR OUT_DIR [--browser chromium|firefox|both]
// OUT_DIR gets BROWSER-menu.png, BROWSER-level0.png (800 x 600) and BROWSER-menu-WxH.png.
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');
const server = require('./server.js');

const REG = '[\\Software\\Brenmoor Studio\\Tangrel]\n"Sounds"=dword:00000000\n"Music"=dword:00000000\n' +
  '"Difficulty"=dword:00000000\n"Full"=dword:00000000\n"Tips"=dword:00000000\n"3D"=dword:00000000\n';
const EXE = { chromium: ['chrome', '/usr/bin/chromium'], firefox: ['firefox', '/usr/bin/firefox-esr'] };
const sleep = (s) => new Promise((r) => setTimeout(r, s * 1000));

async function one(name, site, out) {
  const s = await server.start(site);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), `tangrel-shots-${name}-`));
  const browser = await puppeteer.launch({
    browser: EXE[name][0], executablePath: EXE[name][1], headless: true, userDataDir: profile,
    args: name === 'chromium' ? ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run', '--disable-quic', '--mute-audio'] : [],
    defaultViewport: { width: 800, height: 600, deviceScaleFactor: 1 },
  });
  try {
    const page = (await browser.pages())[0] || (await browser.newPage());
    await page.setViewport({ width: 800, height: 600, deviceScaleFactor: 1 });
    await page.goto(s.url + 'icons/tangrel-16.png');
    await page.evaluate((reg) => { localStorage.clear(); localStorage.setItem('tangrel.user.reg', reg); }, REG);
    const load = async () => {
      await page.goto(s.url, { waitUntil: 'load' });
      await page.waitForFunction(() => document.body.dataset.game === 'running', { timeout: 60000 });
      await page.mouse.move(5, 5);
      await sleep(2);
    };
    await load();
    await page.screenshot({ path: path.join(out, `${name}-menu.png`) });
    await page.mouse.move(400, 172);
    await sleep(0.3);
    await page.mouse.down(); await sleep(0.05); await page.mouse.up();
    await sleep(0.3);
    await page.mouse.move(5, 5);
    await sleep(1.5);
    await page.screenshot({ path: path.join(out, `${name}-level0.png`) });
    for (const [w, h] of [[1280, 720], [390, 844]]) {
      await page.setViewport({ width: w, height: h, deviceScaleFactor: 1 });
      await load();
      await page.screenshot({ path: path.join(out, `${name}-menu-${w}x${h}.png`) });
    }
  } finally {
    await browser.close();
    await s.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

async function main() {
  const [site, out, flag, which] = process.argv.slice(2);
  if (!site || !out) { console.error('usage: node shots.js SITE_DIR OUT_DIR [--browser chromium|firefox|both]'); process.exit(2); }
  fs.mkdirSync(out, { recursive: true });
  const names = flag === '--browser' && which && which !== 'both' ? [which] : ['chromium', 'firefox'];
  for (const n of names) { await one(n, path.resolve(site), out); console.log(`${n}: pictures in ${out}`); }
}

main().catch((e) => { console.error(e.stack || e.message); process.exit(1); });

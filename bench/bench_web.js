// The browser rows of scripts/bench.sh: bench_web.html's frame rows, the
// real page's time from load to its first frame, and the real game's level 1
// on a phone-sized page and on the desktop page, side by side, in headless
// Chromium on software WebGL, served on 127.0.0.1. Prints table rows.
//
//   node bench/bench_web.js <build-web dir>
'use strict';

const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const site = path.resolve(process.argv[2] || 'build-web');
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

const server = http.createServer((req, res) => {
  const file = path.join(site, decodeURIComponent(new URL(req.url, 'http://x').pathname));
  if (!file.startsWith(site + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
    res.writeHead(404);
    res.end();
    return;
  }
  res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
  res.end(fs.readFileSync(file));
});

(async () => {
  await new Promise((r) => server.listen(0, '127.0.0.1', r));
  const base = `http://127.0.0.1:${server.address().port}`;
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      ...(process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : []),
      '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run',
      '--disable-quic', `--user-data-dir=${fs.mkdtempSync(path.join(os.tmpdir(), 'quellin-chromium-'))}`],
  });
  try {
    // Load to first frame: the page fetched afresh each time, median of five.
    const loads = [];
    for (let i = 0; i < 5; i++) {
      const page = await browser.newPage();
      await page.setCacheEnabled(false);
      await page.setBypassServiceWorker(true); // not the worker's kept copy either
      await page.goto(`${base}/quellin.html`);
      await page.waitForFunction(() => Module.framesPresented > 0, { timeout: 30000 });
      loads.push(await page.evaluate(() => Module.firstFrameAt));
      await page.close();
    }
    loads.sort((a, b) => a - b);
    console.log(`| browser: page load to first frame | ${loads[2].toFixed(0)} ms | median of 5, from navigation; min ${loads[0].toFixed(0)}, max ${loads[4].toFixed(0)} |`);

    // The game itself at level 1, as a player starts it: the desktop page
    // (the game shown at its 800 x 600) and a phone in landscape (touch, 3
    // device pixels to the CSS pixel), alternating, so that both see the
    // same load. Frames shown over 5 s after 1 s of play, median of 3.
    const screens = [
      ['desktop page, 800 x 600 shown', { width: 800, height: 800 }],
      ['phone page, 844 x 390, 3 px to the CSS px, touch', { width: 844, height: 390, isMobile: true, hasTouch: true, deviceScaleFactor: 3, isLandscape: true }],
    ];
    const rates = screens.map(() => []);
    for (let round = 0; round < 3; round++) {
      for (let i = 0; i < screens.length; i++) {
        const page = await browser.newPage();
        await page.setViewport(screens[i][1]);
        await page.goto(`${base}/quellin.html`);
        await page.waitForFunction(() => Module.framesPresented > 0, { timeout: 30000 });
        if (screens[i][1].hasTouch) {
          const cdp = await page.createCDPSession();
          await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x: 600, y: 200, id: 1 }] });
          await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
        } else {
          await page.click('#canvas');
        }
        await new Promise((r) => setTimeout(r, 1000));
        const start = await page.evaluate(() => [Module.framesPresented, performance.now()]);
        await new Promise((r) => setTimeout(r, 5000));
        const end = await page.evaluate(() => [Module.framesPresented, performance.now()]);
        rates[i].push((end[0] - start[0]) * 1000 / (end[1] - start[1]));
        await page.close();
      }
    }
    screens.forEach(([name], i) => {
      const r = rates[i].sort((a, b) => a - b);
      console.log(`| browser: game, level 1, ${name} | ${r[1].toFixed(1)} fps | median of 3 runs of 5 s, alternating; min ${r[0].toFixed(1)}, max ${r[2].toFixed(1)} |`);
    });

    const page = await browser.newPage();
    const rows = [];
    page.on('console', (m) => { if (m.text().startsWith('| browser:')) rows.push(m.text()); });
    await page.goto(`${base}/bench/bench_web.html`);
    await page.waitForFunction(() => document.getElementById('message').innerText !== 'Click to play' &&
      document.getElementById('message').innerText !== 'Loading…' && !document.getElementById('notice').classList.contains('hidden'),
      { timeout: 600000, polling: 500 });
    for (const row of rows) console.log(row);
  } finally {
    await browser.close();
    server.close();
  }
})();

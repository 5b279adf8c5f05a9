// The browser rows of scripts/bench.sh: bench_web.html's frame rows, the
// real page's time from load to its first frame, and the real game's level 1
// on a phone-sized page and on the desktop page, in headless Chromium on
// software WebGL, served on 127.0.0.1. The page's WebGL calls are counted by
// wrapping the context's methods, so that each frame row also says what one
// frame sent. Each site is run `rounds` times, the sites taking turns, and a
// row gives the median of the rounds with their range. Prints table rows.
//
//   node bench/bench_web.js <build-web dir> [<another build-web dir> ...] [--rounds N]
'use strict';

const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const args = process.argv.slice(2);
let rounds = 3;
const sites = [];
for (let i = 0; i < args.length; i++) {
  if (args[i] === '--rounds') rounds = Math.max(1, parseInt(args[++i], 10) || 1);
  else sites.push(path.resolve(args[i]));
}
if (sites.length === 0) sites.push(path.resolve('build-web'));
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

function serve(site) {
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
  return new Promise((r) => server.listen(0, '127.0.0.1', () => r(server)));
}

// Runs in the page before its own scripts: every method of the WebGL 1
// context and of its instancing extension counted, draws, program switches
// and buffer uploads apart.
function countWebGL() {
  const c = { calls: 0, draws: 0, programs: 0, uploads: 0, uploadBytes: 0, triangles: 0 };
  globalThis.quellinWebGLCounts = c;
  const triangles = (mode, n, instances) =>
    (mode === 4 ? Math.floor(n / 3) : mode === 5 || mode === 6 ? Math.max(0, n - 2) : 0) * instances;
  const wrap = (proto) => {
    for (const name of Object.getOwnPropertyNames(proto)) {
      const d = Object.getOwnPropertyDescriptor(proto, name);
      if (typeof d.value !== 'function' || name === 'constructor') continue;
      const f = d.value;
      proto[name] = function (...a) {
        c.calls++;
        if (name === 'drawArrays' || name === 'drawArraysInstancedANGLE') {
          c.draws++;
          c.triangles += triangles(a[0], a[2], a[3] || 1);
        } else if (name === 'drawElements' || name === 'drawElementsInstancedANGLE') {
          c.draws++;
          c.triangles += triangles(a[0], a[1], a[4] || 1);
        } else if (name === 'useProgram') {
          c.programs++;
        } else if (name === 'bufferData' || name === 'bufferSubData') {
          c.uploads++;
          const data = a[name === 'bufferData' ? 1 : 2];
          if (data && typeof data === 'object') c.uploadBytes += data.byteLength;
        }
        return f.apply(this, a);
      };
    }
  };
  wrap(WebGLRenderingContext.prototype);
  // The extension's own object, whose class the page cannot name.
  const getExtension = WebGLRenderingContext.prototype.getExtension;
  WebGLRenderingContext.prototype.getExtension = function (name) {
    const ext = getExtension.call(this, name);
    if (ext && name === 'ANGLE_instanced_arrays' && !ext.counted) {
      wrap(Object.getPrototypeOf(ext));
      ext.counted = true;
    }
    return ext;
  };
}

// The game itself at level 1, as a player starts it: the desktop page (the
// game shown at its 800 x 600) and a phone in landscape (touch, 3 device
// pixels to the CSS pixel). Frames shown over 5 s after 1 s of play.
const screens = [
  ['desktop page, 800 x 600 shown', { width: 800, height: 800 }],
  ['phone page, 844 x 390, 3 px to the CSS px, touch', { width: 844, height: 390, isMobile: true, hasTouch: true, deviceScaleFactor: 3, isLandscape: true }],
];

async function round(browser, base, log) {
  // Load to first frame: the page fetched afresh, not the worker's kept copy either.
  const page = await browser.newPage();
  await page.setCacheEnabled(false);
  await page.setBypassServiceWorker(true);
  await page.goto(`${base}/quellin.html`);
  await page.waitForFunction(() => Module.framesPresented > 0, { timeout: 30000 });
  log.load.push(await page.evaluate(() => Module.firstFrameAt));
  await page.close();

  for (const [name, viewport] of screens) {
    const game = await browser.newPage();
    await game.setViewport(viewport);
    await game.goto(`${base}/quellin.html`);
    await game.waitForFunction(() => Module.framesPresented > 0, { timeout: 30000 });
    if (viewport.hasTouch) {
      const cdp = await game.createCDPSession();
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x: 600, y: 200, id: 1 }] });
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    } else {
      await game.click('#canvas');
    }
    await new Promise((r) => setTimeout(r, 1000));
    const start = await game.evaluate(() => [Module.framesPresented, performance.now()]);
    await new Promise((r) => setTimeout(r, 5000));
    const end = await game.evaluate(() => [Module.framesPresented, performance.now()]);
    const what = `browser: game, level 1, ${name}`;
    (log.rows[what] = log.rows[what] || []).push(['', what, `${((end[0] - start[0]) * 1000 / (end[1] - start[1])).toFixed(1)} fps`, 'runs of 5 s']);
    await game.close();
  }

  const bench = await browser.newPage();
  await bench.evaluateOnNewDocument(countWebGL);
  bench.on('console', (m) => {
    const text = m.text();
    if (!text.startsWith('| browser:')) return;
    const cells = text.split('|').map((s) => s.trim());
    (log.rows[cells[1]] = log.rows[cells[1]] || []).push(cells);
  });
  await bench.goto(`${base}/bench/bench_web.html`);
  await bench.waitForFunction(() => document.getElementById('message').innerText !== 'Click to play' &&
    document.getElementById('message').innerText !== 'Loading…' && !document.getElementById('notice').classList.contains('hidden'),
    { timeout: 600000, polling: 500 });
  await bench.close();
}

const median = (v) => v.slice().sort((a, b) => a - b)[v.length >> 1];

function report(site, log, label) {
  const name = (what) => (label ? `${what} [${label}]` : what);
  const loads = log.load.slice().sort((a, b) => a - b);
  console.log(`| ${name('browser: page load to first frame')} | ${median(loads).toFixed(0)} ms | median of ${loads.length}, from navigation; min ${loads[0].toFixed(0)}, max ${loads[loads.length - 1].toFixed(0)} |`);
  for (const [what, cells] of Object.entries(log.rows)) {
    const fps = cells.map((c) => parseFloat(c[2]));
    if (cells.length < 2 || fps.some(isNaN)) {
      console.log(`| ${name(what)} | ${cells[0][2]} | ${cells[0][3]} |`);
      continue;
    }
    // The notes of the median round, which carry its counts.
    const mid = cells[fps.indexOf(median(fps))];
    const lo = Math.min(...fps), hi = Math.max(...fps);
    console.log(`| ${name(what)} | ${median(fps).toFixed(1)} fps (${(1000 / median(fps)).toFixed(2)} ms) | median of ${fps.length} rounds, ${lo.toFixed(1)} to ${hi.toFixed(1)} fps; ${mid[3]} |`);
  }
}

(async () => {
  const servers = await Promise.all(sites.map(serve));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      ...(process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : []),
      '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run',
      '--disable-quic'],
  });
  const logs = sites.map(() => ({ load: [], rows: {} }));
  try {
    for (let r = 0; r < rounds; r++)
      for (let s = 0; s < sites.length; s++)
        await round(browser, `http://127.0.0.1:${servers[s].address().port}`, logs[s]);
    sites.forEach((site, s) => report(site, logs[s], sites.length > 1 ? path.basename(path.dirname(site)) + '/' + path.basename(site) : ''));
  } finally {
    await browser.close();
    servers.forEach((s) => s.close());
  }
})();

// What the browser tests share: serving the build on 127.0.0.1, reading
// screenshots, starting headless Chromium (software WebGL), the page's own
// state, and the list of checks with their results.
'use strict';

const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const puppeteer = require('puppeteer-core');

const site = path.resolve(process.argv[2] || 'build-web');
const artifacts = process.env.QUELLIN_ARTIFACTS || path.resolve('artifacts');

// ---- Serving -----------------------------------------------------------------

const types = {
  '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

// Serves the folder (`folder()` when given, asked at each request); `edit`
// may change a file's text on its way out.
function serve(edit, folder = () => site) {
  const server = http.createServer((req, res) => {
    const root = folder();
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname).replace(/^\/+/, '');
    const file = path.join(root, name);
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    let body = fs.readFileSync(file);
    if (edit) body = edit(name, body);
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    res.end(body);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// ---- Pixels ------------------------------------------------------------------

// A PNG screenshot (8-bit RGB or RGBA, not interlaced) as RGB rows.
function decodePng(buffer) {
  let pos = 8, width = 0, height = 0, channels = 0;
  const idat = [];
  while (pos < buffer.length) {
    const length = buffer.readUInt32BE(pos);
    const type = buffer.toString('latin1', pos + 4, pos + 8);
    const data = buffer.subarray(pos + 8, pos + 8 + length);
    if (type === 'IHDR') {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      if (data[8] !== 8 || data[12] !== 0) throw new Error('unexpected PNG format');
      channels = { 2: 3, 6: 4 }[data[9]];
    } else if (type === 'IDAT') {
      idat.push(data);
    }
    pos += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const stride = width * channels;
  const rows = Buffer.alloc(height * stride);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; x++) {
      const v = raw[y * (stride + 1) + 1 + x];
      const a = x >= channels ? rows[y * stride + x - channels] : 0;
      const b = y > 0 ? rows[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? rows[(y - 1) * stride + x - channels] : 0;
      let p = 0;
      if (filter === 1) p = a;
      else if (filter === 2) p = b;
      else if (filter === 3) p = (a + b) >> 1;
      else if (filter === 4) {
        const e = a + b - c, pa = Math.abs(e - a), pb = Math.abs(e - b), pc = Math.abs(e - c);
        p = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      rows[y * stride + x] = (v + p) & 255;
    }
  }
  const rgb = Buffer.alloc(width * height * 3);
  for (let i = 0; i < width * height; i++) rows.copy(rgb, i * 3, i * channels, i * channels + 3);
  return { width, height, rgb };
}

function decodePpm(buffer) {
  const header = buffer.toString('latin1', 0, 64).match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  if (!header) throw new Error('not an 8-bit binary PPM');
  return { width: +header[1], height: +header[2], rgb: buffer.subarray(header[0].length) };
}

// The colour classes of the desktop end-to-end tests.
const classes = {
  sky: (r, g, b) => Math.abs(r - 178) < 14 && Math.abs(g - 178) < 14 && b > 240,
  cyan: (r, g, b) => r < 90 && g > 180 && b > 180,
  warm: (r, g, b) => r > g + 25 && r > b + 40,
  bright: (r, g, b) => r > 235 && g > 235 && b > 235,
};

function count(image, x, y, w, h, name) {
  let n = 0;
  for (let j = y; j < y + h; j++)
    for (let i = x; i < x + w; i++) {
      const o = (j * image.width + i) * 3;
      if (classes[name](image.rgb[o], image.rgb[o + 1], image.rgb[o + 2])) n++;
    }
  return n;
}

function crop(image, x, y, w, h) {
  const out = [];
  for (let j = y; j < y + h; j++) out.push(image.rgb.subarray((j * image.width + x) * 3, (j * image.width + x + w) * 3));
  return Buffer.concat(out).toString('base64');
}

// ---- The browser --------------------------------------------------------------

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: [
      '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      // As root there is no sandbox to be had; the network stays closed.
      ...(process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : []),
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--no-first-run', '--disable-quic', '--window-size=1000,800',
    ],
    // Puppeteer's own throwaway profile, removed when the browser closes.
  });
}

// A page whose console, errors and failed requests are kept. The default
// viewport shows the game at its own 800 x 600; `prepare(page)` runs before
// the page loads.
async function openPage(browser, url, viewport = { width: 800, height: 800 }, prepare = null) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  if (prepare) await prepare(page);
  const trouble = [];
  page.on('console', (m) => {
    const text = m.text();
    if (m.type() === 'error' || m.type() === 'warn' || m.type() === 'warning') trouble.push(`console ${m.type()}: ${text}`);
    else if (/TODO/.test(text)) trouble.push(`console ${m.type()}: ${text}`);
  });
  page.on('pageerror', (e) => trouble.push(`page error: ${e.message}`));
  page.on('requestfailed', (r) => trouble.push(`request failed: ${r.url()}`));
  page.on('response', (r) => { if (r.status() >= 400) trouble.push(`HTTP ${r.status()}: ${r.url()}`); });
  await page.goto(url);
  return { page, trouble };
}

async function shot(page, name) {
  const png = await (await page.$('#canvas')).screenshot();
  fs.mkdirSync(artifacts, { recursive: true });
  fs.writeFileSync(path.join(artifacts, `web-${name}.png`), png);
  return decodePng(Buffer.from(png));
}

const frames = (page) => page.evaluate(() => Module.framesPresented || 0);
const notice = (page) => page.evaluate(() => document.getElementById('notice').classList.contains('hidden') ? '' : document.getElementById('notice').innerText);
const locked = (page) => page.evaluate(() => document.pointerLockElement === document.getElementById('canvas'));

async function until(what, test, ms = 15000) {
  const end = Date.now() + ms;
  for (;;) {
    const value = await test();
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await sleep(50);
  }
}

async function hold(page, key, ms) {
  await page.keyboard.down(key);
  await sleep(ms);
  await page.keyboard.up(key);
}

function expectedLog(failed) {
  return ['<TovarToolkit>', '<SysMsg>Tovarlog Started!', 'Tovarlog compiled at STAMP</SysMsg>',
    '<SysMsg>Configuring Window...</SysMsg>', '<SysMsg>Creating Window "TovarToolkit Quellin" 800x600x32x0</SysMsg>',
    '<SysMsg>Initializing stuff...</SysMsg>', ...(failed ? ['<SysErrMsg>Failed to initialize.</SysErrMsg>'] : []),
    '<SysMsg>Stuff initialized</SysMsg>', '<SysMsg>TovarLog Shutting Down...</SysMsg>', '</TovarToolkit>'].join('\n');
}

async function log(page) {
  const text = await page.evaluate(() => new TextDecoder().decode(Module.FS.readFile('/TovarToolkitLog.xml')));
  return text.replace(/compiled at \d\d:\d\d:\d\d[A-Z][a-z]{2} [ \d]\d \d{4}</, 'compiled at STAMP<');
}

// ---- The checks' results ------------------------------------------------------

const results = [];
function check(ok, what) {
  results.push({ ok: !!ok, what });
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
}

// Runs the checks in `body(browser, base)` against the build served here, then
// prints the tally and ends the process with its status.
async function run(body) {
  const server = await serve();
  const browser = await launch();
  try {
    await body(browser, `http://127.0.0.1:${server.address().port}`);
  } catch (e) {
    check(false, `the checks ran to the end (${e.message})`);
  } finally {
    await browser.close();
    server.close();
  }
  const failed = results.filter((r) => !r.ok).length;
  console.log(`${results.length - failed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
}

module.exports = {
  site, artifacts, serve, decodePng, decodePpm, classes, count, crop, sleep, launch, openPage, shot,
  frames, notice, locked, until, hold, expectedLog, log, check, run,
};

// The browser build played end to end in headless Chromium (software WebGL):
// the page, the first frame, input, pointer lock, quitting, the log, a failed
// start and the console. Serves build-web/ itself on 127.0.0.1.
//
//   node tests/web/browser_test.js <build-web dir> [linux screenshot.ppm]
'use strict';

const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const puppeteer = require('puppeteer-core');

const site = path.resolve(process.argv[2] || 'build-web');
const linuxShot = process.argv[3];
const artifacts = process.env.QUELLIN_ARTIFACTS || path.resolve('artifacts');

// ---- Serving -----------------------------------------------------------------

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

// Serves the folder; `edit` may change a file's text on its way out.
function serve(edit) {
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname).replace(/^\/+/, '');
    const file = path.join(site, name);
    if (!file.startsWith(site + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
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
      `--user-data-dir=${fs.mkdtempSync(path.join(os.tmpdir(), 'quellin-chromium-'))}`,
    ],
  });
}

// A page whose console, errors and failed requests are kept.
async function openPage(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 800 });
  const trouble = [];
  page.on('console', (m) => {
    const text = m.text();
    const banner = /^WARNING: using emscripten GL/.test(text);
    if ((m.type() === 'error' || m.type() === 'warn' || m.type() === 'warning') && !banner) trouble.push(`console ${m.type()}: ${text}`);
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

// ---- The checks -----------------------------------------------------------------

const results = [];
function check(ok, what) {
  results.push({ ok: !!ok, what });
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
}

async function playedGame(browser, base) {
  const { page, trouble } = await openPage(browser, `${base}/quellin.html`);
  await until('the first frame', async () => (await frames(page)) > 0);
  const size = await page.evaluate(() => {
    const c = document.getElementById('canvas'), r = c.getBoundingClientRect();
    return [c.width, c.height, r.width, r.height];
  });
  check(size.join() === '800,600,800,600', `the canvas is 800 x 600 (${size.join(' ')})`);
  check(/click to play/i.test(await notice(page)), 'before the first click the page says "Click to play"');
  const sound = () => page.evaluate(() => {
    const a = Module.tovarAudio;
    return a ? { context: a.context ? a.context.state : 'none', blocks: a.blocks, loud: a.loudBlocks } : null;
  });
  const unclicked = await sound();
  check(unclicked && unclicked.context === 'none', `no sound before the first click (${JSON.stringify(unclicked)})`);

  // The first click takes the pointer lock (and fires straight ahead, where no
  // creature stands); the HUD is compared once the bullet is gone.
  await page.click('#canvas');
  await until('the pointer lock', () => locked(page), 5000).catch(() => {});
  check(await locked(page), 'a click on the canvas takes the pointer lock');
  check((await notice(page)) === '', 'the click takes the notice away');
  await sleep(1000);
  const first = await shot(page, 'first');
  check(count(first, 0, 0, 380, 200, 'sky') > 60000, 'the sky fills the top rows');
  check(count(first, 0, 420, 800, 180, 'sky') === 0, 'no sky where the floor is');
  check(count(first, 560, 40, 240, 360, 'cyan') > 1000, 'cyan heads-up text in the right half');
  check(count(first, 0, 0, 380, 600, 'cyan') === 0, 'no heads-up text in the left half');

  if (linuxShot) {
    // The same face, metrics and placement: the text's pixels where the Linux
    // build puts them, but for the edges that antialiasing draws differently.
    const linux = decodePpm(fs.readFileSync(linuxShot));
    let both = 0, either = 0;
    for (let y = 40; y < 400; y++)
      for (let x = 560; x < 800; x++) {
        const a = classes.cyan(...first.rgb.subarray((y * 800 + x) * 3, (y * 800 + x) * 3 + 3));
        const b = classes.cyan(...linux.rgb.subarray((y * linux.width + x) * 3, (y * linux.width + x) * 3 + 3));
        if (a && b) both++;
        if (a || b) either++;
      }
    const overlap = either ? both / either : 0;
    check(either > 1000 && overlap > 0.8, `the HUD text matches the Linux build's (overlap ${overlap.toFixed(3)} of ${either} pixels)`);
  }

  // Held, the button fires every 8 frames, so a bullet is in flight whenever
  // the screenshot comes.
  const glowBefore = count(first, 250, 150, 300, 300, 'bright');
  await page.mouse.down();
  await sleep(150);
  const fired = await shot(page, 'fired');
  await page.mouse.up();
  const glowAfter = count(fired, 250, 150, 300, 300, 'bright');
  check(glowAfter > glowBefore + 20, `a click fires: a bullet down the middle (${glowBefore} -> ${glowAfter} bright pixels)`);
  await sleep(300);
  const heard = await sound();
  check(heard && heard.context === 'running' && heard.blocks > 10 && heard.loud > 0,
    `the first click started the sound, and it is heard (${JSON.stringify(heard)})`);

  // Turn right with E until a creature is in view, then walk with W.
  let view = fired, seen = false;
  for (let i = 0; i < 60 && !seen; i++) {
    await hold(page, 'e', 60);
    view = await shot(page, 'creature');
    seen = count(view, 0, 150, 800, 450, 'warm') > 300;
  }
  check(seen, 'a creature is drawn');
  const position = crop(view, 380, 40, 420, 30);
  await hold(page, 'w', 400);
  const walked = await shot(page, 'walked');
  check(crop(walked, 380, 40, 420, 30) !== position, 'holding W changes the position line');

  // Escape with the pointer locked only frees it; the game goes on.
  if (!(await locked(page))) {
    await page.click('#canvas');
    await until('the pointer lock', () => locked(page), 5000).catch(() => {});
  }
  const before = await frames(page);
  await hold(page, 'Escape', 100);
  await sleep(600);
  check(!(await locked(page)), 'Escape frees the locked pointer');
  check((await frames(page)) > before + 10 && (await notice(page)) === '', 'the game goes on after that Escape');

  // Escape with the pointer free ends the game and finishes the log.
  await hold(page, 'Escape', 100);
  await until('the end of the game', async () => /ended/i.test(await notice(page)), 10000).catch(() => {});
  const ended = await notice(page);
  check(/the game has ended/i.test(ended) && /play again/i.test(ended), `a second Escape ends the game and the page offers to play again ("${ended.replace(/\n/g, ' ')}")`);
  const lines = await log(page);
  check(lines === expectedLog(false), 'the log holds exactly the Linux lines');
  if (lines !== expectedLog(false)) console.log(lines);

  // The page's button hands the player that log as a file.
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'quellin-downloads-'));
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.click('#save-log');
  const saved = path.join(downloads, 'TovarToolkitLog.xml');
  await until('the saved log', () => fs.existsSync(saved), 5000).catch(() => {});
  const savedText = fs.existsSync(saved) ? fs.readFileSync(saved, 'latin1') : '';
  check(savedText.replace(/compiled at [^<]*</, 'compiled at STAMP<') === expectedLog(false), '"Save the log" saves TovarToolkitLog.xml');

  check(trouble.length === 0, 'no page error, console error or missing resource');
  for (const t of trouble) console.log(`  ${t}`);
  await page.close();
}

// A package whose data lacks one file: the loader's list of files no longer
// names it, as if it had been left out.
async function missingFile(browser) {
  const server = await serve((name, body) =>
    name === 'quellin.js' ? Buffer.from(body.toString('latin1').split('/Images/Particle.bmp').join('/Images/Particle.gone'), 'latin1') : body);
  const { page } = await openPage(browser, `http://127.0.0.1:${server.address().port}/quellin.html`);
  await until('the reason on the page', async () => /cannot start/.test(await notice(page)), 20000).catch(() => {});
  const text = await notice(page);
  check(/^Quellin cannot start: .*Particle\.bmp/.test(text), `a missing data file shows its reason on the page ("${text}")`);
  check((await log(page).catch(() => '')) === expectedLog(true), 'and the log says it failed to initialise');
  await page.close();
  server.close();
}

(async () => {
  const server = await serve();
  const browser = await launch();
  try {
    await playedGame(browser, `http://127.0.0.1:${server.address().port}`);
    await missingFile(browser);
  } catch (e) {
    check(false, `the checks ran to the end (${e.message})`);
  } finally {
    await browser.close();
    server.close();
  }
  const failed = results.filter((r) => !r.ok).length;
  console.log(`${results.length - failed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
})();

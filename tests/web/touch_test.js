// The page on phones, tablets and any size of window, in Chromium's mobile
// emulation: the game fits every screen; touch alone plays it (a tap starts,
// a drag turns, the stick walks, Fire fires, all three at once); full screen;
// and the page installs, plays offline, and takes a changed build whole.
//
//   node tests/web/touch_test.js <build-web dir>
'use strict';

const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { site, serve, count, crop, sleep, openPage, shot, frames, notice, locked, until, check, run } = require('./lib');

const phone = { width: 844, height: 390, isMobile: true, hasTouch: true, deviceScaleFactor: 3, isLandscape: true };
const desktop = { width: 1600, height: 1000 };

// Fingers through the DevTools protocol: each event lists every finger still
// down, as [x, y, id] in CSS pixels.
async function fingers(page) {
  const cdp = await page.createCDPSession();
  return (type, points) => cdp.send('Input.dispatchTouchEvent',
    { type, touchPoints: points.map(([x, y, id]) => ({ x, y, id })) });
}

const centre = (page, id) => page.evaluate((id) => {
  const r = document.getElementById(id).getBoundingClientRect();
  return [r.x + r.width / 2, r.y + r.height / 2];
}, id);

async function layout(page) {
  return page.evaluate(() => {
    const box = (id) => {
      const e = document.getElementById(id), r = e.getBoundingClientRect();
      return { x: r.x, y: r.y, w: r.width, h: r.height, shown: r.width > 0 && getComputedStyle(e).visibility !== 'hidden' };
    };
    const c = document.getElementById('canvas');
    return {
      w: innerWidth, h: innerHeight, scrollW: document.documentElement.scrollWidth, scrollH: document.documentElement.scrollHeight,
      game: box('canvas'), view: box('view'), bar: box('bar'), fire: box('fire'), restart: box('restart'), turn: box('turn'),
      buffer: `${c.width}x${c.height}`,
    };
  });
}

// The game fills the area one way, keeps 4:3, and sits in its middle.
function fitted(g, v) {
  const inside = g.x >= v.x - 0.5 && g.y >= v.y - 0.5 && g.x + g.w <= v.x + v.w + 0.5 && g.y + g.h <= v.y + v.h + 0.5;
  const centred = Math.abs(2 * (g.x - v.x) + g.w - v.w) < 2 && Math.abs(2 * (g.y - v.y) + g.h - v.h) < 2;
  return inside && centred && Math.abs(g.w * 3 - g.h * 4) < 4 && (Math.abs(g.w - v.w) < 2 || Math.abs(g.h - v.h) < 2);
}

// A line of the heads-up text, in the 800 x 600 picture's coordinates,
// from a screenshot of the canvas at whatever size it is shown.
const lines = { position: [380, 40, 420, 30], view: [430, 135, 370, 35] };
function line(image, which) {
  const s = image.width / 800, [x, y, w, h] = lines[which];
  return crop(image, Math.round(x * s), Math.round(y * s), Math.round(w * s), Math.round(h * s));
}
const glow = (image) => { const s = image.width / 800; return count(image, Math.round(250 * s), Math.round(150 * s), Math.round(300 * s), Math.round(300 * s), 'bright'); };

// ---- The checks -----------------------------------------------------------------

async function fits(browser, base) {
  const screens = [
    ['a phone in landscape', phone],
    ['a phone in portrait', { width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3 }],
    ['a small phone', { width: 320, height: 568, isMobile: true, hasTouch: true, deviceScaleFactor: 2 }],
    ['a desktop window', desktop],
  ];
  for (const [name, viewport] of screens) {
    const { page } = await openPage(browser, `${base}/quellin.html`, viewport);
    await until('the first frame', async () => (await frames(page)) > 0);
    const l = await layout(page), g = l.game;
    const still = l.w === viewport.width && l.scrollW <= l.w && l.scrollH <= l.h;
    const bar = l.bar.shown && l.bar.x >= 0 && l.bar.x + l.bar.w <= l.w + 0.5 && l.bar.y + l.bar.h <= l.h + 0.5;
    const size = `${g.w.toFixed(1)} x ${g.h.toFixed(1)}`;
    check(fitted(g, l.view) && still && bar && l.buffer === '800x600',
      `${name}, ${l.w} x ${l.h}: the game fits at ${size}, 4:3, centred, its buffer 800 x 600; no scrolling; the help line in view`);
    // Thumb-sized, only with touch, and never over the crosshair.
    const middle = (b) => b.x < g.x + g.w / 2 + 40 && b.x + b.w > g.x + g.w / 2 - 40 && b.y < g.y + g.h / 2 + 40 && b.y + b.h > g.y + g.h / 2 - 40;
    check(viewport.hasTouch ? l.fire.shown && l.fire.w >= 56 && l.fire.h >= 56 && !middle(l.fire) && !middle(l.restart) : !l.fire.shown,
      `${name}: Fire (${l.fire.w} x ${l.fire.h}) ${viewport.hasTouch ? 'is thumb-sized, clear of the crosshair' : 'is not shown without touch'}`);
    if (viewport.width < viewport.height)
      check(l.turn.shown && Math.abs(g.w - l.w) < 1, `${name}: the game fits the width, and a line asks to turn the device`);
    if (viewport === desktop) check(g.h >= 0.9 * l.h, `${name}: the game takes ${(100 * g.h / l.h).toFixed(0)} % of the height`);
    await page.close();
  }
}

async function touchPlay(browser, base) {
  const { page, trouble } = await openPage(browser, `${base}/quellin.html`, phone);
  const touch = await fingers(page);
  await until('the first frame', async () => (await frames(page)) > 0);
  const g = (await layout(page)).game;
  const at = (fx, fy) => [g.x + g.w * fx, g.y + g.h * fy];

  // "Full screen" holds the stage, the game 4:3 inside; Escape leaves it,
  // and only that.
  await touch('touchStart', [[...(await centre(page, 'full-screen')), 9]]);
  await touch('touchEnd', []);
  await until('full screen', () => page.evaluate(() => document.fullscreenElement && document.fullscreenElement.id === 'stage'), 5000).catch(() => {});
  await sleep(200);
  const full = await layout(page);
  check(await page.evaluate(() => document.fullscreenElement && document.fullscreenElement.id === 'stage') && fitted(full.game, full.view),
    `"Full screen" puts the stage in full screen, the game 4:3 inside (${full.game.w.toFixed(1)} x ${full.game.h.toFixed(1)})`);
  await page.keyboard.press('Escape');
  await sleep(300);
  check(await page.evaluate(() => !document.fullscreenElement) && /click to play/i.test(await notice(page)),
    'Escape leaves full screen, and the game is still there');

  // A tap starts the game, and the sound with it.
  const before = await frames(page);
  await touch('touchStart', [[...at(0.75, 0.5), 1]]);
  await sleep(50);
  await touch('touchEnd', []);
  await sleep(800);
  const sound = await page.evaluate(() => Module.tovarAudio && Module.tovarAudio.context && Module.tovarAudio.context.state);
  check((await notice(page)) === '' && (await frames(page)) > before + 10 && sound === 'running',
    `a tap starts the game and the sound (${sound})`);

  // A drag on the right half turns the view and walks nowhere.
  const start = await shot(page, 'touch-start');
  const [rx, ry] = at(0.7, 0.5);
  await touch('touchStart', [[rx, ry, 2]]);
  for (let i = 1; i <= 10; i++) {
    await touch('touchMove', [[rx + 6 * i, ry - i, 2]]);
    await sleep(30);
  }
  await touch('touchEnd', []);
  await sleep(200);
  const turned = await shot(page, 'touch-turned');
  check(line(turned, 'view') !== line(start, 'view') && line(turned, 'position') === line(start, 'position'),
    'a drag on the right half turns the view: the View line changes, the Position line does not');

  // The stick walks while pushed; the finger lifted, the walk stops.
  const [lx, ly] = at(0.2, 0.6);
  await touch('touchStart', [[lx, ly, 3]]);
  await touch('touchMove', [[lx, ly - 40, 3]]);
  await sleep(500);
  const walking = await shot(page, 'touch-walking');
  await touch('touchEnd', []);
  await sleep(200);
  const stopped = await shot(page, 'touch-stopped');
  await sleep(500);
  const still = await shot(page, 'touch-still');
  check(line(walking, 'position') !== line(turned, 'position') && line(still, 'position') === line(stopped, 'position'),
    'the stick walks, and lifting the finger stops the walk');

  // Three fingers at once: the stick walks, the look turns, Fire fires.
  const [fx, fy] = await centre(page, 'fire');
  await touch('touchStart', [[lx, ly, 4]]);
  await touch('touchStart', [[lx, ly, 4], [rx, ry, 5]]);
  await touch('touchStart', [[lx, ly, 4], [rx, ry, 5], [fx, fy, 6]]);
  for (let i = 1; i <= 8; i++) {
    await touch('touchMove', [[lx + 2, ly - 40, 4], [rx - 6 * i, ry, 5], [fx, fy, 6]]);
    await sleep(40);
  }
  await sleep(150);
  const all = await shot(page, 'touch-three');
  await touch('touchEnd', []);
  check(line(all, 'position') !== line(still, 'position') && line(all, 'view') !== line(still, 'view') && glow(all) > glow(still) + 20,
    `the stick, the look and Fire work together (${glow(still)} -> ${glow(all)} bright pixels)`);

  check(trouble.length === 0, 'no page error, console error or missing resource on the phone');
  for (const t of trouble) console.log(`  ${t}`);
  await page.close();
}

// On a desktop in full screen the first Escape frees the locked pointer and
// the next leaves full screen; neither ends the game. (Chromium itself may
// leave full screen on the first already.)
async function desktopFullScreen(browser, base) {
  const { page } = await openPage(browser, `${base}/quellin.html`, desktop);
  await until('the first frame', async () => (await frames(page)) > 0);
  const full = () => page.evaluate(() => !!document.fullscreenElement);
  await page.click('#full-screen');
  await until('full screen', full, 5000).catch(() => {});
  await page.click('#canvas');
  await until('the pointer lock', () => locked(page), 5000).catch(() => {});
  const was = (await full()) && (await locked(page));
  await page.keyboard.press('Escape');
  await sleep(300);
  const first = !(await locked(page)) && /click to play/i.test(await notice(page));
  if (await full()) await page.keyboard.press('Escape');
  await sleep(300);
  check(was && first && !(await full()) && /click to play/i.test(await notice(page)),
    'on a desktop in full screen, Escape frees the pointer, then leaves full screen, and the game goes on');
  await page.close();
}

const workerReady = (page) => page.evaluate(async () => {
  const registration = await navigator.serviceWorker.getRegistration();
  return registration && registration.active ? caches.keys() : null;
});

// After one visit the page plays with the server gone, and it can be installed.
async function offline(browser) {
  const server = await serve();
  const { page, trouble } = await openPage(browser, `http://127.0.0.1:${server.address().port}/quellin.html`, phone);
  await until('the kept build', async () => ((await workerReady(page)) || []).length === 1, 30000);
  const cdp = await page.createCDPSession();
  const { manifest: m, errors } = await cdp.send('Page.getAppManifest');
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  const icons = await page.evaluate((urls) => Promise.all(urls.map(async (url) => {
    const image = new Image();
    image.src = url;
    await image.decode().catch(() => {});
    // Decoded to the last rows: the badge's rim at the bottom is opaque.
    const canvas = Object.assign(document.createElement('canvas'), { width: image.naturalWidth, height: image.naturalHeight });
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    const whole = canvas.width > 0 && context.getImageData(canvas.width / 2, Math.floor(canvas.height * 0.95), 1, 1).data[3] === 255;
    return `${image.naturalWidth}x${image.naturalHeight}${whole ? '' : ' (not whole)'}`;
  })), (m.icons || []).map((i) => i.url));
  check(errors.length === 0 && installabilityErrors.length === 0 && m.name && m.startUrl && m.themeColor && m.backgroundColor &&
    m.display === 'kFullscreen' && m.orientation === 'LANDSCAPE' && icons.join() === '192x192,512x512',
    `the page can be installed: full screen, landscape, its icons ${icons.join(' and ')} (${JSON.stringify([...errors, ...installabilityErrors])})`);
  server.close();
  server.closeAllConnections();
  await page.reload();
  await until('the first frame offline', async () => (await frames(page)) > 0, 20000).catch(() => {});
  const touch = await fingers(page);
  await touch('touchStart', [[400, 200, 1]]);
  await touch('touchEnd', []);
  const before = await frames(page);
  await sleep(800);
  check(before > 0 && (await frames(page)) > before + 10 && trouble.length === 0, 'after one visit, an offline reload plays');
  for (const t of trouble) console.log(`  ${t}`);
  await page.close();
}

// A build with one file changed, its worker made afresh as the build makes
// it, replaces the kept one as a whole once no page of the old one is open.
async function changedBuild(browser) {
  const changed = fs.mkdtempSync(path.join(os.tmpdir(), 'quellin-changed-'));
  for (const name of fs.readdirSync(site))
    if (/\.(html|js|wasm|data|webmanifest|png)$/.test(name)) fs.copyFileSync(path.join(site, name), path.join(changed, name));
  const html = path.join(changed, 'quellin.html');
  fs.writeFileSync(html, fs.readFileSync(html, 'utf8').replace('<title>', '<meta name="build" content="changed"><title>'));
  const repository = path.resolve(__dirname, '../..');
  execFileSync('cmake', [`-DSITE=${changed}`, `-DSOURCE=${repository}`, '-P', path.join(repository, 'cmake/WebOffline.cmake')]);

  let folder = site;
  const server = await serve(undefined, () => folder);
  const url = `http://127.0.0.1:${server.address().port}/quellin.html`;
  const isChanged = (page) => page.evaluate(() => !!document.querySelector('meta[name=build]'));
  let { page } = await openPage(browser, url);
  await until('the kept build', async () => ((await workerReady(page)) || []).length === 1, 30000);
  const [old] = await workerReady(page);
  await page.close();

  folder = changed;
  ({ page } = await openPage(browser, url));
  await until('the new build kept', () => page.evaluate(async () => !!(await navigator.serviceWorker.getRegistration()).waiting), 30000);
  const during = await isChanged(page);
  await page.close();

  ({ page } = await openPage(browser, url));
  await until('the first frame', async () => (await frames(page)) > 0);
  const kept = await workerReady(page);
  check(!during && (await isChanged(page)) && kept.length === 1 && kept[0] !== old,
    `a changed build replaces the kept one whole (${old} -> ${kept}), never mixed into an open page`);
  await page.close();
  server.close();
  fs.rmSync(changed, { recursive: true, force: true });
}

run(async (browser, base) => {
  await fits(browser, base);
  await touchPlay(browser, base);
  await desktopFullScreen(browser, base);
  await offline(browser);
  await changedBuild(browser);
});

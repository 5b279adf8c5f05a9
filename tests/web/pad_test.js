// A pad in the browser, through a stand-in for navigator.getGamepads in the
// standard layout: a press of A starts the game (and fires), the right stick
// turns the view, the left stick walks, the right trigger fires, and the
// sound still waits for a click, a tap or a key.
//
//   node tests/web/pad_test.js <build-web dir>
'use strict';

const { count, crop, sleep, openPage, shot, frames, notice, until, check, run } = require('./lib');

// The stand-in pad: window.pad.set({ axes: [...], buttons: { 0: 1 } }) puts
// the sticks and the pressed buttons (by index, with their value).
function standIn() {
  const pad = { id: 'stand-in pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,
    axes: [0, 0, 0, 0], buttons: [] };
  const release = () => { pad.buttons = Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 })); };
  release();
  window.pad = {
    set(state) {
      release();
      pad.axes = (state.axes || [0, 0, 0, 0]).slice();
      for (const [i, v] of Object.entries(state.buttons || {})) pad.buttons[i] = { pressed: v > 0.5, touched: true, value: v };
      pad.timestamp = performance.now();
    },
  };
  Object.defineProperty(Navigator.prototype, 'getGamepads', { value: () => [pad, null, null, null] });
}

const lines = { position: [380, 40, 420, 30], view: [430, 135, 370, 35] };
const line = (image, which) => crop(image, ...lines[which]);
const glow = (image) => count(image, 250, 150, 300, 300, 'bright');

async function withPad(page, state, ms) {
  await page.evaluate((s) => window.pad.set(s), state);
  await sleep(ms);
}

run(async (browser, base) => {
  const { page, trouble } = await openPage(browser, `${base}/quellin.html`, undefined, (p) => p.evaluateOnNewDocument(standIn));
  await until('the first frame', async () => (await frames(page)) > 0);
  check(/click to play/i.test(await notice(page)), 'before a press the page says "Click to play"');

  const still = await shot(page, 'pad-before');
  await page.evaluate(() => window.pad.set({ buttons: { 0: 1 } }));
  await until('the game to start', async () => (await notice(page)) === '', 5000).catch(() => {});
  await sleep(150);
  const started = await shot(page, 'pad-started');
  await withPad(page, {}, 300);
  check((await notice(page)) === '', 'a press of A takes the notice away');
  check(glow(started) > glow(still) + 20, `A fires as the left button does (${glow(still)} -> ${glow(started)} bright pixels)`);
  const audio = await page.evaluate(() => (Module.tovarAudio && Module.tovarAudio.context ? Module.tovarAudio.context.state : 'none'));
  check(audio === 'none', `the pad's press starts no sound (${audio})`);

  await sleep(1000); // the bullet flies off
  const before = await shot(page, 'pad-still');
  await withPad(page, { axes: [0, 0, 1, 0] }, 500);
  await withPad(page, {}, 200);
  const turned = await shot(page, 'pad-turned');
  check(line(turned, 'view') !== line(before, 'view') && line(turned, 'position') === line(before, 'position'),
    'the right stick turns the view and leaves the player where it stood');

  await withPad(page, { axes: [0, -1, 0, 0] }, 400);
  await withPad(page, {}, 200);
  const walked = await shot(page, 'pad-walked');
  check(line(walked, 'position') !== line(turned, 'position'), 'the left stick walks');

  await sleep(1000);
  const calm = await shot(page, 'pad-calm');
  await withPad(page, { buttons: { 7: 1 } }, 150);
  const fired = await shot(page, 'pad-fired');
  await withPad(page, {}, 100);
  check(glow(fired) > glow(calm) + 20, `the right trigger fires (${glow(calm)} -> ${glow(fired)} bright pixels)`);

  check(trouble.length === 0, 'no page error, console error or missing resource');
  for (const t of trouble) console.log(`  ${t}`);
  await page.close();
});

// The browser's GL in headless Chromium: what a level-1 frame sends to WebGL
// (counted by wrapping the context's methods), the first frame against the
// Linux build's, and a lost context.
//
//   node tests/web/gl_test.js <build-web dir> [linux screenshot.ppm]
'use strict';

const fs = require('fs');
const { decodePpm, classes, count, sleep, openPage, shot, frames, notice, until, hold, check, run } = require('./lib');

const linuxShot = process.argv[3];

// Runs in the page before its scripts: each WebGL call is put down to the
// frame it belongs to, which SwapBuffers numbers (Module.framesPresented).
function countPerFrame() {
  const tallies = (globalThis.quellinFrames = {});
  const counted = { drawArrays: 'draws', drawElements: 'draws', drawArraysInstancedANGLE: 'draws',
    drawElementsInstancedANGLE: 'draws', bufferData: 'uploads', bufferSubData: 'uploads', enable: 'culls' };
  const CULL_FACE = 0x0b44;
  const wrap = (proto) => {
    for (const [name, what] of Object.entries(counted)) {
      const f = proto[name];
      if (!f) continue;
      proto[name] = function (...a) {
        const frame = (globalThis.Module && Module.framesPresented) || 0;
        const t = (tallies[frame] = tallies[frame] || { draws: 0, uploads: 0, culls: 0 });
        if (what !== 'culls' || a[0] === CULL_FACE) t[what]++;
        return f.apply(this, a);
      };
    }
  };
  const proto = WebGLRenderingContext.prototype;
  wrap(proto);
  // The instancing extension's object, whose class the page cannot name.
  const getExtension = proto.getExtension;
  proto.getExtension = function (name) {
    const ext = getExtension.call(this, name);
    if (ext && name === 'ANGLE_instanced_arrays' && !ext.counted) {
      wrap(Object.getPrototypeOf(ext));
      ext.counted = true;
    }
    return ext;
  };
}

// The first frame beside the Linux build's: how much of the heads-up text
// falls on the same pixels, and how far the colours are apart on average.
// The score, health and enemy lines are left out: by the time the two
// screenshots are taken, either game may have been shot at.
function againstLinux(image) {
  const linux = decodePpm(fs.readFileSync(linuxShot));
  let both = 0, either = 0, sum = 0, pixels = 0;
  for (let y = 0; y < 600; y++)
    for (let x = 0; x < 800; x++) {
      if (x >= 560 && y >= 270 && y < 400) continue;
      const a = image.rgb.subarray((y * 800 + x) * 3, (y * 800 + x) * 3 + 3);
      const b = linux.rgb.subarray((y * linux.width + x) * 3, (y * linux.width + x) * 3 + 3);
      for (let c = 0; c < 3; c++) sum += Math.abs(a[c] - b[c]);
      pixels++;
      if (x < 560 || y < 40) continue;
      const ca = classes.cyan(...a), cb = classes.cyan(...b);
      both += ca && cb;
      either += ca || cb;
    }
  return { overlap: either ? both / either : 0, channel: sum / (pixels * 3) };
}

async function frameCost(browser, base) {
  const { page: game, trouble } = await openPage(browser, `${base}/quellin.html`);
  await game.evaluateOnNewDocument(countPerFrame);
  await game.reload();
  await until('the first frame', async () => (await frames(game)) > 0);
  await game.click('#canvas');
  await sleep(1000);
  const first = await shot(game, 'gl-first');
  if (linuxShot) {
    // With the legacy GL emulation the same measure gave an overlap of 0.991
    // and 0.529 a channel, from a first frame with the same pixels as this.
    const { overlap, channel } = againstLinux(first);
    check(overlap >= 0.985 && channel <= 0.55,
      `the first frame is the Linux build's (HUD text overlap ${overlap.toFixed(4)}, ${channel.toFixed(3)} a channel apart)`);
  }

  // Creatures in view, then 60 frames standing and 60 walking.
  for (let i = 0; i < 60 && count(await shot(game, 'gl-creature'), 0, 150, 800, 450, 'warm') <= 300; i++)
    await hold(game, 'e', 60);
  const from = await frames(game);
  await until('60 frames', async () => (await frames(game)) > from + 61, 20000);
  await game.keyboard.down('w');
  await until('60 frames walking', async () => (await frames(game)) > from + 122, 20000);
  await game.keyboard.up('w');
  const tallies = await game.evaluate((from) => Object.entries(quellinFrames)
    .filter(([f]) => +f > from && +f <= from + 120).map(([, t]) => t), from);
  const most = (what) => Math.max(...tallies.map((t) => t[what]));
  check(tallies.length === 120 && most('draws') <= 12,
    `a level-1 frame, creatures in view, is at most 12 WebGL draws (${most('draws')} at most over ${tallies.length} frames)`);
  check(tallies.length === 120 && most('uploads') <= 6,
    `and at most 6 buffer uploads (${most('uploads')} at most)`);
  // The depth buffer here has 24 bits, so the creatures' far faces are left out.
  check(most('culls') >= 1, `the creatures are drawn with their far faces left out (${most('culls')} at most)`);
  check(trouble.length === 0, 'no page error or console error while playing');
  for (const t of trouble) console.log(`  ${t}`);
  await game.close();
}

async function lostContext(browser, base) {
  const { page, trouble } = await openPage(browser, `${base}/quellin.html`);
  await until('the first frame', async () => (await frames(page)) > 0);
  await page.click('#canvas');
  await sleep(500);
  await page.evaluate(() => {
    globalThis.lostContext = document.getElementById('canvas').getContext('webgl').getExtension('WEBGL_lose_context');
    lostContext.loseContext();
  });
  const text = await until('the notice', async () => /reset/.test(await notice(page)) && notice(page), 10000).catch(() => '');
  check(/^The graphics device was reset\./.test(text) && /Play again/.test(text),
    `a lost context says so and offers to play again ("${String(text).replace(/\n/g, ' ')}")`);
  await sleep(500);
  check(trouble.length === 0, `and nothing fails on the page (${trouble.join('; ')})`);

  // The browser gives a context back; a reload plays.
  await page.evaluate(() => lostContext.restoreContext());
  await Promise.all([page.waitForNavigation(), page.click('#notice button')]);
  await until('a frame after the reload', async () => (await frames(page)) > 0, 15000).catch(() => {});
  const waiting = await notice(page);
  await page.click('#canvas');
  const from = await frames(page);
  await until('frames of play', async () => (await frames(page)) > from + 10, 15000).catch(() => {});
  check(/click to play/i.test(waiting) && (await frames(page)) > from + 10, 'after "Play again" the game plays');
  await page.close();
}

run(async (browser, base) => {
  await frameCost(browser, base);
  await lostContext(browser, base);
});

// The browser build played end to end in headless Chromium (software WebGL):
// the page, the first frame, input, pointer lock, the game waiting while the
// player is out, quitting, the log, a failed start and the console. Serves
// build-web/ itself on 127.0.0.1.
//
//   node tests/web/browser_test.js <build-web dir> [linux screenshot.ppm]
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const {
  serve, decodePpm, classes, count, crop, sleep, openPage, shot, frames, notice, locked, until, hold,
  expectedLog, log, check, run,
} = require('./lib');

const linuxShot = process.argv[3];

// ---- The checks -----------------------------------------------------------------

// The health and position lines of the heads-up text, and the frames shown.
async function state(page) {
  const image = await shot(page, 'waiting');
  return { hud: crop(image, 600, 322, 200, 32) + crop(image, 380, 40, 420, 30), frames: await frames(page) };
}

// Over a few seconds the game neither steps nor draws, and its health and
// position stay as they were.
async function waits(page, what) {
  const before = await state(page);
  await sleep(3000);
  const after = await state(page);
  check(after.frames === before.frames && after.hud === before.hud,
    `${what}: the game waits, health and position unchanged (${before.frames} -> ${after.frames} frames)`);
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
  await waits(page, 'behind "Click to play"');

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

  // The page had the focus when it loaded, and no event said so: losing it
  // pauses all the same, and getting it back goes on.
  await page.evaluate(() => window.dispatchEvent(new Event('blur')));
  await sleep(300);
  const blurred = await frames(page);
  await sleep(600);
  const later = await frames(page);
  check(later === blurred, `the first focus loss pauses (${blurred} -> ${later} frames)`);
  await page.evaluate(() => window.dispatchEvent(new Event('focus')));
  await sleep(600);
  check((await frames(page)) > blurred + 10, 'the focus back goes on');

  // Escape with the pointer locked only frees it; the game waits for a click.
  if (!(await locked(page))) {
    await page.click('#canvas');
    await until('the pointer lock', () => locked(page), 5000).catch(() => {});
  }
  await hold(page, 'Escape', 100);
  await sleep(300);
  check(!(await locked(page)), 'Escape frees the locked pointer');
  check(/click to play/i.test(await notice(page)), 'and the page says "Click to play"');
  await waits(page, 'after Escape');
  const before = await frames(page);
  await page.click('#canvas');
  await until('the pointer lock', () => locked(page), 5000).catch(() => {});
  await sleep(600);
  check(await locked(page) && (await notice(page)) === '' && (await frames(page)) > before + 10,
    'a click takes the pointer again and play goes on');
  await hold(page, 'Escape', 100);
  await sleep(300);

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
  fs.rmSync(downloads, { recursive: true, force: true });

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

// Before the first click a key press starts too.
async function keyStarts(browser, base) {
  const { page } = await openPage(browser, `${base}/quellin.html`);
  await until('the first frame', async () => (await frames(page)) > 0);
  await sleep(300);
  const before = await frames(page);
  await hold(page, 'w', 100);
  await sleep(600);
  check((await notice(page)) === '' && (await frames(page)) > before + 10, 'before the first click, a key press starts');
  await page.close();
}

run(async (browser, base) => {
  await playedGame(browser, base);
  await keyStarts(browser, base);
  await missingFile(browser);
});

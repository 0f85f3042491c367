// The browser build played in Debian's headless Chromium, against the desktop build's headless
// runs of the same ticks. Run by scripts/web-test.sh (which builds the site first):
//   QUORVEX_WEB_SITE=build-web/site QUORVEX_BINARY=build/src/quorvex QUORVEX_PACK=build/pack \
//   node --test tests/web/web_test.mjs
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {dirname, join} from 'node:path';
import {after, before, test} from 'node:test';
import {fileURLToPath} from 'node:url';

import puppeteer from 'puppeteer-core';

import {serveSite} from '../../scripts/web-serve.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const site = process.env.QUORVEX_WEB_SITE;
const binary = process.env.QUORVEX_BINARY;
const pack = process.env.QUORVEX_PACK;
const testData = join(here, '..', 'data');
for (const [name, value] of Object.entries({QUORVEX_WEB_SITE: site, QUORVEX_BINARY: binary,
                                            QUORVEX_PACK: pack})) {
  if (!value) throw new Error(`${name} is not set`);
}

// The recorded pack run's captures (tests/harness/pack_run_test.cpp makes the same script).
const kPackTicks = [0, 50, 200, 400, 700, 1000];
const kPackInput = [[120, 'move 400 300'], [150, 'click left 400 300'], [300, 'key 13'],
                    [500, 'deactivate'], [550, 'activate']];
function packRunScript() {
  let s = '';
  let next = 0;
  for (const t of kPackTicks) {
    for (; next < kPackInput.length && kPackInput[next][0] < t; ++next) {
      s += `${kPackInput[next][0]} ${kPackInput[next][1]}\n`;
    }
    s += `${t} state s${t}.json\n${t} screenshot p${t}.png\n`;
  }
  return s;
}

// The title (logo and loading bar) and the name screen, with the pointer on the frame so that
// both runs draw the game's cursor in the same place.
const kScreens = {title: 50, loading: 200, name: 420};
const kScreensScript = '1 move 400 300\n' +
    Object.values(kScreens).map((t) => `${t} screenshot w${t}.png\n`).join('');
const kScreensTicks = Math.max(...Object.values(kScreens)) + 1;

// WebGL draws through the GPU's own sampling and blending; it may differ from the software
// rasteriser by rounding. A pixel counts as different when a channel is off by more than
// kChannelSlack; at most kDifferentShare of the pixels may be.
const kChannelSlack = 24;
const kDifferentShare = 0.01;

const kOkButton = {x: 400, y: 345};     // the name dialog's OK (input_player_name.map)
const kStartRow = {x: 400, y: 176};     // main menu: start (src/menu/menu_layout.h)
const kArcadeRow = {x: 400, y: 176};    // game type: arcade
const kOptionsRow = {x: 400, y: 236};   // main menu: options
const kFullscreenSwitch = {x: 400, y: 300};  // options: fullscreen

let server;
let baseUrl;
let browser;
let work;
const desktop = {};  // name -> PNG bytes of the desktop's headless run

function fnv1a64(bytes) {
  let h = 0xcbf29ce484222325n;
  for (const b of bytes) {
    h ^= BigInt(b);
    h = (h * 0x100000001b3n) & 0xffffffffffffffffn;
  }
  return h.toString(16).padStart(16, '0');
}

before(async () => {
  work = mkdtempSync(join(tmpdir(), 'quorvex-web-'));
  writeFileSync(join(work, 'pack_run.txt'), packRunScript());
  writeFileSync(join(work, 'screens.txt'), kScreensScript);
  execFileSync(binary, ['--headless', '--pack', pack, '--dir', join(work, 'desktop'), '--seed', '1',
                        '--ticks', String(kScreensTicks), '--script', join(work, 'screens.txt')],
               {stdio: ['ignore', 'ignore', 'inherit']});
  for (const t of Object.values(kScreens)) {
    desktop[t] = readFileSync(join(work, 'desktop', `w${t}.png`));
  }
  ({server, url: baseUrl} = await serveSite(site, {extra: {'/harness/': work}}));
  browser = await puppeteer.launch({
    executablePath: process.env.QUORVEX_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run', '--enable-unsafe-swiftshader',
           '--autoplay-policy=user-gesture-required'],
  });
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
  if (work) rmSync(work, {recursive: true, force: true});
});

// A page in a context of its own: its IndexedDB starts empty unless the test reloads it.
// beforeLoad runs in the page before any of its own scripts (stand-ins for browser parts).
async function openPage(query, {beforeLoad} = {}) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({width: 800, height: 600});
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  page.on('console', (m) => {
    if (m.type() === 'error') errors.push(m.text());
  });
  if (beforeLoad) await page.evaluateOnNewDocument(beforeLoad);
  await page.goto(baseUrl + query);
  return {context, page, errors};
}

async function waitForStart(page) {
  await page.waitForFunction(() => window.Module && Module.calledRun, {timeout: 30000});
}

async function waitForExit(page, timeout = 60000) {
  await page.waitForFunction(() => window.Module && Module.quorvexExitStatus !== undefined,
                             {timeout, polling: 100});
  return page.evaluate(() => Module.quorvexExitStatus);
}

async function readGameFile(page, name) {
  const bytes = await page.evaluate((n) => Array.from(FS.readFile('/quorvex/' + n)), name);
  return Uint8Array.from(bytes);
}

// A text file of the game folder, or '' while the game has not written it.
async function readGameText(page, name) {
  return page.evaluate((n) => {
    try {
      return FS.readFile('/quorvex/' + n, {encoding: 'utf8'});
    } catch (e) {
      return '';
    }
  }, name);
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// As a player clicks: the pointer rests on the button for a moment first (a press that arrives
// in the same tick as the move that brought the pointer there finds no button under it).
async function press(page, {x, y}) {
  await page.mouse.move(x, y);
  await sleep(150);
  await page.mouse.click(x, y, {delay: 40});
}

// Plays the page from its start to the main menu as a new player called name.
async function enterName(page, name) {
  await page.mouse.move(400, 300);
  await page.keyboard.down('Shift');
  await page.keyboard.press('Key' + name[0].toUpperCase());
  await page.keyboard.up('Shift');
  await page.keyboard.type(name.slice(1));
  await press(page, kOkButton);
  await sleep(1500);
}

// Pretends the tab was hidden or shown again, as the browser tells a page.
async function setTabHidden(page, hidden) {
  await page.evaluate((h) => {
    Object.defineProperty(document, 'hidden', {configurable: true, get: () => h});
    Object.defineProperty(document, 'visibilityState', {configurable: true,
                                                        get: () => (h ? 'hidden' : 'visible')});
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
}

// Decodes two PNGs in the page and counts the pixels whose channels differ by more than slack.
async function differentPixels(page, a, b, slack) {
  return page.evaluate(async (pa, pb, s) => {
    async function pixels(bytes) {
      const image = await createImageBitmap(new Blob([Uint8Array.from(bytes)], {type: 'image/png'}));
      const canvas = new OffscreenCanvas(image.width, image.height);
      const g = canvas.getContext('2d');
      g.drawImage(image, 0, 0);
      return g.getImageData(0, 0, image.width, image.height);
    }
    const [x, y] = [await pixels(pa), await pixels(pb)];
    if (x.width !== y.width || x.height !== y.height) return -1;
    let n = 0;
    for (let i = 0; i < x.data.length; i += 4) {
      if (Math.abs(x.data[i] - y.data[i]) > s || Math.abs(x.data[i + 1] - y.data[i + 1]) > s ||
          Math.abs(x.data[i + 2] - y.data[i + 2]) > s) {
        ++n;
      }
    }
    return n;
  }, Array.from(a), Array.from(b), slack);
}

test('the recorded pack run gives the desktop headless run\'s files, tick for tick', async () => {
  const {context, page, errors} =
      await openPage('?headless=1&seed=1&ticks=1001&script=harness/pack_run.txt');
  assert.equal(await waitForExit(page), 0, errors.join('\n'));
  let hashes = '';
  for (const t of kPackTicks) {
    for (const name of [`s${t}.json`, `p${t}.png`]) {
      hashes += `${name} ${fnv1a64(await readGameFile(page, name))}\n`;
    }
  }
  assert.equal(hashes, readFileSync(join(testData, 'harness', 'pack_run.txt'), 'utf8'));
  await context.close();
});

for (const [renderer, exact] of [['software', true], ['opengles2', false]]) {
  test(`title and name screens on the ${renderer} renderer match the desktop's`, async () => {
    const {context, page, errors} = await openPage(
        `?seed=1&virtual-clock=1&ticks=${kScreensTicks}&renderer=${renderer}` +
        '&script=harness/screens.txt');
    assert.equal(await waitForExit(page), 0, errors.join('\n'));
    for (const [screen, t] of Object.entries(kScreens)) {
      const shot = await readGameFile(page, `w${t}.png`);
      const different = await differentPixels(page, shot, desktop[t], exact ? 0 : kChannelSlack);
      if (exact) {
        assert.equal(different, 0, `${screen} screen (tick ${t}): ${different} pixels differ`);
      } else {
        assert.ok(different >= 0 && different <= kDifferentShare * 800 * 600,
                  `${screen} screen (tick ${t}): ${different} pixels differ by more than ` +
                  `${kChannelSlack}`);
      }
    }
    await context.close();
  });
}

// Headless Chromium lets any page play sound, whatever --autoplay-policy says. A browser on a
// desktop starts an audio context suspended until the page has had a click or a key, and
// ignores resume() before; this stand-in does the same, so the test sees the game's sound start
// the way a player's browser would make it. (The page's own activation flag cannot serve:
// puppeteer's evaluate calls grant it.) It also counts the audio buffers SDL's mixer fills
// with sound, through the script processor SDL creates. Installed before the page's scripts.
function installBrowserAudioPolicy() {
  window.quorvexAudibleBuffers = 0;
  const Native = window.AudioContext;
  let gestured = false;
  for (const type of ['mousedown', 'keydown', 'pointerdown', 'touchstart']) {
    window.addEventListener(type, (e) => {
      if (e.isTrusted) gestured = true;
    }, true);
  }
  const activated = () => gestured;
  window.AudioContext = class extends Native {
    constructor(...args) {
      super(...args);
      if (!activated()) super.suspend();
    }
    resume() {
      return activated() ? super.resume() : Promise.resolve();
    }
  };
  const create = Native.prototype.createScriptProcessor;
  Native.prototype.createScriptProcessor = function (...args) {
    const node = create.apply(this, args);
    const slot = Object.getOwnPropertyDescriptor(ScriptProcessorNode.prototype, 'onaudioprocess');
    Object.defineProperty(node, 'onaudioprocess', {
      configurable: true,
      set(fn) {
        slot.set.call(node, (e) => {
          fn(e);
          const samples = e.outputBuffer.getChannelData(0);
          if (samples.some((v) => v !== 0)) ++window.quorvexAudibleBuffers;
        });
      },
      get() {
        return slot.get.call(node);
      },
    });
    return node;
  };
}

test('a new player types a name, starts an arcade game with the mouse, shoots, and the name ' +
     'survives a reload', async () => {
  const {context, page, errors} = await openPage('?events=/quorvex/events.jsonl',
                                                 {beforeLoad: installBrowserAudioPolicy});
  await waitForStart(page);

  // The name screen, as the player sees it on the canvas (the caret may blink: tolerance).
  await page.mouse.move(400, 300);
  const deadline = Date.now() + 30000;
  let different = -1;
  while (Date.now() < deadline) {
    const canvas = await page.screenshot({clip: {x: 0, y: 0, width: 800, height: 600}});
    different = await differentPixels(page, canvas, desktop[kScreens.name], kChannelSlack);
    if (different >= 0 && different <= kDifferentShare * 800 * 600) break;
    await sleep(250);
  }
  assert.ok(different >= 0 && different <= kDifferentShare * 800 * 600,
            `the canvas never showed the name screen (${different} pixels differ)`);
  const before = await page.evaluate(() => Module.SDL2 && Module.SDL2.audioContext &&
                                           Module.SDL2.audioContext.state);

  await enterName(page, 'Webby');
  await press(page, kStartRow);
  await sleep(700);
  await press(page, kArcadeRow);

  // A new player first reads how the game is played; Enter closes each explanation. Then the
  // shot: a click into the field.
  const events = async () => (await readGameText(page, 'events.jsonl'))
                               .split('\n').filter((l) => l).map((l) => JSON.parse(l));
  let shot = false;
  for (let i = 0; i < 40 && !shot; ++i) {
    await sleep(500);
    const seen = await events();
    if (!seen.some((e) => e.event === 'level_start')) {
      await page.keyboard.press('Enter');
      continue;
    }
    await press(page, {x: 400, y: 200});
    shot = (await events()).some((e) => e.event === 'shot');
  }
  const seen = await events();
  const start = seen.find((e) => e.event === 'level_start');
  assert.ok(start, 'no level started: ' + JSON.stringify(seen));
  assert.equal(start.type, 1, 'not arcade: ' + JSON.stringify(start));
  assert.ok(shot, 'no shot left the cannon: ' + JSON.stringify(seen));

  // Sound: the context runs once the page has had a gesture, and the mixer filled buffers.
  const audio = await page.evaluate(() => ({
    state: Module.SDL2 && Module.SDL2.audioContext && Module.SDL2.audioContext.state,
    audible: window.quorvexAudibleBuffers,
  }));
  assert.equal(before, 'suspended', 'the audio context before any gesture');
  assert.equal(audio.state, 'running');
  assert.ok(audio.audible > 0, 'the mixer played nothing');

  // A hidden tab pauses as focus loss does: the game falls silent until it is shown again.
  const audible = () => page.evaluate(() => window.quorvexAudibleBuffers);
  await setTabHidden(page, true);
  await sleep(600);
  const hiddenFrom = await audible();
  await sleep(1000);
  assert.equal(await audible(), hiddenFrom, 'sound went on in a hidden tab');
  await setTabHidden(page, false);
  await sleep(1000);
  assert.ok(await audible() > hiddenFrom, 'no sound after the tab was shown again');

  await page.waitForFunction(() => !Module.quorvexSyncing(), {timeout: 10000});
  await page.reload();
  await waitForStart(page);
  const stored = await page.evaluate(() => new Promise((resolve, reject) => {
    const open = indexedDB.open('/saves');
    open.onerror = () => reject(open.error);
    open.onsuccess = () => {
      const get = open.result.transaction('FILE_DATA').objectStore('FILE_DATA')
                      .get('/saves/players.txt');
      get.onerror = () => reject(get.error);
      get.onsuccess = () => resolve(get.result ? new TextDecoder().decode(get.result.contents) : '');
    };
  }));
  assert.match(stored, /^Webby, /m, 'players.txt in IndexedDB: ' + JSON.stringify(stored));
  const restored = new TextDecoder().decode(await readGameFile(page, 'players.txt'));
  assert.equal(restored, stored, 'the reloaded game folder holds another players.txt');
  assert.deepEqual(errors, []);
  await context.close();
});

test('the game\'s fullscreen switch takes the page fullscreen and back', async () => {
  const {context, page, errors} = await openPage('');
  await waitForStart(page);
  await sleep(5000);  // the logo and the loading
  await enterName(page, 'Fay');
  await press(page, kOptionsRow);
  await sleep(700);
  const fullscreen = () => page.evaluate(() => document.fullscreenElement !== null);
  assert.equal(await fullscreen(), false);
  await press(page, kFullscreenSwitch);
  await sleep(700);
  assert.equal(await fullscreen(), true, 'the switch did not take the page fullscreen');
  await press(page, kFullscreenSwitch);
  await sleep(700);
  assert.equal(await fullscreen(), false, 'the switch did not bring the page back');
  assert.deepEqual(errors, []);
  await context.close();
});

// A controller as the Gamepad API shows one: "standard" mapping, button 0 is A.
function installFakeGamepad() {
  const pad = {id: 'Test Pad (standard)', index: 0, connected: true, mapping: 'standard',
               timestamp: 1, axes: [0, 0, 0, 0],
               buttons: Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}))};
  navigator.getGamepads = () => [pad, null, null, null];
  window.quorvexPad = {
    connect() {
      const e = new Event('gamepadconnected');
      e.gamepad = pad;
      window.dispatchEvent(e);
    },
    set(button, down) {
      pad.buttons[button] = {pressed: down, touched: down, value: down ? 1 : 0};
      pad.timestamp += 1;
    },
  };
}

test('a connected controller\'s A button presses OK', async () => {
  const {context, page, errors} = await openPage('', {beforeLoad: installFakeGamepad});
  await waitForStart(page);
  await sleep(5000);  // the logo and the loading
  await page.evaluate(() => window.quorvexPad.connect());
  await page.keyboard.type('pad');
  await page.mouse.move(kOkButton.x, kOkButton.y);
  await sleep(300);
  await page.evaluate(() => window.quorvexPad.set(0, true));
  await sleep(300);
  await page.evaluate(() => window.quorvexPad.set(0, false));
  await sleep(1000);
  const players = await readGameText(page, 'players.txt');
  assert.match(players, /^pad, /m, 'the name was not taken: ' + JSON.stringify(players));
  assert.deepEqual(errors, []);
  await context.close();
});

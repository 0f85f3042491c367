// Figures of the browser build, printed as a table: the site's sizes (plain and gzipped), the
// load to the logo's first frame on a local server, and the cost of a tick of busy play (arcade
// level 30 by the built-in player, every frame drawn) in headless Chromium on each renderer,
// beside the desktop's headless run of the same ticks. Not a test: it measures.
//   QUORVEX_WEB_SITE=build-web/site QUORVEX_BINARY=build/src/quorvex QUORVEX_PACK=build/pack \
//   node tests/web/measure.mjs
import {execFileSync} from 'node:child_process';
import {mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync}
  from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {gzipSync} from 'node:zlib';

import puppeteer from 'puppeteer-core';

import {serveSite} from '../../scripts/web-serve.mjs';

const site = process.env.QUORVEX_WEB_SITE;
const binary = process.env.QUORVEX_BINARY;
const pack = process.env.QUORVEX_PACK;
const kRuns = 3;
const kFrom = 1000, kTo = 3000;  // ticks: level 30 starts at 514
const kPlayer = 'Ann, 30, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n';
const kPick = '300 click left 400 176\n330 click left 400 176\n360 click left 340 345\n';
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

const work = mkdtempSync(join(tmpdir(), 'quorvex-measure-'));
writeFileSync(join(work, 'pick.txt'), kPick);

console.log('| file | bytes | gzipped |\n|---|---|---|');
let plain = 0, packed = 0;
for (const f of readdirSync(site).sort()) {
  const bytes = readFileSync(join(site, f));
  const gz = gzipSync(bytes, {level: 9}).length;
  plain += bytes.length;
  packed += gz;
  console.log(`| ${f} | ${bytes.length} | ${gz} |`);
}
console.log(`| all | ${plain} | ${packed} |\n`);

const {server, url, stats} = await serveSite(site, {extra: {'/harness/': work}});
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-background-networking', '--disable-component-update',
         '--no-first-run', '--enable-unsafe-swiftshader'],
});

// Load: from navigation to the first screenshot whose middle shows the logo (bright pixels).
const loads = [];
let transferred = 0;
for (let i = 0; i < kRuns; ++i) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({width: 800, height: 600});
  const before = stats.bytes;
  const start = Date.now();
  await page.goto(url);
  for (;;) {
    const shot = await page.screenshot({clip: {x: 300, y: 130, width: 200, height: 180},
                                        encoding: 'base64', type: 'jpeg', quality: 60});
    const lit = await page.evaluate(async (b64) => {
      const image = await createImageBitmap(await (await fetch('data:image/jpeg;base64,' + b64)).blob());
      const c = new OffscreenCanvas(image.width, image.height);
      const g = c.getContext('2d');
      g.drawImage(image, 0, 0);
      const d = g.getImageData(0, 0, image.width, image.height).data;
      let n = 0;
      for (let k = 0; k < d.length; k += 4) if (d[k] + d[k + 1] + d[k + 2] > 450) ++n;
      return n;
    }, shot);
    if (lit > 500 && await page.evaluate(() => !!(window.Module && Module.calledRun))) break;
    if (Date.now() - start > 30000) throw new Error('no logo within 30 s');
  }
  loads.push(Date.now() - start);
  transferred = stats.bytes - before;
  await context.close();
}
console.log(`load to the logo's first frame: median ${median(loads)} ms of ${loads.join(', ')} ms; ` +
            `${transferred} bytes transferred (gzip)\n`);

// Busy play: milliseconds a tick costs between kFrom and kTo, the loop running flat out.
async function browserRun(renderer, ticks) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.goto(url + '?headless=1&ticks=1&no-sound=1');
  await page.waitForFunction(() => window.Module && Module.quorvexExitStatus !== undefined);
  await page.evaluate((line) => new Promise((resolve, reject) => {
    FS.writeFile('/saves/players.txt', line);
    FS.syncfs(false, (err) => (err ? reject(err) : resolve()));
  }), kPlayer);
  await page.goto(url + `?seed=1&virtual-clock=1&render-all=1&no-sound=1&autoplay=1&ticks=${ticks}` +
                  `&renderer=${renderer}&script=harness/pick.txt`);
  await page.waitForFunction(() => window.Module && Module.quorvexExitStatus !== undefined,
                             {timeout: 120000, polling: 50});
  const ms = await page.evaluate(() => Module.quorvexMainEnded - Module.quorvexMainStarted);
  await context.close();
  return ms;
}
function desktopRun(ticks) {
  const dir = join(work, 'desktop');
  rmSync(dir, {recursive: true, force: true});
  mkdirSync(dir);
  writeFileSync(join(dir, 'players.txt'), kPlayer);
  const start = process.hrtime.bigint();
  execFileSync(binary, ['--headless', '--pack', pack, '--dir', dir, '--seed', '1', '--autoplay',
                        '--render-all', '--ticks', String(ticks), '--script', join(work, 'pick.txt')]);
  return Number(process.hrtime.bigint() - start) / 1e6;
}
console.log(`| run | ms per tick, ticks ${kFrom}-${kTo} (median of ${kRuns}) |\n|---|---|`);
const rows = [['desktop headless (software rasteriser)', (t) => desktopRun(t)],
              ['browser, software canvas', (t) => browserRun('software', t)],
              ['browser, WebGL (SwiftShader)', (t) => browserRun('opengles2', t)]];
for (const [name, run] of rows) {
  const per = [];
  for (let i = 0; i < kRuns; ++i) per.push(((await run(kTo)) - (await run(kFrom))) / (kTo - kFrom));
  console.log(`| ${name} | ${median(per).toFixed(2)} (${per.map((x) => x.toFixed(2)).join(', ')}) |`);
}
await browser.close();
server.close();
rmSync(work, {recursive: true, force: true});

// The live preview in a real browser: `scenario-tool serve` on a copy of the
// embedded sources, Debian's chromium driven by playwright-core. A signal
// moved in the train file shows at its new place; a refused signal and a
// broken record show their diagnostics with file and line, the refused one
// linked to its mark; mended sources clear them; zoom, scroll and the open
// detail stay through every swap; Ctrl+C ends the server with status 0, and
// the page follows a server started again.
//
//   node preview_test.mjs PATH/TO/scenario-tool
import { strict as assert } from 'node:assert';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

import { browserArgs, startServe, stopServe } from './serve_session.mjs';

const tool = process.argv[2];
assert.ok(tool, 'usage: node preview_test.mjs PATH/TO/scenario-tool');
// Generous waits: the suite also runs with the sanitized tool.
const WAIT = { timeout: 20000 };

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'serve-browser-'));
const dir = path.join(work, 'my-line');
execFileSync(tool, ['sources', dir]);
const trainName = 'Orvale_Tresca_IC 417-.txt';
const trainPath = path.join(dir, trainName);
const original = fs.readFileSync(trainPath, 'latin1');

// As editors save: a temporary file renamed over the source.
function save(text) {
  const temporary = trainPath + '.tmp';
  fs.writeFileSync(temporary, text, 'latin1');
  fs.renameSync(temporary, trainPath);
}

// page.waitForFunction evaluates strings in the page, which the page's
// Content-Security-Policy refuses (as it should): poll with evaluate instead.
async function until(page, predicate, arg, what = 'condition') {
  const end = Date.now() + WAIT.timeout;
  for (;;) {
    if (await page.evaluate(predicate, arg)) return;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await new Promise((r) => setTimeout(r, 10));
  }
}

const titles = (page) =>
  page.evaluate(() => [...document.querySelectorAll('#drawing svg g > title')].map((t) => t.textContent));
const waitForTitle = (page, present, absent) =>
  until(
    page,
    ([want, gone]) => {
      const all = [...document.querySelectorAll('#drawing svg g > title')].map((t) => t.textContent);
      return all.includes(want) && (!gone || !all.includes(gone));
    },
    [present, absent],
    `"${present}" on the drawing`,
  );
const diagnostics = (page) => page.$$eval('#diagnostics li', (items) => items.map((li) => li.textContent));

let serve;
let context;
let failed = false;
try {
  serve = await startServe(tool, [dir, '--port', '0']);
  context = await chromium.launchPersistentContext(path.join(work, 'profile'), {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: browserArgs,
    viewport: { width: 1200, height: 800 },
  });
  const page = context.pages()[0] ?? (await context.newPage());
  const pageErrors = [];
  page.on('pageerror', (e) => pageErrors.push(String(e)));
  await page.goto(serve.url);
  await page.waitForSelector('#drawing svg', WAIT);
  assert.ok((await titles(page)).includes('Signal, km 16+300'));
  assert.match(await page.textContent('#status'), /Sources read .* compile .* ms · drawing current/);
  assert.equal(await page.isHidden('#problems'), true);

  // Zoom in twice, scroll, open the detail of a mark.
  const baseWidth = Number(await page.getAttribute('#drawing svg', 'width'));
  await page.click('#zoom-in');
  await page.click('#zoom-in');
  assert.equal(await page.textContent('#zoom-level'), '156 %');
  const zoomedWidth = Number(await page.getAttribute('#drawing svg', 'width'));
  assert.equal(zoomedWidth, baseWidth * 1.5625);
  await page.evaluate(() => {
    const s = document.getElementById('drawing');
    s.scrollLeft = 400;
    s.scrollTop = 150;
  });
  await page.evaluate(() => {
    const title = [...document.querySelectorAll('#drawing svg g > title')].find((t) => t.textContent === 'Signal, km 2+050');
    title.parentNode.dispatchEvent(new MouseEvent('click', { bubbles: true }));
  });
  assert.equal(await page.textContent('#detail-text'), 'Signal, km 2+050');
  const kept = async (what) => {
    assert.equal(Number(await page.getAttribute('#drawing svg', 'width')), zoomedWidth, `zoom kept ${what}`);
    assert.equal(await page.textContent('#zoom-level'), '156 %', `zoom shown ${what}`);
    const scroll = await page.evaluate(() => [document.getElementById('drawing').scrollLeft, document.getElementById('drawing').scrollTop]);
    assert.deepEqual(scroll, [400, 150], `scroll kept ${what}`);
    assert.equal(await page.isVisible('#detail'), true, `detail open ${what}`);
    assert.equal(await page.$$eval('#drawing svg .selected > title', (t) => t.map((x) => x.textContent).join()), 'Signal, km 2+050', `detail's mark ${what}`);
  };

  // 1. A signal moved in the train file: drawn at its new place.
  const moved = original.replace('segnale,   16300', 'segnale,   16900');
  save(moved);
  await waitForTitle(page, 'Signal, km 16+900', 'Signal, km 16+300');
  await kept('after the move');

  // 2. A signal on a cell already taken: its diagnostic with file and line,
  //    a link to its mark on the drawing.
  save(moved.replace('[codici]', 'segnale,   47500,   1, 4, 1,  0, 0,    1,  2,1,0, 0\r\n[codici]'));
  await page.waitForSelector('#diagnostics li a', WAIT);
  let lines = await diagnostics(page);
  assert.equal(lines.length, 1);
  assert.equal(lines[0], `${trainPath}:96: error 16: signal refused: its cell is taken or outside the grid (at 47500 m, km 47+500)`);
  await page.waitForSelector('#drawing svg #diagnostic-0', WAIT);
  await page.click('#diagnostics li a');
  await page.waitForSelector('#diagnostic-0.highlighted', WAIT);
  const inView = await page.evaluate(() => {
    const box = document.getElementById('diagnostic-0').querySelector('rect').getBoundingClientRect();
    const view = document.getElementById('drawing').getBoundingClientRect();
    return box.left >= view.left && box.right <= view.right;
  });
  assert.ok(inView, 'the mark was brought into view');
  // Back where the test keeps the view.
  await page.evaluate(() => {
    const s = document.getElementById('drawing');
    s.scrollLeft = 400;
    s.scrollTop = 150;
  });

  // 3. A broken record: its file and line.
  save(moved.replace('segnale,   16900,   1, 4', 'segnale,   16900,   1, x'));
  await until(page, () => [...document.querySelectorAll('#diagnostics li')].some((li) => li.textContent.includes(':60: error 25:')), null, 'the diagnostic of line 60');
  lines = await diagnostics(page);
  assert.deepEqual(lines, [`${trainPath}:60: error 25: record could not be read: 'x' is not a whole number`]);
  assert.equal(await page.isVisible('#problems'), true);

  // 4. Sources that make no drawing: the last good one stays, the page says so.
  save(moved.replace('segnale,    2050', 'segnale,       0'));
  await until(page, () => document.getElementById('problems-title').textContent === 'The sources do not compile', null, 'the fatal end');
  assert.match(await page.textContent('#status'), /drawing NOT current: last good from/);
  assert.match(await page.textContent('#problems-note'), /fatal error 1250/);
  assert.ok((await titles(page)).includes('Signal, km 2+050'), 'the last good drawing stays');

  // 5. Mended: the diagnostics go, the drawing is current, the view is kept.
  save(moved);
  await page.waitForSelector('#problems', { state: 'hidden', ...WAIT });
  await until(page, () => /drawing current/.test(document.getElementById('status').textContent), null, 'a current drawing');
  await until(page, () => window.preview.shown === window.preview.state.drawing.version, null, 'the mended drawing');
  assert.equal(await page.$$eval('#drawing svg .diagnostic-mark', (m) => m.length), 0);
  assert.deepEqual(await diagnostics(page), []);
  await kept('after the mend');

  // 6. The server stopped and started again on its port: the page finds it
  //    and follows its drawings, whose versions start again from 1.
  assert.equal(await stopServe(serve), 0, 'SIGINT ends the server with status 0');
  const port = new URL(serve.url).port;
  serve = null;
  await until(page, () => /Not connected/.test(document.getElementById('status').textContent), null, 'the page sees the server go');
  save(original);
  serve = await startServe(tool, [dir, '--port', port]);
  await waitForTitle(page, 'Signal, km 16+300', 'Signal, km 16+900');
  await kept('after the restart');

  assert.deepEqual(pageErrors, []);
  assert.deepEqual(fs.readdirSync(dir).sort(), ['Orvale_Tresca_IC 417-.txt', 'Orvale_Tresca_linea.txt'], 'nothing written into the folder');
} catch (e) {
  failed = true;
  console.error(e);
} finally {
  if (context) await context.close().catch(() => {});
  if (serve) {
    const status = await stopServe(serve);
    if (!failed && status !== 0) {
      console.error(`scenario-tool serve ended with status ${status} after SIGINT\n${serve.stderr()}`);
      failed = true;
    }
  }
  fs.rmSync(work, { recursive: true, force: true });
}
process.exit(failed ? 1 : 0);

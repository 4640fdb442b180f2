// The live preview's latency in a real browser, from the moment a save's
// bytes are on disk (the rename that editors end a save with has returned) to
// the moment the new drawing is in the page's DOM, median over SAVES saves,
// for the embedded scenario and the generated 1000000 m line, with its parts:
//   debounce  the bytes on disk to the sources read (the notification and the
//             quiet period)
//   compile   the compile in memory
//   render    decoding the binaries and drawing the SVG
//   transfer  the state published to the drawing fetched by the page (the
//             event pushed, the SVG asked for and received)
//   swap      the SVG parsed and put in place of the old one
// and, besides, the median time until the next frame has been laid out and
// painted with the new drawing.
//
//   node bench/serve_latency.mjs SCENARIO_TOOL WRITE_GENERATED [SAVES]
import fs from 'node:fs';
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';

import { browserArgs, startServe, stopServe } from '../tests/tools/serve/browser/serve_session.mjs';

const require = createRequire(new URL('../tests/tools/serve/browser/package.json', import.meta.url));
const { chromium } = require('playwright-core');

const [tool, writeGenerated, savesArg] = process.argv.slice(2);
const SAVES = Number(savesArg ?? 21);
const now = () => performance.timeOrigin + performance.now();
const median = (values) => {
  const v = [...values].sort((a, b) => a - b);
  return v.length % 2 ? v[(v.length - 1) / 2] : (v[v.length / 2 - 1] + v[v.length / 2]) / 2;
};

async function measure(name, dir, from, to, context) {
  const train = path.join(dir, 'Orvale_Tresca_IC 417-.txt');
  const original = fs.readFileSync(train, 'latin1');
  if (!original.includes(from)) throw new Error(`no "${from}" in ${train}`);
  const serve = await startServe(tool, [dir, '--port', '0']);
  const page = await context.newPage();
  const rows = [];
  try {
    await page.goto(serve.url);
    await page.waitForSelector('#drawing svg', { timeout: 60000 });
    for (let i = 0; i <= SAVES; ++i) {
      const shown = await page.evaluate(() => window.previewTimings.length);
      const text = i % 2 === 0 ? original.replace(from, to) : original;
      fs.writeFileSync(train + '.tmp', text, 'latin1');
      fs.renameSync(train + '.tmp', train);
      const onDisk = now();
      const end = Date.now() + 30000;
      let t;
      while (!(t = await page.evaluate((n) => window.previewTimings[n], shown)) || !t.painted) {
        if (Date.now() > end) throw new Error(`${name}: save ${i} never reached the page`);
        await new Promise((r) => setTimeout(r, 5));
      }
      // The first save warms the page and the server up.
      if (i > 0)
        rows.push({
          total: t.swapped - onDisk,
          debounce: t.read_at - onDisk,
          compile: t.compile_ms,
          render: t.render_ms,
          transfer: t.fetched - t.published_at,
          swap: t.swapped - t.fetched,
          painted: t.painted - onDisk,
        });
      await new Promise((r) => setTimeout(r, 60));
    }
  } finally {
    fs.writeFileSync(train, original, 'latin1');
    await page.close();
    await stopServe(serve);
  }
  const parts = ['debounce', 'compile', 'render', 'transfer', 'swap'];
  const f = (x) => x.toFixed(1).padStart(6);
  console.log(
    `${name.padEnd(26)} save to DOM: median ${f(median(rows.map((r) => r.total)))} ms over ${rows.length} saves  (` +
      parts.map((p) => `${p} ${median(rows.map((r) => r[p])).toFixed(1)}`).join(', ') +
      ` ms, medians of each part); on screen (laid out and painted) ${median(rows.map((r) => r.painted)).toFixed(1)} ms`,
  );
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'serve-bench-'));
const context = await chromium.launchPersistentContext(path.join(work, 'profile'), {
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: browserArgs,
  viewport: { width: 1400, height: 900 },
});
try {
  const embedded = path.join(work, 'embedded');
  execFileSync(tool, ['sources', embedded]);
  await measure('embedded (155000 m)', embedded, 'segnale,   16300', 'segnale,   16900', context);
  const generated = path.join(work, 'generated');
  execFileSync(writeGenerated, [generated, '1000000']);
  await measure('generated line (1000000 m)', generated, 'segnale, 250,', 'segnale, 300,', context);
} finally {
  await context.close();
  fs.rmSync(work, { recursive: true, force: true });
}

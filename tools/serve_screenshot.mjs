// Makes docs/serve-preview.png: the live preview's page in headless chromium
// with one diagnostic showing (a signal refused at 47500 m) and its mark
// brought into view.
//   node tools/serve_screenshot.mjs build/bin/scenario-tool docs/serve-preview.png
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';

import { browserArgs, startServe, stopServe } from '../tests/tools/serve/browser/serve_session.mjs';

const require = createRequire(new URL('../tests/tools/serve/browser/package.json', import.meta.url));
const { chromium } = require('playwright-core');
const [tool, output] = process.argv.slice(2);

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'serve-shot-'));
const dir = path.join(work, 'my-line');
execFileSync(tool, ['sources', dir]);
const train = path.join(dir, 'Orvale_Tresca_IC 417-.txt');
fs.writeFileSync(train, fs.readFileSync(train, 'latin1').replace('[codici]', 'segnale,   47500,   1, 4, 1,  0, 0,    1,  2,1,0, 0\r\n[codici]'), 'latin1');
// From the folder above, so that the page names the file as an author would.
const serve = await startServe(path.resolve(tool), ['my-line', '--port', '0'], { cwd: work });
const context = await chromium.launchPersistentContext(path.join(work, 'profile'), {
  executablePath: '/usr/bin/chromium', headless: true, args: browserArgs, viewport: { width: 1280, height: 760 },
});
try {
  const page = context.pages()[0] ?? (await context.newPage());
  await page.goto(serve.url);
  await page.waitForSelector('#drawing svg #diagnostic-0');
  await page.click('#diagnostics li a');
  await page.waitForTimeout(2500);  // the highlight's pulse ends
  await page.screenshot({ path: output });
} finally {
  await context.close();
  await stopServe(serve);
  fs.rmSync(work, { recursive: true, force: true });
}

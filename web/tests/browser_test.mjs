// The page in headless Chromium, used as a person uses it: keys typed into
// the terminal, values put into the form, buttons pressed; what the
// terminal's rows and the result boxes show is compared with what the
// console program shows and writes for the same keys and values.
//
// Usage: node browser_test.mjs SITE NATIVE_PROGRAM NPM_FOLDER [SCREENSHOT]
//   SITE            the assembled site (build-web/site)
//   NATIVE_PROGRAM  the console program to compare with (build/angleconv)
//   NPM_FOLDER      where npm ci installed puppeteer-core (build-web/npm)
//   SCREENSHOT      where to save the picture of the page for the README
// A failing case saves a screenshot and its log in build-web/browser-test/.
// Ends with "N passed, N failed"; exits 1 on any failure or on any error in
// the browser's console.
import { dialogueCases, batchValues } from './cases.mjs';
import { hostileTests } from './hostile_tests.mjs';
import {
  launchBrowser, closeBrowser, openPage, check, expect, pause, tally, typeKeys, runEnded, newRun, waitForScreen,
  consoleTranscripts, convertInForm, compareBatch, nativeBatch, caseTimeout,
} from './page_driver.mjs';
import { serveSite } from './static_server.mjs';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const [site, native, npmFolder, screenshotPath] = process.argv.slice(2);
const server = await serveSite(site);
const address = `http://127.0.0.1:${server.address().port}/`;
const browser = await launchBrowser(npmFolder, native, site);

async function dialogueTests(page) {
  const transcripts = consoleTranscripts(dialogueCases);
  for (const [index, { name, steps }] of dialogueCases.entries()) {
    const shown = transcripts[index];
    const ok = await check(`dialogue ${name}`, page, async (log) => {
      for (const [step, keys] of steps.entries()) {
        log(`step ${step}: ${JSON.stringify(keys)}`);
        await waitForScreen(page, shown.before_steps[step], `before step ${step}`);
        await typeKeys(page, keys);
      }
      const status = await runEnded(page);
      await waitForScreen(page, shown.end, 'at the end');
      expect(status === shown.status, `exit status ${status}, the console program's ${shown.status}`);
      await newRun(page);
      await waitForScreen(page, shown.before_steps[0], 'the new run');
    });
    if (!ok) await page.reload();
  }
}

async function formTests(page) {
  const units = ['rad', 'g', 'd'];
  for (const from of units) {
    for (const to of units) {
      await check(`form ${from} to ${to}`, page, async () => {
        const text = batchValues(from, 3000, `${from}${to}`);
        compareBatch(await convertInForm(page, from, to, text), nativeBatch(from, to, text));
      });
    }
  }
}

async function copyAndDownload(page) {
  await check('copy and download', page, async () => {
    const text = batchValues('d', 500, 'copy');
    const expected = nativeBatch('d', 'rad', text);
    await convertInForm(page, 'd', 'rad', text);
    await page.click('#copy');
    await page.waitForFunction(() => /copied/.test(document.getElementById('batch-status').value));
    const copied = await page.evaluate(() => navigator.clipboard.readText());
    expect(copied === expected.stdout.toString('latin1'), 'the copied text differs from the results');
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'angleconv-download-'));
    const session = await page.createCDPSession();
    await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
    await page.click('#download');
    const file = path.join(folder, 'angleconv-d-to-rad.txt');
    const deadline = Date.now() + caseTimeout;
    while (!fs.existsSync(file) && Date.now() < deadline) await pause(50);
    expect(fs.existsSync(file), 'no file was downloaded');
    expect(Buffer.compare(fs.readFileSync(file), expected.stdout) === 0, 'the downloaded file differs');
    fs.rmSync(folder, { recursive: true });
  });
}

// A plain message, never a blank page: the .wasm blocked, JavaScript off.
async function loadingTests() {
  const blocked = await openPage(browser, { watchConsole: false });
  await check('the .wasm blocked', blocked, async () => {
    await blocked.setRequestInterception(true);
    blocked.on('request', (request) => (request.url().endsWith('.wasm') ? request.abort() : request.continue()));
    await blocked.goto(address);
    await blocked.waitForSelector('#load-failure:not([hidden])', { visible: true, timeout: caseTimeout });
  });
  await blocked.close();
  const noScript = await openPage(browser, { watchConsole: false });
  await check('JavaScript off', noScript, async () => {
    await noScript.setJavaScriptEnabled(false);
    await noScript.goto(address);
    const text = await noScript.$eval('body', (body) => body.innerText);
    expect(/needs JavaScript/.test(text), `the page without JavaScript shows:\n${text}`);
  });
  await noScript.close();
}

// The page's weight in gzip and the time from navigation to the first prompt.
async function figures() {
  const page = await openPage(browser);
  server.loaded.clear();
  await page.goto(address);
  await page.waitForFunction(() => document.querySelector('#terminal .xterm-rows')?.textContent
    .includes('Enter the original unit'), { polling: 'mutation', timeout: caseTimeout });
  const firstPrompt = await page.evaluate(() => performance.now());
  const weight = [...server.loaded.values()].reduce((sum, size) => sum + size, 0);
  tally.figures.push(`page weight: ${(weight / 1024).toFixed(1)} KiB in gzip (${
    [...server.loaded.keys()].join(', ')})`, `first prompt: ${Math.round(firstPrompt)} ms after navigation`);
  if (screenshotPath) {
    await typeKeys(page, ['rad\r', '1\r', 'd\r']);
    await convertInForm(page, 'rad', 'd', '1\n-0.5\n3.14159\nabc\n');
    await page.focus('#terminal textarea');
    await page.screenshot({ path: screenshotPath, fullPage: true });
  }
  await page.close();
}

await browser.defaultBrowserContext().overridePermissions(address,
  ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
const page = await openPage(browser);
await page.goto(address);
await dialogueTests(page);
await formTests(page);
await copyAndDownload(page);
await hostileTests(page, native);
await page.close();
await loadingTests();
await figures();
await closeBrowser(browser);
server.close();

for (const line of tally.figures) console.log(line);
for (const error of tally.consoleErrors) console.log(`error in the browser's console: ${error}`);
if (tally.consoleErrors.length) tally.failed += 1;
console.log(`${tally.passed} passed, ${tally.failed} failed`);
process.exit(tally.failed ? 1 : 0);

// What the browser test does with the page, as a person would: Chromium
// started on a fresh profile, keys typed into the terminal, its rows read
// back, values put into the form and its boxes read; and the console
// program run on the same keys and values for the comparison.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
export const caseTimeout = 30000;
export const tally = { passed: 0, failed: 0, consoleErrors: [], figures: [] };
let failureFolder;
let native;

export async function launchBrowser(npmFolder, nativeProgram, site) {
  native = nativeProgram;
  failureFolder = path.resolve(site, '..', 'browser-test');
  fs.rmSync(failureFolder, { recursive: true, force: true });
  const puppeteer = createRequire(path.resolve(npmFolder, 'package.json'))('puppeteer-core');
  const userData = fs.mkdtempSync(path.join(os.tmpdir(), 'angleconv-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${userData}`],
  });
  browser.userData = userData;
  return browser;
}

export async function closeBrowser(browser) {
  await browser.close();
  fs.rmSync(browser.userData, { recursive: true, force: true, maxRetries: 10, retryDelay: 100 });
}

export async function openPage(browser, { watchConsole = true } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 900 });
  if (watchConsole) {
    page.on('console', (message) => {
      if (message.type() === 'error') tally.consoleErrors.push(message.text());
    });
    page.on('pageerror', (error) => tally.consoleErrors.push(String(error)));
  }
  return page;
}

// One case: a failure is counted, logged and photographed; the run goes on.
// BROWSER_TEST_CASES=REGEX runs only the cases whose name it matches.
export async function check(name, page, body) {
  if (process.env.BROWSER_TEST_CASES && !new RegExp(process.env.BROWSER_TEST_CASES).test(name)) return true;
  const log = [];
  try {
    await body((line) => log.push(line));
    tally.passed += 1;
    return true;
  } catch (error) {
    tally.failed += 1;
    fs.mkdirSync(failureFolder, { recursive: true });
    const file = path.join(failureFolder, name.replace(/[^\w-]+/g, '_'));
    fs.writeFileSync(`${file}.log`, `${error.stack}\n${log.join('\n')}\n`);
    await page?.screenshot({ path: `${file}.png` }).catch(() => {});
    console.log(`FAILED ${name}: ${error.message.split('\n')[0]} (${file}.log)`);
    return false;
  }
}

export function expect(condition, message) {
  if (!condition) throw new Error(message);
}

export const pause = (milliseconds) => new Promise((resolve) => setTimeout(resolve, milliseconds));

// ------------------------------------------------------------ the terminal

// The rows a terminal of `cols` columns shows for `text` (the bytes a
// program and the echo wrote): CR, LF, Backspace, wrapping at the edge.
export function screenOf(text, cols) {
  const rows = [[]];
  let row = 0;
  let column = 0;
  for (const character of text) {
    if (character === '\r') column = 0;
    else if (character === '\n') rows[++row] ??= [];
    else if (character === '\b') column = Math.max(0, column - 1);
    else if (character === '\t') column = Math.min(cols - 1, (Math.floor(column / 8) + 1) * 8);
    else {
      if (column >= cols) {
        rows[++row] ??= [];
        column = 0;
      }
      rows[row][column++] = character;
    }
  }
  return rows.map((cells) => Array.from(cells, (cell) => cell ?? ' ').join(''));
}

// The report's address is where the failing statement is in each program's
// own code: it differs between the console program and the WebAssembly one.
const withoutAddress = (row) => row.replace(/( at )[0-9A-F]{8}\./, '$1ADDRESS.');
export const trimmed = (rows) => {
  const shown = rows.map((row) => withoutAddress(row.replace(/\u00a0/g, ' ').trimEnd()));
  while (shown.length && shown.at(-1) === '') shown.pop();
  return shown;
};

export async function terminalRows(page) {
  return page.$$eval('#terminal .xterm-rows > div', (rows) => rows.map((row) => row.textContent));
}

// The last rows of the console's text, as many as the terminal shows.
export async function expectedRows(page, text) {
  const { cols, rows } = await page.$eval('#terminal', (element) => ({
    cols: Number(element.dataset.columns),
    rows: element.querySelector('.xterm-rows').children.length,
  }));
  const all = screenOf(text, cols);
  return trimmed(all.slice(Math.max(0, all.length - rows)));
}

export async function waitForScreen(page, text, what) {
  const expected = await expectedRows(page, text);
  const deadline = Date.now() + caseTimeout;
  let shown;
  while (Date.now() < deadline) {
    shown = trimmed(await terminalRows(page));
    if (JSON.stringify(shown) === JSON.stringify(expected)) return;
    await pause(20);
  }
  throw new Error(`${what}: the terminal shows\n${shown.join('\n')}\n--- where the console shows\n${
    expected.join('\n')}`);
}

export async function typeKeys(page, keys) {
  for (const key of keys) {
    if (key === '\r') await page.keyboard.press('Enter');
    else if (key === '\x7f') await page.keyboard.press('Backspace');
    else if (key === '\x04' || key === '\x03') {
      await page.keyboard.down('Control');
      await page.keyboard.press(key === '\x04' ? 'KeyD' : 'KeyC');
      await page.keyboard.up('Control');
    } else await page.keyboard.type(key);
  }
}

export async function runEnded(page) {
  await page.waitForFunction(() => !document.getElementById('new-run').hidden, { timeout: caseTimeout });
  const status = await page.$eval('#run-status', (output) => output.value);
  if (/Ctrl-C/.test(status)) return 130;
  return Number(/exit status (\d+)/.exec(status)[1]);
}

export async function newRun(page) {
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => document.getElementById('new-run').hidden, { timeout: caseTimeout });
}

export function consoleTranscripts(cases) {
  const answer = spawnSync('python3', [path.join(here, 'console_transcripts.py'), native], {
    input: JSON.stringify(cases.map((one) => one.steps)), maxBuffer: 1 << 26, encoding: 'utf8',
  });
  if (answer.status !== 0) throw new Error(`console_transcripts.py failed: ${answer.stderr}`);
  return JSON.parse(answer.stdout);
}

// ------------------------------------------------------------ the form

export function nativeBatch(from, to, input) {
  const run = spawnSync(native, ['--from', from, '--to', to], { input, maxBuffer: 1 << 28 });
  return { stdout: run.stdout, stderr: run.stderr.toString('latin1'), status: run.status };
}

export async function fillForm(page, from, to, text) {
  await page.select('#from', from);
  await page.select('#to', to);
  await page.$eval('#values', (area, value) => {
    area.value = value;
    area.dispatchEvent(new Event('input', { bubbles: true }));
  }, text);
}

// The form filled, Convert pressed, and what the page then shows.
export async function convertInForm(page, from, to, text) {
  if (text !== undefined) await fillForm(page, from, to, text);
  await page.$eval('#batch-status', (output) => { output.value = ''; });
  await page.click('#convert');
  await page.waitForFunction(() => /Exit status/.test(document.getElementById('batch-status').value),
    { timeout: 120000 });
  return page.evaluate(() => ({
    results: document.getElementById('results').value,
    errors: document.getElementById('errors').value,
    status: Number(/Exit status (\d+)/.exec(document.getElementById('batch-status').value)[1]),
  }));
}

export function compareBatch(shown, expected) {
  expect(shown.results === expected.stdout.toString('latin1'), 'the results differ from the console program\'s');
  expect(shown.errors === expected.stderr, `the errors differ:\n${shown.errors.slice(0, 500)}\n---\n${
    expected.stderr.slice(0, 500)}`);
  expect(shown.status === expected.status, `exit status ${shown.status}, the console program's ${expected.status}`);
}


// The page used roughly: a megabyte pasted into the terminal, keys typed
// while a run ends, fifty runs one after another, the window resized in
// the middle of a run, 100,000 values in the form. Nothing may hang, lose
// a byte, or hold the page still for more than a moment.
import { spawnSync } from 'node:child_process';
import { batchValues } from './cases.mjs';
import {
  check, expect, pause, tally, typeKeys, runEnded, newRun, waitForScreen, terminalRows, trimmed,
  consoleTranscripts, fillForm, convertInForm, compareBatch, nativeBatch,
} from './page_driver.mjs';

const firstPrompt = 'Enter the original unit of angle (rad/g/d)\r\n';

async function paste(page, text) {
  await page.$eval('#terminal textarea', (area, data) => {
    const transfer = new DataTransfer();
    transfer.setData('text/plain', data);
    area.dispatchEvent(new ClipboardEvent('paste', { clipboardData: transfer, bubbles: true, cancelable: true }));
  }, text);
}

// The longest stretch, in milliseconds, in which the page ran no timer
// while `action` went on: how long the page was held still.
async function longestStill(page, action) {
  await page.evaluate(() => {
    window.stillProbe = { last: performance.now(), longest: 0, progressShown: false };
    window.stillProbe.timer = setInterval(() => {
      const now = performance.now();
      window.stillProbe.longest = Math.max(window.stillProbe.longest, now - window.stillProbe.last);
      window.stillProbe.last = now;
      if (!document.getElementById('progress').hidden) window.stillProbe.progressShown = true;
    }, 10);
  });
  const started = Date.now();
  await action();
  const took = Date.now() - started;
  const probe = await page.evaluate(() => {
    clearInterval(window.stillProbe.timer);
    return window.stillProbe;
  });
  return { ...probe, took };
}

// A line of a megabyte, longer than any token the program takes: it ends
// the run as it ends the console program's from a pipe.
async function megabytePasted(page, native) {
  return check('1 MB pasted at a number prompt', page, async () => {
    const number = `1${'0'.repeat((1 << 20) - 1)}`;
    const run = spawnSync(native, [], { input: `rad\n${number}\n` });
    const lastLine = `${run.stdout}${run.stderr}`.trimEnd().split('\r\n').at(-1);
    await typeKeys(page, ['rad\r']);
    let status;
    const still = await longestStill(page, async () => {
      await paste(page, `${number}\r`);
      status = await runEnded(page);
    });
    tally.figures.push(`1 MB paste: ${still.took} ms, the page held still ${Math.round(still.longest)} ms at most`);
    expect(still.longest < 5000, `the page was held still for ${Math.round(still.longest)} ms`);
    expect(status === run.status, `exit status ${status}, the console program's ${run.status}`);
    await page.waitForFunction((line) => [...document.querySelectorAll('#terminal .xterm-rows > div')]
      .some((row) => row.textContent.replace(/\u00a0/g, ' ').trimEnd() === line), { timeout: 60000 }, lastLine);
    await newRun(page);
  });
}

// Keys typed on after the line that ends a run: once it has ended, Enter
// starts the next run, which takes what follows; keys before that Enter
// belong to no run.
async function keysWhileEnding(page) {
  return check('keys typed while a run ends', page, async () => {
    await waitForScreen(page, firstPrompt, 'the first prompt');
    await typeKeys(page, ['g\r', '1\r', 'g\r', '\rrad\r1\r']);
    // The echo of the 1 may come before the next run's first prompt, as
    // on a terminal when keys are typed ahead of a program.
    await page.waitForFunction(() => document.querySelector('#terminal .xterm-rows').textContent
      .includes('Enter the angle value'), { timeout: 30000 });
    const rows = trimmed(await terminalRows(page));
    const text = rows.join('\n').replace('(rad/g/d)', '');
    expect(text.split('1').length === 2 && !text.includes('rad'),
      `the next run shows:\n${rows.join('\n')}`);
    await typeKeys(page, '\x03');
    expect(await runEnded(page) === 130, 'Ctrl-C did not end the next run');
    await newRun(page);
  });
}

async function fiftyRuns(page) {
  return check('fifty runs, the heap measured', page, async () => {
    const session = await page.createCDPSession();
    const heap = async () => {
      await session.send('HeapProfiler.collectGarbage');
      const usage = await session.send('Runtime.getHeapUsage');
      return usage.usedSize + (usage.backingStorageSize ?? 0);
    };
    let before = 0;
    for (let run = 1; run <= 50; run += 1) {
      await waitForScreen(page, firstPrompt, `run ${run}`);
      await typeKeys(page, ['rad\r1\rd\r\r']);
      expect(await runEnded(page) === 0, `run ${run} did not end with 0`);
      await newRun(page);
      if (run === 10) before = await heap();
    }
    const after = await heap();
    tally.figures.push(`heap after run 10: ${(before / 2 ** 20).toFixed(1)} MiB, after run 50: ${
      (after / 2 ** 20).toFixed(1)} MiB`);
    expect(after - before < 2 ** 21, `the heap grew by ${after - before} bytes in 40 runs`);
  });
}

async function resizedMidRun(page) {
  const steps = ['rad\r', '-1\r', 'd\r', '\r'];
  const [shown] = consoleTranscripts([{ steps }]);
  return check('the window resized in the middle of a run', page, async () => {
    await waitForScreen(page, shown.before_steps[0], 'the first prompt');
    await typeKeys(page, steps[0]);
    await page.setViewport({ width: 360, height: 740 });
    await page.waitForFunction(() => Number(document.getElementById('terminal').dataset.columns) < 60);
    await waitForScreen(page, shown.before_steps[1], 'on a narrow screen');
    await typeKeys(page, steps[1]);
    await typeKeys(page, steps[2]);
    await page.setViewport({ width: 1100, height: 900 });
    await page.waitForFunction(() => Number(document.getElementById('terminal').dataset.columns) === 80);
    await waitForScreen(page, shown.before_steps[3], 'back on a wide screen');
    await typeKeys(page, steps[3]);
    expect(await runEnded(page) === shown.status, 'another exit status');
    await waitForScreen(page, shown.end, 'at the end');
    await newRun(page);
  });
}

async function hundredThousandValues(page) {
  return check('100,000 values in the form', page, async () => {
    const text = batchValues('rad', 100000, 'many');
    const expected = nativeBatch('rad', 'g', text);
    await fillForm(page, 'rad', 'g', text);
    let shown;
    const still = await longestStill(page, async () => {
      shown = await convertInForm(page, 'rad', 'g');
    });
    const firstLines = expected.stdout.toString('latin1').split(/(?<=\n)/).slice(0, 5000).join('');
    compareBatch({ ...shown, results: shown.results === firstLines ? expected.stdout.toString('latin1') : '' },
      expected);
    await page.click('#copy');
    const copied = await page.evaluate(() => navigator.clipboard.readText());
    expect(copied === expected.stdout.toString('latin1'), 'the copied results differ');
    tally.figures.push(`100,000 values in the form: ${still.took} ms, the page held still ${
      Math.round(still.longest)} ms at most, progress shown: ${still.progressShown}`);
    expect(still.longest < 1000, `the page was held still for ${Math.round(still.longest)} ms`);
    expect(still.took < 700 || still.progressShown, 'no progress was shown');
  });
}

export async function hostileTests(page, native) {
  const tests = [megabytePasted, keysWhileEnding, fiftyRuns, resizedMidRun, hundredThousandValues];
  for (const test of tests) {
    await page.click('#terminal');
    if (!await test(page, native)) await page.reload();
  }
}

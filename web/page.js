// The glue between the page and the angleconv program.
//
// A key pressed in the terminal arrives in onKeys, which acts as a
// terminal's line discipline: it echoes the key, edits the line on
// Backspace and, on Enter, queues the line for the program. The program's
// ReadFile on standard input waits in readTerminal until a line is queued;
// what the program writes comes back through writeTerminal to the screen.
// Each run is a new instance of the program; the form below the terminal
// runs the batch mode (--from, --to) on the text area's bytes.

const encoder = new TextEncoder();
const decoder = new TextDecoder();
const endOfInput = new Uint8Array(0);
const echoPieceLength = 4096;
const interruptedStatus = 130; // what a shell reports for a run ended by Ctrl-C
// The form hands the program its text in blocks this large, each in a task
// of its own: a block converts in a few tens of milliseconds, so the page
// answers keys and paints in between, however long the text.
const batchBlockBytes = 4096;
// The results box shows this many lines at most; Copy and Download give all.
const shownResultLines = 5000;

const element = (id) => document.getElementById(id);

let Terminal;
let createAngleconv;
try {
  [{ Terminal }, { default: createAngleconv }] = await Promise.all([
    import('./xterm.js'),
    import('./angleconv.js'),
  ]);
} catch (failure) {
  showLoadFailure(failure);
}

function showLoadFailure(failure) {
  element('load-failure').hidden = false;
  element('run-status').value = 'The program could not be loaded.';
  element('convert').disabled = true;
  console.warn('angleconv could not be loaded:', failure);
}

// Options common to every instance of the program: where its .wasm is.
function programOptions(options) {
  return { ...options, locateFile: (path) => new URL(path, import.meta.url).href };
}

// ---------------------------------------------------------------- terminal

const terminal = Terminal && new Terminal({
  cols: 80,
  rows: 24,
  screenReaderMode: true,
  cursorBlink: true,
  fontFamily: 'ui-monospace, "DejaVu Sans Mono", monospace',
  fontSize: 15,
  scrollback: 1000,
});

// The run in the terminal: its queue of typed lines (each a Uint8Array, or
// endOfInput for Ctrl-D), the program's read waiting for one, the line
// being typed, and whether it has ended.
let run = null;

function startTerminalRun() {
  // The reset goes after whatever the last run wrote, which the terminal
  // may not have drawn yet.
  terminal.write('\x1bc');
  const thisRun = { queue: [], waitingRead: null, line: [], ended: false };
  run = thisRun;
  element('new-run').hidden = true;
  element('run-status').value = 'Running: answer in the terminal.';
  createAngleconv(programOptions({
    arguments: [],
    angleconvConsole: true,
    angleconvRead: (maxBytes) => readTerminal(thisRun, maxBytes),
    angleconvWrite: (handle, bytes) => writeTerminal(thisRun, bytes),
    onExit: (status) => endTerminalRun(thisRun, status),
  })).catch(showLoadFailure);
  terminal.focus();
}

// The program's ReadFile on standard input: at most maxBytes of the first
// queued line, as a terminal gives one line a read; an empty array for
// Ctrl-D at the start of a line. Waits until there is one.
function readTerminal(thisRun, maxBytes) {
  return new Promise((resolve) => {
    thisRun.waitingRead = { maxBytes, resolve };
    serveRead(thisRun);
  });
}

function serveRead(thisRun) {
  const read = thisRun.waitingRead;
  if (!read || thisRun.queue.length === 0) return;
  thisRun.waitingRead = null;
  const line = thisRun.queue[0];
  if (line.length <= read.maxBytes) {
    thisRun.queue.shift();
    deliver(read.resolve, line);
  } else {
    thisRun.queue[0] = line.subarray(read.maxBytes);
    deliver(read.resolve, line.subarray(0, read.maxBytes));
  }
}

// Reads answered at once run on in the same task; every 64th waits for a
// task of its own, so that the page draws and answers keys while the
// program reads a pasted megabyte a few bytes at a time.
let readsThisTask = 0;
function deliver(resolve, bytes) {
  readsThisTask += 1;
  if (readsThisTask === 1) setTimeout(() => { readsThisTask = 0; });
  if (readsThisTask % 64 === 0) setTimeout(() => resolve(bytes));
  else resolve(bytes);
}

// The program's WriteFile on standard output or error: the screen, unless
// the run was ended with Ctrl-C or another has begun.
function writeTerminal(thisRun, bytes) {
  if (run === thisRun && !thisRun.interrupted) terminal.write(bytes);
}

function endTerminalRun(thisRun, status) {
  if (run !== thisRun || thisRun.ended) return;
  thisRun.ended = true;
  thisRun.status = status;
  showRunEnd(thisRun);
}

// What was typed ahead and never read goes with the run.
function showRunEnd(thisRun) {
  thisRun.queue = [];
  const how = thisRun.interrupted
    ? 'The run was ended with Ctrl-C' : `The run ended with exit status ${thisRun.status}`;
  element('run-status').value = `${how}. Press Enter or “New run” to start again.`;
  element('new-run').hidden = false;
}

// The line discipline: every key the terminal reports, typed or pasted.
function onKeys(data) {
  if (!run) return;
  if (run.ended) {
    if (/[\r\n]/.test(data)) startTerminalRun();
    return;
  }
  const thisRun = run;
  let echo = '';
  // A key that sends an escape sequence (arrows, function keys) is not
  // text; what is left goes as runs of text and single control keys.
  const keys = data.replace(/\x1b(\[[0-9;?]*[ -/]*[@-~]|O.)?/g, '').match(/[^\0-\x08\n-\x1f\x7f]+|[^]/g) ?? [];
  for (const key of keys) {
    echo += lineDiscipline(thisRun, key);
    if (thisRun.ended) break;
  }
  // The terminal draws between writes: a pasted megabyte does not hold it.
  for (let at = 0; at < echo.length; at += echoPieceLength) {
    terminal.write(echo.slice(at, at + echoPieceLength));
  }
  if (thisRun.ended) showRunEnd(thisRun);
  else serveRead(thisRun);
}

// What one control key or run of text does to the run's line (an array
// of such runs); returns its echo.
function lineDiscipline(thisRun, key) {
  switch (key) {
    case '\r':
    case '\n':
      sendLine(thisRun, '\n');
      return '\r\n';
    case '\x7f': // Backspace
    case '\b':
      return eraseLast(thisRun.line);
    case '\x04': // Ctrl-D: the line so far, or the end of input on an empty line
      if (thisRun.line.length === 0) thisRun.queue.push(endOfInput);
      else sendLine(thisRun, '');
      return '';
    case '\x03': // Ctrl-C: the program never gets its read back
      thisRun.waitingRead = null;
      thisRun.ended = true;
      thisRun.interrupted = true;
      thisRun.status = interruptedStatus;
      return '^C';
    default:
      thisRun.line.push(key);
      return echoOf(key);
  }
}

// Backspace: the last character typed goes, and so does its echo.
function eraseLast(line) {
  const last = line.pop();
  if (last === undefined) return '';
  const characters = Array.from(last.length > 64 ? last.slice(-2) : last);
  const erased = characters.pop();
  const rest = last.slice(0, last.length - erased.length);
  if (rest) line.push(rest);
  return '\b \b'.repeat(echoOf(erased).length);
}

// A control character echoes as ^X, as a terminal shows it.
function echoOf(key) {
  const code = key.codePointAt(0);
  if (code < 0x20 && key !== '\t') return `^${String.fromCharCode(code + 64)}`;
  return key;
}

function sendLine(thisRun, end) {
  thisRun.queue.push(encoder.encode(thisRun.line.join('') + end));
  thisRun.line = [];
}

// Up to 80 columns, fewer on a narrow screen, measured in the terminal's font.
function fitTerminal() {
  const probe = document.createElement('span');
  probe.style.cssText = `position:absolute;visibility:hidden;white-space:pre;font-family:${
    terminal.options.fontFamily};font-size:${terminal.options.fontSize}px`;
  probe.textContent = 'W'.repeat(40);
  document.body.append(probe);
  const cellWidth = probe.getBoundingClientRect().width / 40;
  probe.remove();
  const width = element('terminal').clientWidth - 16;
  const cols = Math.max(20, Math.min(80, Math.floor(width / cellWidth)));
  if (cols !== terminal.cols) terminal.resize(cols, terminal.rows);
  element('terminal').dataset.columns = cols;
}

// ---------------------------------------------------------------- many values

// The last batch run's standard output, as written, and its file name.
let results = { blocks: [], fileName: '' };

async function convertMany(event) {
  event.preventDefault();
  const input = encoder.encode(element('values').value);
  const from = element('from').value;
  const to = element('to').value;
  const output = [];
  const errors = [];
  let offset = 0;
  const progress = element('progress');
  progress.max = Math.max(input.length, 1);
  progress.value = 0;
  const showProgress = setTimeout(() => { progress.hidden = false; }, 500);
  setBatchBusy(true);
  element('batch-status').value = 'Converting…';
  try {
    const status = await new Promise((resolve, reject) => {
      createAngleconv(programOptions({
        arguments: ['--from', from, '--to', to],
        angleconvConsole: false,
        // Each read hands the program the next block of the text and lets
        // the page run in between, so a long text never freezes it.
        angleconvRead: (maxBytes) => new Promise((give) => setTimeout(() => {
          const block = input.subarray(offset, offset + Math.min(maxBytes, batchBlockBytes));
          offset += block.length;
          progress.value = offset;
          give(block);
        })),
        angleconvWrite: (handle, bytes) => (handle === 2 ? errors : output).push(bytes),
        onExit: resolve,
      })).catch(reject);
    });
    results = { blocks: output, fileName: `angleconv-${from}-to-${to}.txt` };
    const { shown, lineCount } = firstLines(joined(output), shownResultLines);
    element('results').value = decoder.decode(shown);
    element('errors').value = decoder.decode(joined(errors));
    const failed = element('errors').value.split('\n').filter(Boolean).length;
    element('batch-status').value = `Exit status ${status}`
      + (failed ? `: ${failed} line${failed === 1 ? '' : 's'} failed, listed below` : '')
      + (lineCount > shownResultLines
        ? `. The box shows the first ${shownResultLines} of ${lineCount} results; Copy and Download give all.`
        : '.');
  } catch (failure) {
    showLoadFailure(failure);
    element('batch-status').value = 'The program could not be loaded.';
  } finally {
    clearTimeout(showProgress);
    progress.hidden = true;
    setBatchBusy(false);
  }
}

function setBatchBusy(busy) {
  element('convert').disabled = busy;
  element('copy').disabled = busy || results.blocks.length === 0;
  element('download').disabled = busy || results.blocks.length === 0;
}

// The bytes of the first `count` lines of `text`, and how many lines it has.
function firstLines(text, count) {
  let lineCount = 0;
  let end = text.length;
  for (let at = 0; at < text.length; at += 1) {
    if (text[at] === 10 && ++lineCount === count) end = at + 1;
  }
  if (text.length > 0 && text[text.length - 1] !== 10) lineCount += 1;
  return { shown: text.subarray(0, end), lineCount };
}

function joined(blocks) {
  const all = new Uint8Array(blocks.reduce((sum, block) => sum + block.length, 0));
  let at = 0;
  for (const block of blocks) {
    all.set(block, at);
    at += block.length;
  }
  return all;
}

async function copyResults() {
  const text = decoder.decode(joined(results.blocks));
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    // Without the clipboard interface (a page not served over https):
    // the selection and the browser's own copy.
    element('results').select();
    document.execCommand('copy');
  }
  element('batch-status').value = 'Results copied.';
}

function downloadResults() {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob(results.blocks, { type: 'text/plain' }));
  link.download = results.fileName;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

// ---------------------------------------------------------------- start


if (terminal && createAngleconv) {
  terminal.open(element('terminal'));
  terminal.textarea?.setAttribute('aria-describedby', 'dialogue-help');
  terminal.onData(onKeys);
  // Tab moves the focus on, as everywhere on the page, instead of typing a tab.
  terminal.attachCustomKeyEventHandler((event) => event.key !== 'Tab');
  fitTerminal();
  window.addEventListener('resize', fitTerminal);
  element('new-run').addEventListener('click', startTerminalRun);
  element('batch').addEventListener('submit', convertMany);
  element('copy').addEventListener('click', copyResults);
  element('download').addEventListener('click', downloadResults);
  startTerminalRun();
}

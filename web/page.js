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
const interruptedStatus = 130; // what a shell reports for a run ended by Ctrl-C

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
  terminal.reset();
  const thisRun = { queue: [], waitingRead: null, line: [], ended: false };
  run = thisRun;
  element('new-run').hidden = true;
  element('run-status').value = 'Running: answer in the terminal.';
  createAngleconv(programOptions({
    arguments: [],
    angleconvConsole: true,
    angleconvRead: (maxBytes) => readTerminal(thisRun, maxBytes),
    angleconvWrite: (handle, bytes) => { if (run === thisRun) terminal.write(bytes); },
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
    read.resolve(line);
  } else {
    thisRun.queue[0] = line.subarray(read.maxBytes);
    read.resolve(line.subarray(0, read.maxBytes));
  }
}

function endTerminalRun(thisRun, status) {
  if (run !== thisRun || thisRun.ended) return;
  thisRun.ended = true;
  thisRun.queue = []; // what was typed ahead and never read goes with the run
  const how = status === interruptedStatus && thisRun.interrupted
    ? 'The run was ended with Ctrl-C' : `The run ended with exit status ${status}`;
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
  // A key that sends an escape sequence (arrows, function keys) is not text.
  for (const key of data.replace(/\x1b(\[[0-9;?]*[ -/]*[@-~]|O.)?/g, '')) {
    if (!run || run.ended) return;
    lineDiscipline(run, key);
  }
  serveRead(run);
}

function lineDiscipline(thisRun, key) {
  switch (key) {
    case '\r':
    case '\n':
      terminal.write('\r\n');
      sendLine(thisRun, '\n');
      break;
    case '\x7f': // Backspace
    case '\b':
      if (thisRun.line.length > 0) {
        const erased = thisRun.line.pop();
        terminal.write('\b \b'.repeat(echoOf(erased).length));
      }
      break;
    case '\x04': // Ctrl-D: the line so far, or the end of input on an empty line
      if (thisRun.line.length === 0) thisRun.queue.push(endOfInput);
      else sendLine(thisRun, '');
      break;
    case '\x03': // Ctrl-C
      terminal.write('^C');
      thisRun.interrupted = true;
      thisRun.waitingRead = null; // the program never gets its read back
      endTerminalRun(thisRun, interruptedStatus);
      break;
    default:
      thisRun.line.push(key);
      terminal.write(echoOf(key));
  }
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
          const block = input.subarray(offset, offset + maxBytes);
          offset += block.length;
          progress.value = offset;
          give(block);
        })),
        angleconvWrite: (handle, bytes) => (handle === 2 ? errors : output).push(bytes),
        onExit: resolve,
      })).catch(reject);
    });
    results = { blocks: output, fileName: `angleconv-${from}-to-${to}.txt` };
    element('results').value = decoder.decode(joined(output));
    element('errors').value = decoder.decode(joined(errors));
    const failed = element('errors').value.split('\n').filter(Boolean).length;
    element('batch-status').value = `Exit status ${status}`
      + (failed ? `: ${failed} line${failed === 1 ? '' : 's'} failed, listed below.` : '.');
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
  const text = element('results').value;
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

// The cases of the browser test: keys typed into the terminal, one step
// after each question of the program (\r Enter, \x7f Backspace, \x04 Ctrl-D,
// \x03 Ctrl-C), and the values put into the form.

const pair = (from, value, to) => ({
  name: `${from} to ${to}`,
  steps: from === 'd' ? ['d\r', ...value.map((number) => `${number}\r`), `${to}\r`, '\r']
    : [`${from}\r`, `${value}\r`, `${to}\r`, '\r'],
});

export const dialogueCases = [
  pair('rad', '1', 'rad'), pair('rad', '1', 'g'), pair('rad', '-1', 'd'),
  pair('g', '100', 'rad'), pair('g', '100', 'g'), pair('g', '-0.5', 'd'),
  pair('d', ['30', '30', '30'], 'rad'), pair('d', ['30', '30', '30'], 'g'), pair('d', ['10', '75', '90'], 'd'),
  { name: 'an unknown unit and an empty one', steps: ['Rad\r', '2\r', '\r', 'x\r'] },
  { name: 'a line corrected with Backspace', steps: ['rax\x7fd\r', '12\x7f\x7f3.5\r', 'g\r', '\r'] },
  { name: 'an empty line at a number prompt', steps: ['g\r', '\r', '  7 and more\r', 'd\r', '\r'] },
  { name: 'an invalid number', steps: ['rad\r', 'abc\r'] },
  { name: 'an invalid number of minutes', steps: ['d\r', '1\r', '1x\r'] },
  { name: 'an overflow at the store', steps: ['rad\r', '1e400\r'] },
  { name: 'an overflow of the seconds', steps: ['d\r', '0\r', '0\r', '-2e308\r'] },
  { name: 'an infinity split into degrees', steps: ['rad\r', '1e5120\r', 'd\r'] },
  { name: 'end of input at the source unit', steps: ['\x04', '\x04', '\x04', '\x04'] },
  { name: 'end of input at the value', steps: ['rad\r', '\x04', '\x04', '\x04'] },
  { name: 'end of input at the minutes', steps: ['d\r', '5\r', '\x04', '\x04', '\x04', '\x04'] },
  { name: 'end of input at the target unit', steps: ['g\r', '50\r', '\x04', '\x04'] },
  { name: 'end of input at the closing prompt', steps: ['g\r', '50\r', 'g\r', '\x04'] },
  { name: 'Ctrl-D ending a line that has text', steps: ['rad\x04', '\r', '3\r', 'rad\r', '\r'] },
  { name: 'Ctrl-C at the value', steps: ['rad\r', '\x03'] },
  { name: 'Ctrl-C with a line typed', steps: ['g\r', '12', '\x03'] },
];

// A small seeded generator, so that a failure shows again on the next run.
function generator(seedText) {
  let seed = [...seedText].reduce((sum, character) => (sum * 31 + character.charCodeAt(0)) >>> 0, 7);
  return () => {
    seed = (seed * 1664525 + 1013904223) >>> 0;
    return seed / 2 ** 32;
  };
}

// `count` lines of values for the batch mode from `unit`: mostly numbers
// of every size, now and then a blank line, a word, an overflow.
export function batchValues(unit, count, seedText) {
  const random = generator(seedText);
  const number = () => {
    const kind = random();
    if (kind < 0.02) return ['abc', '1e400', '-1e99999', '1.2.3'][Math.floor(random() * 4)];
    if (kind < 0.2) return `${(random() * 2000 - 1000).toFixed(Math.floor(random() * 18))}`;
    if (kind < 0.3) return `${(random() * 10).toPrecision(17)}e${Math.floor(random() * 600 - 300)}`;
    return `${Math.floor(random() * 1441) - 720}`;
  };
  const lines = [];
  for (let line = 0; line < count; line += 1) {
    if (random() < 0.01) lines.push('');
    else lines.push(unit === 'd' ? `${number()} ${number()} ${number()}` : number());
  }
  return `${lines.join('\n')}\n`;
}

// SPDX-License-Identifier: MIT
// The runs kept on the device, newest first: when, how many points, the
// results line (or why there is none), and for each a new run with the same
// input, or its input as a text file that survey reads as it was typed.
import { bytesOf, offerFile } from './console.js';

const Status = {
  unfinished: 'not finished',
  report: 'ended with a report',
};

function button(label, action) {
  const element = document.createElement('button');
  element.type = 'button';
  element.textContent = label;
  element.addEventListener('click', action);
  return element;
}

function fileName(date) {
  const stamp = date.toISOString().slice(0, 16).replace(/[-:]/g, '').replace('T', '-');
  return `survey-${stamp}.txt`;
}

// The input's bytes, one per character, exactly as the program had them.
function download(entry, inputOf) {
  offerFile(bytesOf(inputOf(entry)), fileName(new Date(entry.date)), 'text/plain');
}

export function showHistory(dialog, entries, { runAgain, inputOf }) {
  const list = dialog.querySelector('#history-list');
  dialog.querySelector('#history-empty').hidden = entries.length > 0;
  list.replaceChildren(...entries.map((entry) => {
    const item = document.createElement('li');
    const when = document.createElement('p');
    const what = entry.status === 'finished'
      ? `${entry.points} ${entry.points === 1 ? 'point' : 'points'}`
      : Status[entry.status] || entry.status;
    when.textContent = `${new Date(entry.date).toLocaleString()}: ${what}`;
    item.append(when);
    if (entry.results) {
      const results = document.createElement('p');
      results.className = 'results';
      results.textContent = entry.results;
      item.append(results);
    }
    item.append(button('Run again', () => {
      dialog.close();
      runAgain(entry);
    }), ' ', button('Download', () => download(entry, inputOf)));
    return item;
  }));
  dialog.showModal();
}

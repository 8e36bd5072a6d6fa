// SPDX-License-Identifier: MIT
// The contour pane: the contour library, compiled to a module of its own,
// draws the bytes typed so far after every line. The module is fetched
// only once the program has shown its first prompt, so that it never
// delays it. Each drawing belongs to a run: one that lands after its run
// was replaced is dropped, and one that fails shows its failure here and
// leaves the run alone. The finished contour is offered as the SVG, CSV and
// DXF documents survey-contour writes for the same bytes.
import { offerFile } from './console.js';

const Documents = { svg: 0, csv: 1, dxf: 2 };
const DocumentTypes = { svg: 'image/svg+xml', csv: 'text/csv', dxf: 'image/vnd.dxf' };
const PageInputFails = 1;
// The smallest label on screen, in CSS pixels.
const LabelPixels = 12;
const SvgLabelSize = 13;

// A fetch that fails on any answer but a success.
export async function fetchBytes(name) {
  const response = await fetch(new URL(name, import.meta.url));
  if (!response.ok) throw new Error(`${name}: ${response.status} ${response.statusText}`.trim());
  return response.arrayBuffer();
}

async function loadModule() {
  const [{ default: createContour }, binary] = await Promise.all([
    import('./contour.js'), fetchBytes('contour.wasm')]);
  const pieces = [];
  const module = await createContour({ wasmBinary: binary, contourTake: (bytes) => pieces.push(bytes) });
  module._survey_contour_start();
  // One document of the bytes: its status and its bytes, or the report.
  module.documentOf = (bytes, kind) => {
    const at = module._malloc(Math.max(bytes.length, 1));
    module.HEAPU8.set(bytes, at);
    pieces.length = 0;
    try {
      const status = module._survey_contour_draw(at, bytes.length, Documents[kind]);
      if (status === PageInputFails) {
        return { status, report: module.UTF8ToString(module._survey_contour_report()) };
      }
      const contents = new Uint8Array(pieces.reduce((sum, piece) => sum + piece.length, 0));
      pieces.reduce((offset, piece) => { contents.set(piece, offset); return offset + piece.length; }, 0);
      return { status, contents };
    } finally {
      module._free(at);
    }
  };
  return module;
}

// The drawing as SVG elements of this page, without anything that could
// run: scripts, foreign content, event attributes and outside links.
function drawingOf(svgText) {
  const parsed = new DOMParser().parseFromString(svgText, 'image/svg+xml');
  const svg = parsed.documentElement;
  if (svg.localName !== 'svg' || parsed.querySelector('parsererror')) {
    throw new Error('the drawing is not an SVG document');
  }
  for (const element of [svg, ...svg.querySelectorAll('*')]) {
    if (/^(script|foreignObject|iframe|a|use|image)$/i.test(element.localName)) {
      element.remove();
      continue;
    }
    for (const attribute of [...element.attributes]) {
      if (/^on|href$/i.test(attribute.localName)) element.removeAttribute(attribute.name);
    }
  }
  return document.importNode(svg, true);
}

export class TContourPane {
  constructor(pane) {
    this.drawingBox = pane.querySelector('.drawing');
    this.textBox = pane.querySelector('.contour-text');
    this.buttons = [...pane.querySelectorAll('.downloads button')];
    this.module = null;
    this.run = null;
    this.wanted = null;
    this.drawing = null;
    for (const button of this.buttons) {
      button.addEventListener('click', () => this.download(button.dataset.document));
    }
    new ResizeObserver(() => this.fit()).observe(this.drawingBox);
  }

  load() {
    if (!this.module) {
      this.module = loadModule();
      this.module.catch(() => { this.module = null; }); // the next drawing tries again
    }
    return this.module;
  }

  // A new run: its drawings only, from an empty pane.
  clear(run) {
    this.run = run;
    this.wanted = null;
    this.bytes = null;
    this.drawingBox.replaceChildren();
    this.textBox.replaceChildren();
    this.enableDownloads(false);
  }

  // Draws the run's bytes; while a drawing is being made, only the latest
  // bytes wait for the next.
  show(run, bytes) {
    if (run !== this.run) return this.drawn;
    this.wanted = { run, bytes: Uint8Array.from(bytes) };
    if (!this.drawn) this.drawn = this.drawAll().finally(() => { this.drawn = null; });
    return this.drawn;
  }

  async drawAll() {
    while (this.wanted) {
      const { run, bytes } = this.wanted;
      this.wanted = null;
      try {
        const module = await this.load();
        if (run !== this.run) continue;
        this.present(module.documentOf(bytes, 'svg'), bytes);
      } catch (error) {
        if (run === this.run) this.showFailure(error);
      }
    }
  }

  present({ status, report, contents }, bytes) {
    this.bytes = null;
    if (status === PageInputFails) {
      this.drawingBox.replaceChildren();
      this.setText([{ text: report, className: 'findings' }]);
      this.enableDownloads(false);
      return;
    }
    const svg = drawingOf(new TextDecoder().decode(contents));
    // The results line, the count so far and the findings as the pane's
    // own text, where they wrap and keep their size; the drawing keeps
    // the figure, its labels and its scale bar.
    const lines = [];
    for (const item of svg.querySelectorAll('.area, .entered, .findings')) {
      const texts = item.localName === 'text' ? [item] : [...item.querySelectorAll('text')];
      for (const line of texts) {
        lines.push({ text: line.textContent, className: item.classList.contains('findings') ? 'findings' : '' });
      }
      item.remove();
    }
    svg.querySelector(':scope > rect')?.remove();
    svg.removeAttribute('width');
    svg.removeAttribute('height');
    svg.setAttribute('role', 'img');
    svg.setAttribute('aria-label', svg.querySelector('title')?.textContent || 'The contour');
    this.drawingBox.replaceChildren(svg);
    this.drawing = svg;
    this.setText(lines);
    this.fit();
    const complete = !lines.some((line) => line.text.startsWith('Points entered'));
    this.bytes = complete ? bytes : null;
    this.enableDownloads(complete);
  }

  showFailure(error) {
    this.drawingBox.replaceChildren();
    this.setText([{ text: `The contour cannot be drawn: ${error.message || error}`, className: 'failure' }]);
    this.enableDownloads(false);
  }

  setText(lines) {
    this.textBox.replaceChildren(...lines.map(({ text, className }) => {
      const p = document.createElement('p');
      p.textContent = text;
      if (className) p.className = className;
      return p;
    }));
  }

  enableDownloads(on) {
    for (const button of this.buttons) button.disabled = !on;
  }

  // The whole figure in the pane, its labels never below LabelPixels: a
  // small pane gets larger labels in the drawing's units, and the view is
  // fitted again around them.
  fit() {
    const svg = this.drawing;
    if (!svg || !svg.isConnected) return;
    const width = this.drawingBox.clientWidth;
    const height = this.drawingBox.clientHeight;
    if (width === 0 || height === 0) return;
    let size = SvgLabelSize;
    for (let pass = 0; pass < 4; ++pass) {
      for (const text of svg.querySelectorAll('text')) text.setAttribute('font-size', size.toFixed(2));
      const box = svg.getBBox();
      const margin = size * 0.5;
      svg.setAttribute('viewBox', [box.x - margin, box.y - margin, box.width + 2 * margin,
                                   box.height + 2 * margin].map((v) => v.toFixed(2)).join(' '));
      const scale = Math.min(width / (box.width + 2 * margin), height / (box.height + 2 * margin));
      const wanted = Math.max(SvgLabelSize, (LabelPixels + 0.5) / scale);
      if (size * scale >= LabelPixels) break;
      size = wanted;
    }
  }

  async download(kind) {
    const bytes = this.bytes;
    if (!bytes) return;
    try {
      const module = await this.load();
      const { status, report, contents } = module.documentOf(bytes, kind);
      if (status === PageInputFails) throw new Error(report);
      offerFile(contents, `contour.${kind}`, DocumentTypes[kind]);
    } catch (error) {
      this.showFailure(error);
    }
  }
}

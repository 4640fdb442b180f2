#include "tools/serve/page.h"

namespace scenario::tool::serve {

std::string_view page_html() {
  return R"page(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>scenario-tool serve</title>
<link rel="stylesheet" href="/page.css">
<script src="/page.js" defer></script>
</head>
<body>
<header id="bar">
  <span id="title">Scenario preview</span>
  <span id="status" role="status" aria-live="polite">Waiting for the first compile…</span>
  <span id="zoom" role="group" aria-label="Zoom">
    <button type="button" id="zoom-out" title="Zoom out (Ctrl + wheel)">−</button>
    <button type="button" id="zoom-reset" title="Actual size"><span id="zoom-level">100 %</span></button>
    <button type="button" id="zoom-in" title="Zoom in (Ctrl + wheel)">+</button>
  </span>
</header>
<main id="drawing" tabindex="0"><p id="no-drawing">No drawing yet.</p></main>
<section id="problems" hidden aria-label="Diagnostics">
  <div id="problems-head"><strong id="problems-title"></strong><button type="button" id="problems-fold" title="Fold the list">▾</button></div>
  <p id="problems-note"></p>
  <ol id="diagnostics"></ol>
</section>
<aside id="detail" hidden aria-label="Detail"><button type="button" id="detail-close" title="Close">×</button><p id="detail-text"></p></aside>
</body>
</html>
)page";
}

std::string_view page_style() {
  return R"page(:root { font-family: 'Segoe UI', 'Helvetica Neue', Arial, sans-serif; color: #2b2b2b; }
* { box-sizing: border-box; }
html, body { margin: 0; height: 100%; }
body { display: flex; flex-direction: column; background: #f6f6f6; }
#bar { display: flex; gap: 16px; align-items: center; padding: 6px 12px; background: #fff; border-bottom: 1px solid #d8d8d8; font-size: 13px; }
#title { font-weight: 600; }
#status { flex: 1; color: #555; }
#status.stale { color: #b03a2e; font-weight: 600; }
#status.offline { color: #8a6d00; }
#zoom button { font: inherit; min-width: 28px; padding: 2px 6px; border: 1px solid #c8c8c8; background: #fafafa; border-radius: 3px; cursor: pointer; }
#drawing { flex: 1; overflow: auto; position: relative; }
#drawing svg { display: block; background: #fff; }
#no-drawing { padding: 24px; color: #6f6f6f; }
#problems { position: fixed; right: 16px; top: 48px; width: min(640px, calc(100% - 32px)); max-height: 45vh; overflow: auto; background: rgba(255, 246, 244, 0.97); border: 1px solid #d62728; border-left: 5px solid #d62728; border-radius: 4px; box-shadow: 0 4px 16px rgba(0,0,0,0.18); padding: 8px 12px; font-size: 13px; }
#problems.folded ol, #problems.folded #problems-note { display: none; }
#problems-head { display: flex; justify-content: space-between; align-items: center; }
#problems-title { color: #a31d1d; }
#problems-fold { border: none; background: none; cursor: pointer; font-size: 14px; }
#problems-note { margin: 6px 0; }
#diagnostics { margin: 4px 0 0; padding-left: 20px; }
#diagnostics li { margin: 4px 0; font-family: ui-monospace, 'DejaVu Sans Mono', Consolas, monospace; font-size: 12px; overflow-wrap: anywhere; }
#diagnostics a { color: #a31d1d; }
#detail { position: fixed; left: 16px; bottom: 16px; max-width: 520px; background: #fff; border: 1px solid #bbb; border-radius: 4px; box-shadow: 0 4px 16px rgba(0,0,0,0.18); padding: 8px 32px 8px 12px; font-size: 13px; }
#detail-close { position: absolute; right: 4px; top: 4px; border: none; background: none; font-size: 16px; cursor: pointer; }
#detail-text { margin: 0; }
#drawing svg g:has(> title) { cursor: pointer; }
#drawing svg .selected { filter: drop-shadow(0 0 3px #1f5fa8); }
#drawing svg .diagnostic-mark.highlighted > * { animation: pulse 0.7s ease-in-out 3; stroke-width: 3; }
@keyframes pulse { 50% { stroke-opacity: 0.2; fill-opacity: 0.5; } }
)page";
}

std::string_view page_script() {
  return R"page('use strict';
// The preview page: follows the server's events, swaps the drawing in place
// and lists the diagnostics over it. Zoom, scroll, the open detail and the
// highlighted mark survive every swap.
(() => {
  const $ = (id) => document.getElementById(id);
  const now = () => performance.timeOrigin + performance.now();
  const view = { zoom: 1, shown: 0, wanted: 0, fetching: false, detail: null, highlighted: null, state: null };
  // For tests and the benchmark: one entry per drawing swapped in.
  window.previewTimings = [];
  window.preview = view;

  const clock = (ms) => {
    const d = new Date(ms);
    return d.toLocaleTimeString('en-GB', { hour12: false }) + '.' + String(d.getMilliseconds()).padStart(3, '0');
  };

  function svg() { return $('drawing').querySelector('svg'); }

  function applyZoom(element) {
    if (!element) return;
    if (!element.dataset.baseWidth) {
      element.dataset.baseWidth = element.getAttribute('width');
      element.dataset.baseHeight = element.getAttribute('height');
    }
    element.setAttribute('width', String(Number(element.dataset.baseWidth) * view.zoom));
    element.setAttribute('height', String(Number(element.dataset.baseHeight) * view.zoom));
    $('zoom-level').textContent = Math.round(view.zoom * 100) + ' %';
  }

  function setZoom(zoom, anchorX, anchorY) {
    const scroller = $('drawing');
    const old = view.zoom;
    view.zoom = Math.min(8, Math.max(0.25, zoom));
    const ax = anchorX ?? scroller.clientWidth / 2, ay = anchorY ?? scroller.clientHeight / 2;
    const cx = (scroller.scrollLeft + ax) / old, cy = (scroller.scrollTop + ay) / old;
    applyZoom(svg());
    scroller.scrollLeft = cx * view.zoom - ax;
    scroller.scrollTop = cy * view.zoom - ay;
  }

  function markFor(titleText, root) {
    for (const t of root.querySelectorAll('g > title')) if (t.textContent === titleText) return t.parentNode;
    return null;
  }

  function showSelection(root) {
    root.querySelectorAll('.selected').forEach((e) => e.classList.remove('selected'));
    if (view.detail === null) return;
    const mark = markFor(view.detail, root);
    if (mark) mark.classList.add('selected');
    $('detail-text').textContent = view.detail + (mark ? '' : ' (no longer on the drawing)');
  }

  function highlight(id, scroll) {
    const root = svg();
    view.highlighted = id;
    if (!root) return;
    root.querySelectorAll('.highlighted').forEach((e) => e.classList.remove('highlighted'));
    const mark = id ? root.getElementById(id) : null;
    if (!mark) return;
    void mark.getBoundingClientRect();
    mark.classList.add('highlighted');
    if (scroll) mark.scrollIntoView({ block: 'center', inline: 'center' });
  }

  async function fetchDrawing() {
    if (view.fetching) return;
    view.fetching = true;
    try {
      while (view.wanted > view.shown) {
        const asked = now();
        const response = await fetch('/drawing.svg', { cache: 'no-store' });
        if (!response.ok) break;
        const text = await response.text();
        const version = Number(response.headers.get('X-Drawing-Version'));
        const fetched = now();
        // The HTML parser reads a large SVG three to four times as fast as
        // DOMParser's XML one; a template's content is inert until adopted.
        const template = document.createElement('template');
        template.innerHTML = text;
        const parsed = template.content.querySelector('svg');
        if (!parsed) break;
        const fresh = document.adoptNode(parsed);
        // At the same size the scroll position stays by itself; setting it
        // again would force a layout of the whole drawing here.
        applyZoom(fresh);
        const old = svg();
        if (old) old.replaceWith(fresh);
        else $('drawing').replaceChildren(fresh);
        view.shown = version;
        showSelection(fresh);
        highlight(view.highlighted, false);
        const swapped = now();
        const s = view.state || {};
        const entry = {
          drawing: version, seq: s.seq, received: s.received, asked, fetched, swapped,
          first_event_at: s.burst ? s.burst.first_event_at : null, read_at: s.read_at,
          compile_ms: s.compile_ms, render_ms: s.render_ms, published_at: s.published_at,
        };
        // After the next frame's layout and paint.
        requestAnimationFrame(() => setTimeout(() => { entry.painted = now(); }, 0));
        window.previewTimings.push(entry);
        document.body.dataset.drawing = String(version);
      }
    } catch (e) {
      // The server went; the event stream reconnects and asks again.
    } finally {
      view.fetching = false;
    }
  }

  function diagnosticLine(d) {
    const li = document.createElement('li');
    li.className = 'diagnostic';
    let place = d.file ? d.file + (d.line ? ':' + d.line : '') : 'scenario-tool';
    const text = ': error ' + d.code + ': ' + d.meaning + (d.at ? ' (at ' + d.at + ')' : '');
    if (d.mark) {
      const a = document.createElement('a');
      a.href = '#' + d.mark;
      a.dataset.mark = d.mark;
      a.textContent = place;
      a.title = 'Show on the drawing';
      a.addEventListener('click', (event) => {
        event.preventDefault();
        highlight(d.mark, true);
      });
      li.append(a, document.createTextNode(text));
    } else {
      li.textContent = place + text;
    }
    return li;
  }

  function showState(state) {
    state.received = now();
    if (view.state && view.state.instance !== state.instance) view.shown = 0;  // a server started again
    view.state = state;
    document.body.dataset.seq = String(state.seq);
    const report = state.report;
    const diagnostics = report ? report.diagnostics : [];
    const broken = state.input_error || (report && (report.fatal || report.runtime_failure));
    const current = state.drawing && state.drawing.current;

    let status = 'Sources read ' + clock(state.read_at) + ' · compile ' + state.compile_ms.toFixed(1) + ' ms';
    if (!state.drawing) status += ' · no drawing yet';
    else if (current) status += ' · drawing current';
    else status += ' · drawing NOT current: last good from ' + clock(state.drawing.read_at);
    $('status').textContent = status;
    $('status').className = current ? '' : 'stale';
    if (state.route) document.title = state.route + ' — ' + state.train + ' · scenario-tool serve';
    if (state.route) $('title').textContent = state.route + ' — ' + state.train;

    const list = $('diagnostics');
    list.replaceChildren(...diagnostics.map(diagnosticLine));
    const notes = [];
    if (state.input_error) notes.push(state.input_error);
    if (report && report.fatal) notes.push('fatal error ' + report.fatal + ': ' + (report.fatal_meaning || '') + '; no binary file');
    if (report && report.runtime_failure) notes.push('run-time failure: ' + report.runtime_failure);
    if (broken && state.drawing) notes.push('The drawing is the last good one, from ' + clock(state.drawing.read_at) + '.');
    $('problems-note').textContent = notes.join(' ');
    $('problems-note').hidden = notes.length === 0;
    const count = diagnostics.length;
    $('problems-title').textContent = broken
      ? 'The sources do not compile'
      : count + (count === 1 ? ' diagnostic' : ' diagnostics');
    $('problems').hidden = !broken && count === 0;
    if (view.highlighted && !diagnostics.some((d) => d.mark === view.highlighted)) view.highlighted = null;

    if (state.drawing && state.drawing.version > view.shown) {
      view.wanted = state.drawing.version;
      fetchDrawing();
    }
  }

  function connect() {
    const events = new EventSource('/events');
    events.addEventListener('state', (event) => {
      $('status').classList.remove('offline');
      showState(JSON.parse(event.data));
    });
    events.addEventListener('error', () => {
      $('status').textContent = 'Not connected to scenario-tool serve: is it still running?';
      $('status').className = 'offline';
    });
  }

  $('zoom-in').addEventListener('click', () => setZoom(view.zoom * 1.25));
  $('zoom-out').addEventListener('click', () => setZoom(view.zoom / 1.25));
  $('zoom-reset').addEventListener('click', () => setZoom(1));
  $('drawing').addEventListener('wheel', (event) => {
    if (!event.ctrlKey) return;
    event.preventDefault();
    const box = $('drawing').getBoundingClientRect();
    setZoom(view.zoom * (event.deltaY < 0 ? 1.1 : 1 / 1.1), event.clientX - box.left, event.clientY - box.top);
  }, { passive: false });
  $('drawing').addEventListener('click', (event) => {
    const group = event.target.closest && event.target.closest('g');
    const title = group && [...group.children].find((c) => c.tagName === 'title');
    if (!title) return;
    view.detail = title.textContent;
    $('detail').hidden = false;
    showSelection(svg());
  });
  $('detail-close').addEventListener('click', () => {
    view.detail = null;
    $('detail').hidden = true;
    showSelection(svg());
  });
  $('problems-fold').addEventListener('click', () => $('problems').classList.toggle('folded'));
  connect();
})();
)page";
}

}  // namespace scenario::tool::serve

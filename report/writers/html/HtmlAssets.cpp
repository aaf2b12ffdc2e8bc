#include "report/writers/html/HtmlAssets.h"

namespace quibex::report {

const std::string_view kHtmlStyle = R"css(
:root {
  --bg: #ffffff; --fg: #1d2127; --muted: #5b6470; --line: #d8dce2; --head: #f2f4f7; --hover: #e8f0fb;
  --accent: #2f5f9e; --warn-bg: #fff4e0; --warn-fg: #7a4500;
  --k0: #4e79a7; --k1: #d9702b; --k2: #4f9a46; --k3: #c9474a; --k4: #3f9a94; --k5: #9c6a93; --k6: #8c6a4f; --k7: #8a8f96;
  --l0: #8fa6c4; --l1: #b39ddb; --l2: #d6d9de; --l3: #7fb27a; --l4: #4e79a7;
  color-scheme: light dark;
}
@media (prefers-color-scheme: dark) {
  :root {
    --bg: #16191d; --fg: #e4e7eb; --muted: #a0a8b3; --line: #343a42; --head: #20252b; --hover: #233349;
    --accent: #8fb8ee; --warn-bg: #3a2b12; --warn-fg: #ffd28a;
    --k0: #3d6591; --k1: #b35a1f; --k2: #3e7f37; --k3: #a8393c; --k4: #2f7f7a; --k5: #80567a; --k6: #735640; --k7: #5f646b;
    --l0: #5d7190; --l1: #7a66a3; --l2: #4a5058; --l3: #5a8c55; --l4: #4f7db0;
  }
}
* { box-sizing: border-box; }
body { margin: 0; padding: 1.2rem 1.5rem 3rem; background: var(--bg); color: var(--fg);
       font: 0.95rem/1.45 system-ui, -apple-system, "Segoe UI", Roboto, "Helvetica Neue", Arial, sans-serif; }
h1 { font-size: 1.5rem; margin: 0 0 0.2rem; overflow-wrap: anywhere; }
h2 { font-size: 1.15rem; margin: 2rem 0 0.6rem; border-bottom: 1px solid var(--line); padding-bottom: 0.2rem; }
.meta { color: var(--muted); margin: 0 0 1rem; }
.figures { display: flex; flex-wrap: wrap; gap: 0.5rem; margin: 0; }
.figures div { border: 1px solid var(--line); border-radius: 6px; padding: 0.35rem 0.7rem; background: var(--head); }
.figures dt { font-size: 0.75rem; color: var(--muted); }
.figures dd { margin: 0; font-weight: 600; font-variant-numeric: tabular-nums; }
.problems { background: var(--warn-bg); color: var(--warn-fg); border-radius: 6px; padding: 0.6rem 1rem; margin-top: 1rem; }
.problems h2 { margin-top: 0.2rem; border: 0; color: inherit; }
.problems li { overflow-wrap: anywhere; }
.mapbox { overflow-x: auto; }
/* Never so narrow that the tiles' names cannot be read: at high zoom the map scrolls. */
svg.map { width: 100%; min-width: 900px; height: auto; display: block; border: 1px solid var(--line); background: var(--bg); }
svg.map rect { stroke: var(--bg); stroke-width: 0.6; }
svg.map rect.tile { cursor: pointer; }
svg.map rect.tile:hover { stroke: var(--fg); stroke-width: 1.5; }
svg.map rect.project { fill: var(--head); stroke: var(--line); stroke-width: 1; }
svg.map text { font-size: 11px; fill: #ffffff; pointer-events: none; }
svg.map text.pl { fill: var(--fg); font-weight: 600; }
.k0 { fill: var(--k0); background: var(--k0); } .k1 { fill: var(--k1); background: var(--k1); }
.k2 { fill: var(--k2); background: var(--k2); } .k3 { fill: var(--k3); background: var(--k3); }
.k4 { fill: var(--k4); background: var(--k4); } .k5 { fill: var(--k5); background: var(--k5); }
.k6 { fill: var(--k6); background: var(--k6); } .k7 { fill: var(--k7); background: var(--k7); }
.l0 { background: var(--l0); } .l1 { background: var(--l1); } .l2 { background: var(--l2); }
.l3 { background: var(--l3); } .l4 { background: var(--l4); }
.legend { display: flex; flex-wrap: wrap; gap: 0.3rem 1rem; margin: 0.5rem 0 0; padding: 0; list-style: none; color: var(--muted); }
.swatch { display: inline-block; width: 0.8rem; height: 0.8rem; border-radius: 2px; margin-right: 0.3rem; vertical-align: -0.1rem; }
.tip { position: fixed; z-index: 10; pointer-events: none; max-width: 28rem; background: var(--fg); color: var(--bg);
       padding: 0.4rem 0.6rem; border-radius: 4px; font-size: 0.85rem; overflow-wrap: anywhere; }
.tip[hidden] { display: none; }
.controls { display: flex; flex-wrap: wrap; gap: 0.8rem; align-items: center; margin-bottom: 0.5rem; }
.controls input { font: inherit; padding: 0.3rem 0.5rem; min-width: 16rem; border: 1px solid var(--line);
                  border-radius: 4px; background: var(--bg); color: var(--fg); }
.count { color: var(--muted); }
.scroll { overflow-x: auto; }
table { border-collapse: collapse; width: 100%; font-variant-numeric: tabular-nums; }
th, td { border-bottom: 1px solid var(--line); padding: 0.25rem 0.5rem; text-align: left; vertical-align: top; }
td.n, th.n { text-align: right; white-space: nowrap; }
td.path { overflow-wrap: break-word; }
td.nowrap { white-space: nowrap; }
thead th { background: var(--head); position: sticky; top: 0; }
#members thead th { cursor: pointer; user-select: none; }
#members thead th[aria-sort="ascending"]::after { content: " \25B2"; }
#members thead th[aria-sort="descending"]::after { content: " \25BC"; }
tbody tr:hover { background: var(--hover); }
tr.missing td { color: var(--muted); font-style: italic; }
tr.focus { outline: 2px solid var(--accent); }
.badge { display: inline-block; font-size: 0.75rem; font-style: normal; padding: 0 0.35rem; margin-left: 0.3rem;
         border-radius: 3px; background: var(--warn-bg); color: var(--warn-fg); }
.bar { display: flex; height: 0.8rem; min-width: 8rem; border-radius: 2px; overflow: hidden; background: var(--line); margin-top: 0.2rem; }
.bar span { display: block; height: 100%; }
.bar.big { height: 1.3rem; }
button { font: inherit; padding: 0.25rem 0.8rem; border: 1px solid var(--line); border-radius: 4px;
         background: var(--head); color: var(--fg); cursor: pointer; }
footer { margin-top: 2.5rem; color: var(--muted); font-size: 0.85rem; }
@media print {
  body { padding: 0; font-size: 9pt; }
  .controls input, button, .tip { display: none; }
  thead { display: table-header-group; }
  thead th { position: static; }
  .scroll, .mapbox { overflow: visible; }
  table { font-size: 7pt; }
  th, td { padding: 0.1rem 0.25rem; }
  tr { break-inside: avoid; }
  section { break-inside: auto; }
  svg.map { break-inside: avoid; min-width: 0; }
  .problems, .figures div, .bar span, .swatch, svg.map { print-color-adjust: exact; -webkit-print-color-adjust: exact; }
}
)css";

const std::string_view kHtmlScript = R"js(
(function () {
  'use strict';
  var errors = [];
  window.addEventListener('error', function (e) { errors.push(String(e.message || e)); });
  var data = JSON.parse(document.getElementById('quibex-data').textContent);
  var members = data.members;
  // The member arrays' fields, as the writer lays them out.
  var PATH = 0, NAME = 1, TYPE = 2, PROJECT = 9, READ = 10, LINE_TEXT = 11, SIZE_TEXT = 12, LINES = 13;
  var page = 1000;
  var columns = [
    { key: 'index', label: '#', num: true, value: function (m, i) { return i + 1; } },
    { key: 'name', label: 'File', field: NAME },
    { key: 'path', label: 'Path', field: PATH, cls: 'path' },
    { key: 'type', label: 'Type', field: TYPE, cls: 'nowrap' },
    { key: 'fileSize', label: 'Size', field: 3, num: true },
    { key: 'binarySize', label: 'Binary', field: 4, num: true },
    { key: 'interfaceLines', label: 'Interface lines', field: 5, num: true },
    { key: 'interfaceBytes', label: 'Interface bytes', field: 6, num: true },
    { key: 'codeLines', label: 'Code lines', field: 7, num: true },
    { key: 'codeBytes', label: 'Code bytes', field: 8, num: true },
    { key: 'lines', label: 'Lines', num: true, value: function (m) { return m[5] + m[7]; } }
  ];
  if (data.projects.length > 1) {
    columns.splice(3, 0, { key: 'project', label: 'Project', value: function (m) { return data.projects[m[PROJECT]] || ''; } });
  }
  if (data.detail) {
    columns.push({ key: 'procedures', label: 'Procedures', field: 14, num: true });
    columns.push({ key: 'controls', label: 'Controls', field: 15, num: true });
    columns.push({ key: 'split', label: 'Line split', title: 'designer, attribute, blank, comment and code lines', value: function (m) { return m[LINES] ? m[LINES][4] : 0; }, bar: true });
  }
  function valueOf(column, i) {
    return column.value ? column.value(members[i], i) : members[i][column.field];
  }

  var table = document.getElementById('members');
  var head = table.tHead.rows[0];
  var body = table.tBodies[0];
  var filterBox = document.getElementById('filter');
  var countText = document.getElementById('count');
  var moreButton = document.getElementById('more');
  var order = members.map(function (m, i) { return i; });
  var shown = order;
  var limit = page;
  var sortKey = null, sortUp = true;

  columns.forEach(function (c) {
    var th = document.createElement('th');
    th.textContent = c.label;
    th.dataset.key = c.key;
    th.scope = 'col';
    if (c.title) th.title = c.title;
    if (c.num) th.className = 'n';
    th.addEventListener('click', function () { sortBy(c.key); });
    head.appendChild(th);
  });

  function bar(lines) {
    var div = document.createElement('div');
    div.className = 'bar';
    var total = lines.reduce(function (a, b) { return a + b; }, 0);
    div.title = 'designer ' + lines[0] + ', attribute ' + lines[1] + ', blank ' + lines[2] + ', comment ' + lines[3] + ', code ' + lines[4];
    if (total > 0) {
      lines.forEach(function (n, k) {
        if (!n) return;
        var span = document.createElement('span');
        span.className = 'l' + k;
        span.style.width = (100 * n / total) + '%';
        div.appendChild(span);
      });
    }
    return div;
  }

  function render() {
    var rows = document.createDocumentFragment();
    var n = Math.min(limit, shown.length);
    for (var r = 0; r < n; ++r) {
      var i = shown[r], m = members[i];
      var tr = document.createElement('tr');
      tr.id = 'm' + i;
      tr.dataset.i = i;
      if (!m[READ]) tr.className = 'missing';
      columns.forEach(function (c) {
        var td = document.createElement('td');
        if (c.bar) {
          if (m[LINES]) td.appendChild(bar(m[LINES]));
        } else {
          td.textContent = String(valueOf(c, i));
        }
        if (c.num) td.className = 'n';
        if (c.cls) td.className = c.cls;
        if (c.key === 'name' && !m[READ]) {
          var badge = document.createElement('span');
          badge.className = 'badge';
          badge.textContent = 'not read';
          td.appendChild(badge);
        }
        tr.appendChild(td);
      });
      rows.appendChild(tr);
    }
    body.textContent = '';
    body.appendChild(rows);
    countText.textContent = shown.length === members.length
      ? members.length + ' members'
      : shown.length + ' of ' + members.length + ' members';
    moreButton.hidden = n >= shown.length;
    moreButton.textContent = 'Show all ' + shown.length;
  }

  var collator = new Intl.Collator(undefined, { numeric: true, sensitivity: 'base' });
  function sortBy(key) {
    var column = columns.filter(function (c) { return c.key === key; })[0];
    sortUp = sortKey === key ? !sortUp : true;
    sortKey = key;
    var values = members.map(function (m, i) { return valueOf(column, i); });
    var sign = sortUp ? 1 : -1;
    order.sort(function (a, b) {
      var x = values[a], y = values[b];
      var d = column.num || column.bar ? x - y : collator.compare(x, y);
      return d ? sign * d : a - b;
    });
    Array.prototype.forEach.call(head.cells, function (th) {
      if (th.dataset.key === key) th.setAttribute('aria-sort', sortUp ? 'ascending' : 'descending');
      else th.removeAttribute('aria-sort');
    });
    applyFilter();
  }

  function applyFilter() {
    var text = filterBox.value.trim().toLowerCase();
    shown = !text ? order : order.filter(function (i) {
      var m = members[i];
      return (m[PATH] + '\n' + m[NAME] + '\n' + m[TYPE] + '\n' + (data.projects[m[PROJECT]] || '')).toLowerCase().indexOf(text) >= 0;
    });
    render();
  }
  var filterTimer = 0;
  filterBox.addEventListener('input', function () {
    clearTimeout(filterTimer);
    filterTimer = setTimeout(function () { limit = page; applyFilter(); }, members.length > 20000 ? 200 : 0);
  });
  moreButton.addEventListener('click', function () { limit = shown.length; render(); });

  // The treemap: a tooltip on hover, the member's row on a click.
  var tip = document.getElementById('tip');
  var map = document.getElementById('map');
  function tileText(rect) {
    if (rect.dataset.more) return rect.dataset.more + ' more members, ' + rect.dataset.lines + ' lines';
    var m = members[+rect.dataset.i];
    if (!m) return '';
    return m[PATH] + '\n' + m[TYPE] + (data.projects.length > 1 ? ' in ' + data.projects[m[PROJECT]] : '') +
      '\nLines: ' + m[LINE_TEXT] + '  (interface ' + m[5] + ', code ' + m[7] + ')\nSize with binary: ' + m[SIZE_TEXT];
  }
  if (map) {
    map.addEventListener('mousemove', function (e) {
      var rect = e.target;
      if (!rect.classList || !rect.classList.contains('tile')) { tip.hidden = true; return; }
      tip.textContent = tileText(rect);
      tip.style.whiteSpace = 'pre-line';
      tip.hidden = false;
      var x = Math.min(e.clientX + 14, window.innerWidth - tip.offsetWidth - 8);
      var y = e.clientY + 18 + tip.offsetHeight > window.innerHeight ? e.clientY - tip.offsetHeight - 10 : e.clientY + 18;
      tip.style.left = Math.max(0, x) + 'px';
      tip.style.top = Math.max(0, y) + 'px';
    });
    map.addEventListener('mouseleave', function () { tip.hidden = true; });
    map.addEventListener('click', function (e) {
      var rect = e.target;
      if (!rect.dataset || rect.dataset.i === undefined) return;
      showRow(+rect.dataset.i);
    });
  }
  function showRow(i) {
    var at = shown.indexOf(i);
    if (at < 0) { filterBox.value = ''; shown = order; at = order.indexOf(i); }
    if (at >= limit) limit = at + 1;
    render();
    var row = document.getElementById('m' + i);
    if (!row) return;
    var old = body.querySelector('tr.focus');
    if (old) old.classList.remove('focus');
    row.classList.add('focus');
    row.scrollIntoView({ block: 'center' });
  }

  render();

  if (location.hash === '#selftest') {
    var th = Array.prototype.filter.call(head.cells, function (t) { return t.dataset.key === 'codeLines'; })[0];
    th.click();
    // A click on the last tile (the smallest that has a row) brings up its row.
    var tiles = map ? map.querySelectorAll('rect.tile[data-i]') : [];
    var tile = tiles.length ? tiles[tiles.length - 1] : null;
    if (tile) tile.dispatchEvent(new MouseEvent('click', { bubbles: true }));
    var focused = body.querySelector('tr.focus');
    var result = document.createElement('pre');
    result.id = 'selftest';
    result.textContent = JSON.stringify({
      errors: errors, sortKey: sortKey, ascending: sortUp, rows: body.rows.length,
      tile: tile ? +tile.dataset.i : null, focused: focused ? +focused.dataset.i : null
    });
    document.body.appendChild(result);
  }
})();
)js";

}  // namespace quibex::report

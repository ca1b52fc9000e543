// compare.js - setting two temperaments side by side: "Compare with" takes
// equal temperament, a collection entry, or a host file or .scl chosen for
// the purpose (the binding keeps only its offsets; nothing edited changes).
// Shown after every report (Page.reported, report.js): both offsets and
// their difference note by note, and the chart of the thirds of the twelve
// keys for both. The circle draws the compared fifths (report.js); A/B
// plays them (listen.js).
(function () {
  'use strict';
  var $ = Page.$, call = Page.call, svg = Page.svg;

  // Edited minus compared, as the report prints a deviation: "+0.000" for nothing.
  function difference(a, b) {
    var d = parseFloat(a) - parseFloat(b);
    return Math.abs(d) < 0.0005 ? '+0.000' : (d < 0 ? '-' : '+') + Math.abs(d).toFixed(3);
  }

  // ---- The thirds chart --------------------------------------------------------------
  var LEFT = 34, WIDTH = 342, PANEL = 105;  // the chart's plot area; a panel's height
  var KEYS = ['C', 'G', 'D', 'A', 'E', 'B', 'F#', 'C#', 'Ab', 'Eb', 'Bb', 'F'];

  // One panel: the thirds' distances from pure (the report's rows, column 3) of this and the
  // compared temperament as bars from the zero line, 12 keys around the circle.
  function panel(chart, top, title, rows, compared) {
    var values = rows.concat(compared).map(function (row) {
      return parseFloat(row[3]);
    });
    var hi = Math.ceil(Math.max(0, Math.max.apply(null, values)) / 10) * 10;
    var lo = Math.floor(Math.min(0, Math.min.apply(null, values)) / 10) * 10;
    var span = hi - lo || 10;
    var y = function (v) {
      return top + (hi - v) / span * PANEL;
    };
    for (var g = lo; g <= hi; g += 10) {
      svg(chart, 'line', {x1: LEFT, x2: LEFT + WIDTH, y1: y(g), y2: y(g), class: g ? 'grid' : 'axis'});
      svg(chart, 'text', {x: LEFT - 4, y: y(g) + 3, 'text-anchor': 'end'}, (g > 0 ? '+' : '') + g);
    }
    svg(chart, 'text', {x: LEFT + 2, y: top - 4}, title);
    var step = WIDTH / 12;
    [[rows, 'this', 'this one'], [compared, 'compared', 'compared']].forEach(function (set, s) {
      set[0].forEach(function (row, k) {
        var v = parseFloat(row[3]);
        var bar = svg(chart, 'rect', {x: LEFT + k * step + 3 + s * (step / 2 - 2),
                                      y: Math.min(y(v), y(0)), width: step / 2 - 4,
                                      height: Math.max(Math.abs(y(v) - y(0)), 0.5),
                                      class: set[1]});
        svg(bar, 'title', {}, row[0] + '-' + row[1] + ' ' + set[2] + ': ' + row[3]);
      });
    });
    KEYS.forEach(function (name, k) {
      svg(chart, 'text', {x: LEFT + (k + 0.5) * step, y: top + PANEL + 11, 'text-anchor': 'middle'},
          name);
    });
  }

  function drawChart(r) {
    var chart = $('thirds-chart');
    while (chart.lastChild !== chart.firstChild)
      chart.removeChild(chart.lastChild);
    var hatch = svg(svg(chart, 'defs', {}), 'pattern', {id: 'hatch', width: 4, height: 4,
                                                         patternUnits: 'userSpaceOnUse',
                                                         patternTransform: 'rotate(45)'});
    svg(hatch, 'rect', {width: 4, height: 4, fill: '#fff'});
    svg(hatch, 'line', {x1: 0, y1: 0, x2: 0, y2: 4, stroke: '#b34700', 'stroke-width': 2});
    panel(chart, 20, 'Major thirds, cents from 5/4', r.thirds, r.c_thirds);
    panel(chart, 165, 'Minor thirds, cents from 6/5', r.minor, r.c_minor);
  }

  function showCompared(r) {
    $('compare-caption').textContent =
        'Offsets from equal temperament in cents, compared with ' + r.c_name;
    Page.fillRows($('compare-offsets').tBodies[0], r.offsets.map(function (row, i) {
      var other = r.c_offsets[i][1];
      return [row[0], row[1], other, difference(row[1], other)];
    }));
    drawChart(r);
  }

  // ---- Choosing what to compare with ----------------------------------------------

  // After the binding took the compared temperament: the report again, or its messages.
  async function compared(answer) {
    Page.showReport();
    await Page.showMessages(answer.messages);
  }

  function chooseCompared() {
    var value = $('compare-with').value;
    if (value === 'file')
      return;
    Page.act(function () {
      return compared(value === 'equal' ? call('web_compare_equal', [], []) :
                                          call('web_compare_entry', ['number'], [Number(value)]));
    });
  }

  async function compareFile(file) {
    await Page.upload(file);
    var r = call('web_compare_file', ['string', 'number'], [file.name, Number($('tonic').value)]);
    Page.discard([file]);
    var option = $('compare-with').querySelector('option[value="file"]');
    if (r.ok) {
      if (!option)
        option = $('compare-with').appendChild(document.createElement('option'));
      option.value = 'file';
      option.textContent = r.name + ' (' + file.name + ')';
      $('compare-with').value = 'file';
    }
    await compared(r);
  }

  Page.started.push(function () {
    // The collection's entries as the collection's list names them.
    var list = $('compare-with');
    $('collection').querySelectorAll('option:not([value=""])').forEach(function (option) {
      list.appendChild(option.cloneNode(true)).selected = false;
    });
    list.addEventListener('change', chooseCompared);
    $('b-compare-file').addEventListener('click', function () {
      $('file-compare').click();
    });
    $('file-compare').addEventListener('change', function () {
      var file = $('file-compare').files[0];
      $('file-compare').value = '';
      if (file)
        Page.act(function () {
          return compareFile(file);
        });
    });
  });
  Page.reported.push(showCompared);
})();

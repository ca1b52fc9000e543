// report.js - the tuner's report beside the tuning: the fifths, major and
// minor thirds of the present temperament as vostrel-convert --report gives
// them, and the circle of fifths drawn from them, with the compared
// temperament's fifths beside them and what is sounding marked. Shown again
// after every change of the tuning (Page.tuned, page.js); Page.report holds
// the binding's last answer (web_report) for the other scripts.
(function () {
  'use strict';
  var $ = Page.$, call = Page.call;
  // The notes around the circle from C, as the report's rows go.
  var CIRCLE = ['C', 'G', 'D', 'A', 'E', 'B', 'F#/Gb', 'C#/Db', 'G#/Ab', 'D#/Eb', 'A#/Bb', 'F'];
  Page.CIRCLE = CIRCLE;
  Page.reported = [];  // called with the report after it is shown

  function fillRows(body, rows) {
    body.textContent = '';
    rows.forEach(function (row) {
      var tr = body.insertRow();
      row.forEach(function (text) {
        tr.insertCell().textContent = text;
      });
    });
  }

  // The report's interval rows as the tables show them: the two notes joined by '-'.
  function fillTable(id, rows) {
    fillRows($(id).tBodies[0], rows.map(function (row) {
      return [row[0] + '-' + row[1], row[2], row[3], row[4]];
    }));
  }
  Page.fillRows = fillRows;

  var SVG = 'http://www.w3.org/2000/svg';

  function svg(parent, name, attributes, text) {
    var node = document.createElementNS(SVG, name);
    for (var key in attributes)
      node.setAttribute(key, attributes[key]);
    if (text !== undefined)
      node.textContent = text;
    parent.appendChild(node);
    return node;
  }
  Page.svg = svg;

  // A point at radius r and angle (clockwise from the top, in twelfths of a turn).
  function at(r, twelfths) {
    var a = twelfths * Math.PI / 6;
    return [165 + r * Math.sin(a), 165 - r * Math.cos(a)];
  }

  // "-1/4P" as the circle labels it: "-1/4 PC"; "0" is "pure".
  function fractionLabel(fraction) {
    return fraction === '0' ? 'pure' : fraction.replace(/([PS])$/, ' $1C');
  }
  Page.fractionLabel = fractionLabel;

  // The twelve fifths as arcs at radius r: blue narrow, red wide, grey pure; the wider the arc
  // the more tempered, up to widest.
  function arcs(group, fifths, r, widest, dash) {
    fifths.forEach(function (row, k) {
      var dev = parseFloat(row[3]);
      var from = at(r, k), to = at(r, k + 1);
      var colour = Math.abs(dev) < 0.0005 ? '#767676' : dev < 0 ? '#0b4f9c' : '#b00020';
      var arc = svg(group, 'path', {d: 'M' + from + ' A' + r + ' ' + r + ' 0 0 1 ' + to,
                                    fill: 'none', stroke: colour,
                                    'stroke-width': Math.min(1 + Math.abs(dev) * 0.9, widest)});
      if (dash)
        arc.setAttribute('stroke-dasharray', dash);
      svg(arc, 'title', {}, row[0] + '-' + row[1] + ': ' + row[3] + ' cents');
    });
  }

  function drawCircle(r) {
    var circle = $('circle');
    while (circle.lastChild !== circle.firstChild)
      circle.removeChild(circle.lastChild);
    arcs(svg(circle, 'g', {}), r.fifths, 116, 12);
    // The compared temperament's fifths outside them, narrower and dashed.
    arcs(svg(circle, 'g', {class: 'compared'}), r.c_fifths, 129, 7, '5 3');
    r.fifths.forEach(function (row, k) {
      var name = at(143, k);
      svg(circle, 'text', {x: name[0], y: name[1] + 4, 'text-anchor': 'middle',
                           class: 'note-name'}, row[0]);
      var label = at(92, k + 0.5);
      svg(circle, 'text', {x: label[0], y: label[1], 'text-anchor': 'middle'}, row[3]);
      svg(circle, 'text', {x: label[0], y: label[1] + 10, 'text-anchor': 'middle',
                           class: 'small'}, fractionLabel(row[5]));
      var third = at(56, k);
      svg(circle, 'text', {x: third[0], y: third[1] + 3, 'text-anchor': 'middle',
                           class: 'small'}, parseFloat(r.thirds[k][3]).toFixed(1));
    });
    svg(circle, 'g', {id: 'sounding'});
  }

  // Marks the notes at these places around the circle (0 C, 1 G, ...) as sounding, joined by
  // lines; none for an empty list.
  Page.markCircle = function (places) {
    var group = $('sounding');
    group.textContent = '';
    var points = places.map(function (k) {
      return at(143, k);
    });
    if (points.length > 1)
      svg(group, 'polygon', {points: points.join(' '), class: 'sounding-line'});
    points.forEach(function (p) {
      svg(group, 'circle', {cx: p[0], cy: p[1], r: 13, class: 'sounding-note'});
    });
  };

  function showReport() {
    var r = call('web_report', [], []);
    Page.report = r;
    fillTable('fifths', r.fifths);
    fillTable('thirds', r.thirds);
    fillTable('minor-thirds', r.minor);
    $('report-pitch').textContent = r.apitch;
    $('sum').textContent = r.sum;
    drawCircle(r);
    // What the tuning sheet prints above the report.
    $('sheet-name').textContent = $('f-name').value;
    fillRows($('sheet-offsets').tBodies[0], r.offsets);
    Page.reported.forEach(function (hook) {
      hook(r);
    });
  }
  Page.showReport = showReport;

  Page.tuned.push(showReport);
  // The sheet's name as the field holds it when printed.
  window.addEventListener('beforeprint', function () {
    $('sheet-name').textContent = $('f-name').value;
  });
})();

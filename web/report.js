// report.js - the tuner's report beside the tuning: the fifths and major
// thirds of the present temperament as vostrel-convert --report gives them,
// and the circle of fifths drawn from them. Shown again after every change
// of the tuning (Page.tuned, page.js).
(function () {
  'use strict';
  var $ = Page.$, call = Page.call;

  function fillTable(id, rows) {
    var body = $(id).tBodies[0];
    body.textContent = '';
    rows.forEach(function (row) {
      var tr = body.insertRow();
      [row[0] + '-' + row[1], row[2], row[3], row[4]].forEach(function (text) {
        tr.insertCell().textContent = text;
      });
    });
  }

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

  // A point at radius r and angle (clockwise from the top, in twelfths of a turn).
  function at(r, twelfths) {
    var a = twelfths * Math.PI / 6;
    return [165 + r * Math.sin(a), 165 - r * Math.cos(a)];
  }

  function drawCircle(fifths, thirds) {
    var circle = $('circle');
    while (circle.lastChild !== circle.firstChild)
      circle.removeChild(circle.lastChild);
    fifths.forEach(function (row, k) {
      var dev = parseFloat(row[3]);
      var from = at(118, k), to = at(118, k + 1);
      var colour = Math.abs(dev) < 0.0005 ? '#767676' : dev < 0 ? '#0b4f9c' : '#b00020';
      var width = Math.min(1 + Math.abs(dev) * 0.9, 12);
      svg(circle, 'path', {d: 'M' + from + ' A118 118 0 0 1 ' + to, fill: 'none',
                           stroke: colour, 'stroke-width': width});
      var name = at(143, k);
      svg(circle, 'text', {x: name[0], y: name[1] + 4, 'text-anchor': 'middle',
                           class: 'note-name'}, row[0]);
      var label = at(94, k + 0.5);
      var fraction = row[5] && row[5] !== '0' ? row[5] + ' PC' : row[5] === '0' ? 'pure' : '';
      svg(circle, 'text', {x: label[0], y: label[1], 'text-anchor': 'middle'}, row[3]);
      svg(circle, 'text', {x: label[0], y: label[1] + 10, 'text-anchor': 'middle',
                           class: 'small'}, fraction);
      var third = at(58, k);
      svg(circle, 'text', {x: third[0], y: third[1] + 3, 'text-anchor': 'middle',
                           class: 'small'}, parseFloat(thirds[k][3]).toFixed(1));
    });
  }

  function showReport() {
    var r = call('web_report', [], []);
    fillTable('fifths', r.fifths);
    fillTable('thirds', r.thirds);
    $('report-pitch').textContent = r.apitch;
    $('sum').textContent = r.sum;
    drawCircle(r.fifths, r.thirds);
  }

  Page.tuned.push(showReport);
})();

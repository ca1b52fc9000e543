// construct.js - a temperament by its fifths: twelve fields, C-G to F-C, in
// the grammar of vostrel-convert --fifths. While they are typed the page
// says whether the circle closes and what the wolf is; Apply puts their
// offsets into the tuning (Page.replaceTuning). "Take the present fifths"
// fills them from the report: a fraction of a comma where one is simple,
// else cents.
(function () {
  'use strict';
  var $ = Page.$, call = Page.call;
  var names = [];

  function fields() {
    return names.map(function (name, k) {
      return $('fifth' + k);
    });
  }

  function words() {
    return fields().map(function (field) {
      return field.value.trim();
    });
  }

  // Says what the fields make, marking a field whose word is not a tempering.
  function check() {
    var typed = words();
    var empty = typed.filter(function (w) {
      return w === '';
    }).length;
    var r = empty ? null : call('web_fifths', ['string', 'number'], [typed.join(' '), 0]);
    fields().forEach(function (field, k) {
      var bad = r && !r.ok && r.messages[0].indexOf('"' + typed[k] + '"') === 0;
      field.setAttribute('aria-invalid', bad ? 'true' : 'false');
    });
    $('fifths-state').textContent =
        empty ? empty + ' of the twelve fifths still empty.' :
        !r.ok ? r.messages[0].charAt(0).toUpperCase() + r.messages[0].slice(1) :
        r.wolf < 0 ? 'The circle closes.' :
        'The circle closes with the wolf ' + names[r.wolf] + ', ' + r.gap + ' cents from pure.';
    return r && r.ok;
  }

  function take() {
    Page.report.fifths.forEach(function (row, k) {
      $('fifth' + k).value = row[5] || row[3];
    });
    check();
  }

  async function apply() {
    if (!check()) {
      await Page.showMessages([$('fifths-state').textContent]);
      return;
    }
    var r = call('web_fifths', ['string', 'number'], [words().join(' '), 1]);
    await Page.replaceTuning(r, 'the fifths constructed');
    await Page.showMessages(r.messages);
  }

  Page.started.push(function () {
    names = call('web_fifths', ['string', 'number'], ['', 0]).names;
    names.forEach(function (name, k) {
      var row = document.createElement('div');
      row.className = 'field';
      row.innerHTML = '<label for="fifth' + k + '"></label><input id="fifth' + k +
          '" maxlength="200" autocomplete="off" spellcheck="false">';
      row.firstChild.textContent = name;
      row.lastChild.addEventListener('input', check);
      // Left, the field is an action of the page's, as every field is.
      row.lastChild.addEventListener('change', function () {
        Page.act(async function () {
          check();
        });
      });
      row.lastChild.addEventListener('keydown', function (event) {
        if (event.key === 'Enter')
          Page.act(apply);
      });
      $('fifths-fields').appendChild(row);
    });
    $('b-fifths-take').addEventListener('click', take);
    $('b-fifths-apply').addEventListener('click', function () {
      Page.act(apply);
    });
    take();
  });
})();

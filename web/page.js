// page.js - the page's controls. Every action calls the binding
// (web/vostrel_web.cpp), which runs the core at once and answers JSON; the
// page then shows the values and, one after another, the messages as modal
// dialogs, as the window shows its alerts.
// The page's other scripts (report.js, ...) come after this one and reach
// what they share through Page: its helpers, and the hooks they register.
var Page = {
  tuned: [],    // called with the binding's answer after every change of the tuning
  started: [],  // called once when the page is ready
};

(function () {
  'use strict';
  var ROOT = '/vostrel';  // the page's folder in the in-memory file system
  var NOTES = ['A', 'A#/Bb', 'B', 'C', 'C#/Db', 'D', 'D#/Eb', 'E', 'F', 'F#/Gb', 'G', 'G#/Ab'];
  var C_INDEX = 3;
  var FIELDS = ['f-id', 'f-name', 'f-short', 'f-supid', 'f-supname', 'f-comment', 'f-version'];
  var STRINGS = ['string', 'string', 'string', 'string', 'string', 'string', 'string'];
  // What Vostrel.ini keeps, under its keys, in the browser's local storage.
  var KEYS = ['TemperamID', 'SupplierID', 'SupplierNm'];
  var busy = false;
  var actions = 0;  // actions ended, for whoever watches the page
  var collectionMade = false;

  function $(id) {
    return document.getElementById(id);
  }

  function call(name, types, args) {
    return JSON.parse(Module.ccall(name, 'string', types, args));
  }

  // ---- Dialogs ----------------------------------------------------------------

  // Opens a modal dialog; resolves with the value it was closed with ('' for Escape).
  function modal(dialog) {
    return new Promise(function (resolve) {
      dialog.returnValue = '';
      dialog.addEventListener('close', function () {
        resolve(dialog.returnValue);
      }, {once: true});
      dialog.showModal();
    });
  }

  async function showMessages(messages) {
    for (var i = 0; i < messages.length; i++) {
      $('message-text').textContent = messages[i];
      await modal($('message'));
    }
  }

  // The question for a file name: the text, or null for Cancel.
  async function ask(prompt, preset) {
    $('ask-prompt').textContent = prompt;
    $('ask-input').value = preset;
    return (await modal($('ask'))) === 'ok' ? $('ask-input').value : null;
  }

  // Runs one action at a time; controls under a modal dialog are out of reach anyway.
  async function act(action) {
    if (busy)
      return;
    busy = true;
    try {
      await action();
    } finally {
      busy = false;
      actions++;
      document.body.setAttribute('data-actions', actions);
    }
  }

  // ---- Showing values -------------------------------------------------------------

  function setFields(texts) {
    texts.forEach(function (text, i) {
      $(FIELDS[i]).value = text;
    });
  }

  function fieldTexts() {
    return FIELDS.map(function (id) {
      return $(id).value;
    });
  }

  function setTuning(r) {
    $('t-apitch').value = r.apitch;
    for (var i = 0; i < 12; i++) {
      $('c' + i).value = r.cents[i];
      $('p' + i).textContent = r.pitches[i];
    }
    Page.tuned.forEach(function (hook) {
      hook(r);
    });
  }

  function buildNotes() {
    NOTES.forEach(function (name, i) {
      var row = document.createElement('div');
      row.className = 'field';
      row.innerHTML = '<label for="c' + i + '"></label><input id="c' + i +
          '" maxlength="32767" autocomplete="off" inputmode="decimal"><output id="p' + i +
          '" for="c' + i + '"></output>';
      row.firstChild.textContent = name;
      row.lastChild.setAttribute('aria-label', 'Pitch of ' + name + ' in Hz');
      $('notes').appendChild(row);
      var option = document.createElement('option');
      option.value = i;
      option.textContent = name;
      option.selected = i === C_INDEX;
      $('tonic').appendChild(option);
    });
  }

  // ---- Remembered values -----------------------------------------------------------

  function stored(key) {
    try {
      return localStorage.getItem('vostrel.' + key);
    } catch (e) {
      return null;
    }
  }

  function showRemembered() {
    var values = KEYS.map(stored);
    var kept = values[0] === null ? 'Nothing is remembered now.' :
        'Remembered now: Temperament ID ' + values[0] + ', Supplier ID ' + values[1] +
        ', Supplier Name "' + values[2] + '".';
    $('remember-text').textContent =
        'After each successful Generate File this browser keeps the Supplier ID, Supplier Name ' +
        'and Temperament ID, as the desktop program keeps them in Vostrel.ini, for your next ' +
        'visit. They stay on this computer. ' + kept;
  }

  function remember(values) {
    try {
      KEYS.forEach(function (key, i) {
        localStorage.setItem('vostrel.' + key, values[i]);
      });
    } catch (e) {
      // Storage refused (a private window, say): nothing is remembered.
    }
    showRemembered();
  }

  function forget() {
    try {
      KEYS.forEach(function (key) {
        localStorage.removeItem('vostrel.' + key);
      });
    } catch (e) {
      // Nothing could be stored either.
    }
    showRemembered();
  }

  // ---- Actions -----------------------------------------------------------------------

  // CR LF on Windows, as the desktop program writes its files there.
  function crlf() {
    var data = navigator.userAgentData;
    var platform = (data && data.platform) || navigator.platform || '';
    return /^win/i.test(platform) ? 1 : 0;
  }

  function download(file, name) {
    var bytes = Module.FS.readFile(file);
    var url = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
    var link = document.createElement('a');
    link.href = url;
    link.download = name.split(/[\\/]/).pop();
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () {
      URL.revokeObjectURL(url);
    }, 60000);
  }

  // Generate File (kind 0) or Save as .scl (kind 1).
  async function generate(kind) {
    var r = call('web_generate', ['number', 'string'].concat(STRINGS), [kind, ''].concat(fieldTexts()));
    setTuning(r);
    await showMessages(r.messages);
    if (!r.ok)
      return;
    var name = await ask('Filename to generate', r.proposal);
    if (name === null)
      return;
    var w = kind ? call('web_write_scl', ['string', 'number', 'number'],
                        [name, Number($('tonic').value), crlf()]) :
                   call('web_write', ['string', 'number'], [name, crlf()]);
    if (w.ok) {
      download(w.file, name);
      if (!kind)
        remember(w.remember);
    }
    await showMessages(w.messages);
  }

  async function upload(file) {
    var bytes = new Uint8Array(await file.arrayBuffer());
    Module.FS.writeFile(ROOT + '/upload/' + file.name, bytes);
  }

  function discard(files) {
    files.forEach(function (file) {
      try {
        Module.FS.unlink(ROOT + '/upload/' + file.name);
      } catch (e) {
        // Never written.
      }
    });
  }

  // Fills the page from a loaded file; on failure the page stays as it was.
  async function showLoaded(r) {
    if (r.ok) {
      setFields(r.fields);
      setTuning(r);
    }
    await showMessages(r.messages);
  }

  async function loadFile(file) {
    await upload(file);
    var r = call('web_load', ['string'], [file.name]);
    discard([file]);
    await showLoaded(r);
  }

  async function loadScale(files) {
    var scl = files.filter(function (f) {
      return /\.scl$/i.test(f.name);
    })[0];
    var kbm = files.filter(function (f) {
      return /\.kbm$/i.test(f.name);
    })[0];
    if (!scl) {
      await showMessages(['Please choose a Scala scale (.scl), with a keyboard mapping (.kbm) ' +
                          'if you like.']);
      return;
    }
    await upload(scl);
    if (kbm)
      await upload(kbm);
    var r = call('web_scale', ['string', 'string', 'number'],
                 [scl.name, kbm ? kbm.name : '', Number($('tonic').value)]);
    discard(kbm ? [scl, kbm] : [scl]);
    if (r.ok) {
      $('f-name').value = r.fields[1];
      $('f-short').value = r.fields[2];
      setTuning(r);
    }
    await showMessages(r.messages);
  }

  async function chooseEntry() {
    var k = $('collection').value;
    if (k === '')
      return;
    if (!collectionMade) {
      // The collection's host files, made as the build makes them (make_collection).
      Module.callMain([ROOT + '/collection.tsv', ROOT + '/collection']);
      collectionMade = true;
    }
    var r = call('web_entry', ['number'], [Number(k)]);
    $('collection').value = '';
    await showLoaded(r);
  }

  // Files dropped anywhere on the page: a scale when a .scl or .kbm is among them.
  async function dropped(event) {
    var files = Array.prototype.slice.call(event.dataTransfer.files);
    if (files.some(function (f) {
          return /\.(scl|kbm)$/i.test(f.name);
        }))
      await loadScale(files);
    else if (files.length)
      await loadFile(files[0]);
  }

  // ---- Start --------------------------------------------------------------------------

  function chosen(input, action) {
    input.addEventListener('change', function () {
      var files = Array.prototype.slice.call(input.files);
      input.value = '';
      if (files.length)
        act(function () {
          return action(files);
        });
    });
  }

  function wire() {
    $('t-apitch').addEventListener('change', function () {
      setTuning(call('web_tuning', ['number', 'string'], [-1, $('t-apitch').value]));
    });
    for (var i = 0; i < 12; i++) {
      (function (i) {
        $('c' + i).addEventListener('change', function () {
          setTuning(call('web_tuning', ['number', 'string'], [i, $('c' + i).value]));
        });
      })(i);
    }
    $('b-generate').addEventListener('click', function () {
      act(function () {
        return generate(0);
      });
    });
    $('b-save-scl').addEventListener('click', function () {
      act(function () {
        return generate(1);
      });
    });
    $('b-load').addEventListener('click', function () {
      $('file-load').click();
    });
    $('b-scale').addEventListener('click', function () {
      $('file-scale').click();
    });
    chosen($('file-load'), function (files) {
      return loadFile(files[0]);
    });
    chosen($('file-scale'), loadScale);
    $('collection').addEventListener('change', function () {
      act(chooseEntry);
    });
    $('b-forget').addEventListener('click', forget);
    $('message-close').addEventListener('click', function () {
      $('message').close('close');
    });
    $('ask-ok').addEventListener('click', function () {
      $('ask').close('ok');
    });
    $('ask-cancel').addEventListener('click', function () {
      $('ask').close('cancel');
    });
    $('ask-input').addEventListener('keydown', function (event) {
      if (event.key === 'Enter') {
        event.preventDefault();
        $('ask').close('ok');
      }
    });
    document.addEventListener('dragover', function (event) {
      event.preventDefault();
    });
    document.addEventListener('drop', function (event) {
      event.preventDefault();
      act(function () {
        return dropped(event);
      });
    });
  }

  function start() {
    buildNotes();
    var r = call('web_start', ['string', 'string', 'string', 'string'],
                 [ROOT].concat(KEYS.map(stored)));
    setFields(r.fields);
    setTuning(r);
    var entries = call('web_collection', [], []).entries;
    entries.forEach(function (name, k) {
      var option = document.createElement('option');
      option.value = k;
      option.textContent = name;
      $('collection').appendChild(option);
    });
    showRemembered();
    wire();
    document.querySelectorAll('button:disabled, select:disabled').forEach(function (control) {
      control.disabled = false;
    });
    Page.started.forEach(function (hook) {
      hook();
    });
    $('status').textContent = 'Ready.';
    // Since the page began to load, in ms: what scripts/web-bench.sh reports.
    document.body.setAttribute('data-ready', performance.now().toFixed(1));
  }

  Page.$ = $;
  Page.call = call;
  Page.act = act;
  Page.showMessages = showMessages;
  Page.setTuning = setTuning;
  Page.upload = upload;
  Page.discard = discard;
  // The one way a control replaces the whole tuning (r: the binding's answer; what: the action's
  // name, for the Undo it records).
  Page.replaceTuning = function (r, what) {
    setTuning(r);
  };
  Module['onRuntimeInitialized'] = start;
})();

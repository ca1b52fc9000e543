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
  var TEXTS = [1, 2, 4, 5, 6];  // the fields of text, as the host file holds it
  var STRINGS = ['string', 'string', 'string', 'string', 'string', 'string', 'string'];
  // What Vostrel.ini keeps, under its keys, in the browser's local storage; and the typed
  // temperament, kept across visits.
  var KEYS = ['TemperamID', 'SupplierID', 'SupplierNm'];
  var WORK = 'work';
  // Where a file generated goes, said after each download.
  var HOST_FOLDER = 'The host reads temperament files from its folder Temperaments, inside its ' +
      'folder Hauptwerk (on Windows near the top of drive C: or D:, on a Mac on the startup ' +
      'disk).';
  var MOVE = 'Move the file there: on Windows with File Explorer, on a Mac with the Finder ' +
      '(Go > Go to Folder… opens a folder by its path).';

  // ---- State ----------------------------------------------------------------------
  var busy = false;
  var actions = 0;         // actions ended, for whoever watches the page
  var collectionMade = false;
  var state = '';          // the binding's exact tuning now shown (web_restore takes it)
  var typed = {};          // a text field's typed text where the page shows it as written
  var changed = false;     // values typed since the last load or Generate File
  var entryStem = '';      // the file name of the collection entry shown, till it changes
  var undo = [];           // the page before each replacement, the last one last
  var saveFolder = null;   // the folder "Save into a folder…" writes to in this visit

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

  // Control characters other than line ends never reach the screen.
  async function showMessages(messages) {
    for (var i = 0; i < messages.length; i++) {
      $('message-text').textContent = messages[i].replace(/[\x00-\x09\x0b-\x1f\x7f]/g, '\ufffd');
      await modal($('message'));
    }
  }

  // A question: with a preset, the text typed (null for Cancel); without, true for the OK
  // button, named yes.
  async function ask(prompt, preset, yes) {
    $('ask-prompt').textContent = prompt;
    $('ask-input').value = preset || '';
    $('ask-input').classList.toggle('hidden', preset === undefined);
    $('ask-ok').textContent = yes || 'OK';
    var ok = (await modal($('ask'))) === 'ok';
    return preset === undefined ? ok : ok ? $('ask-input').value : null;
  }

  // Runs one action at a time; controls under a modal dialog are out of reach anyway.
  async function act(action) {
    if (busy)
      return;
    busy = true;
    document.body.setAttribute('data-busy', '');
    try {
      await action();
    } finally {
      busy = false;
      actions++;
      document.body.removeAttribute('data-busy');
      document.body.setAttribute('data-actions', actions);
    }
  }

  // ---- Showing values -------------------------------------------------------------

  function setFields(texts, originals) {
    texts.forEach(function (text, i) {
      $(FIELDS[i]).value = text;
    });
    typed = originals || {};
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
    state = r.state;
    Page.tuned.forEach(function (hook) {
      hook(r);
    });
    keepWork();
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

  // ---- Remembered values and the typed temperament -----------------------------------

  function stored(key) {
    try {
      return localStorage.getItem('vostrel.' + key);
    } catch (e) {
      return null;
    }
  }

  function store(key, value) {
    try {
      if (value === null)
        localStorage.removeItem('vostrel.' + key);
      else
        localStorage.setItem('vostrel.' + key, value);
    } catch (e) {
      // Storage refused (a private window, say): nothing is kept.
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
        'visit, and the whole temperament as you left it. They stay on this computer. ' + kept;
  }

  // The values as typed (a text the host file cannot hold as the user typed it).
  function typedTexts() {
    return fieldTexts().map(function (text, i) {
      return typed[i] !== undefined ? typed[i] : text;
    });
  }

  function remember(values) {
    var texts = typedTexts();
    // What the user typed, not the text as the host file holds it.
    values[2] = texts[4];
    values.forEach(function (value, i) {
      store(KEYS[i], value);
    });
    showRemembered();
  }

  function keepWork() {
    if (state)
      store(WORK, JSON.stringify({fields: fieldTexts(), typed: typed, state: state,
                                  changed: changed, stem: entryStem}));
  }

  // The temperament of the last visit, as it was left (work: as stored).
  function restoreWork(work) {
    try {
      work = JSON.parse(work);
    } catch (e) {
      return;  // not ours
    }
    if (!work || !Array.isArray(work.fields) || work.fields.length !== 7)
      return;
    var r = call('web_restore', ['string'], [String(work.state)]);
    if (!r.ok)
      return;
    setFields(work.fields.map(String), work.typed);
    changed = work.changed === true;
    entryStem = String(work.stem || '');
    setTuning(r);
  }

  function forget() {
    KEYS.concat(WORK).forEach(function (key) {
      store(key, null);
    });
    showRemembered();
  }

  function typing() {
    changed = true;
    entryStem = '';
    keepWork();
  }

  // ---- Replacing the whole tuning, and Undo --------------------------------------------

  function snapshot() {
    return {fields: fieldTexts(), typed: typed, state: state, changed: changed, stem: entryStem};
  }

  // The page as a snapshot had it; the binding's tuning too.
  function putBack(shot) {
    var r = call('web_restore', ['string'], [shot.state]);
    setFields(shot.fields, shot.typed);
    changed = shot.changed;
    entryStem = shot.stem;
    setTuning(r);
  }

  // The one way a control replaces the whole tuning: r is the binding's answer (the binding
  // has taken the new tuning; r.fields, where given, the seven texts), what names it for the
  // question and for Undo. Over values typed since the last load or Generate File it asks
  // first; kept, the binding's tuning goes back. Resolves true when replaced.
  async function replaceTuning(r, what) {
    var before = snapshot();
    if (changed && !(await ask('Replace the values you typed with ' + what + '? Undo brings ' +
                               'them back.', undefined, 'Replace'))) {
      call('web_restore', ['string'], [before.state]);
      return false;
    }
    undo.push(before);
    $('b-undo').disabled = false;
    if (r.fields)
      setFields(r.fields);
    changed = false;
    entryStem = r.stem || '';
    setTuning(r);
    return true;
  }

  function undoLast() {
    putBack(undo.pop());
    $('b-undo').disabled = undo.length === 0;
  }

  function reset() {
    return replaceTuning(call('web_reset', STRINGS.slice(0, 3), KEYS.map(stored)),
                         'equal temperament');
  }

  // ---- Typed values -------------------------------------------------------------------

  // A tuning value taken: field -1 is A-Pitch, 0..11 the cent fields.
  async function takeTuning(field, input) {
    var r = call('web_tuning', ['number', 'string'], [field, input.value]);
    setTuning(r);
    await showMessages(r.messages);
  }

  // A text shown as the host file will hold it, the typed text kept for the remembered values.
  async function takeText(i) {
    var input = $(FIELDS[i]);
    var r = call('web_text', ['string', 'string'], [input.labels[0].textContent, input.value]);
    if (r.text !== input.value) {
      typed[i] = input.value;
      input.value = r.text;
    } else {
      delete typed[i];
    }
    keepWork();
    await showMessages(r.messages);
  }

  // ---- Files out -----------------------------------------------------------------------

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
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () {
      URL.revokeObjectURL(url);
    }, 60000);
  }

  // Writes the download into the folder chosen, never over a file there (the window's rule).
  async function saveInto(file, name) {
    try {
      await saveFolder.getFileHandle(name);
      return [Page.existing];
    } catch (e) {
      if (e.name !== 'NotFoundError')
        return ['Cant create file\n' + name + '\n' + e.message];
    }
    var handle = await saveFolder.getFileHandle(name, {create: true});
    var out = await handle.createWritable();
    await out.write(Module.FS.readFile(file));
    await out.close();
    return [name + ' is saved in the folder ' + saveFolder.name + '.'];
  }

  // Hands a file written by the binding over to the user; what to tell them.
  async function handOver(w, name, into, advice) {
    if (into)
      return saveInto(w.file, name);
    download(w.file, name);
    return [name + ' is in your browser\'s downloads folder.' + (advice ? ' ' + advice : '')];
  }

  // Generate File (kind 0) or Save as .scl (kind 1), downloaded or saved into a folder.
  async function generate(kind, into) {
    var r = call('web_generate', ['number', 'string'].concat(STRINGS),
                 [kind, entryStem].concat(fieldTexts()));
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
    await showMessages(w.messages);
    if (!w.ok)
      return;
    if (!kind) {
      if (w.remember.length)
        remember(w.remember);
      changed = false;
      keepWork();
    }
    await showMessages(await handOver(w, name, into, kind ? '' : HOST_FOLDER + ' ' + MOVE));
  }

  // "Save into a folder…": the folder is chosen once in a visit, then Generate File's file
  // goes straight into it.
  async function generateInto() {
    if (!saveFolder) {
      try {
        saveFolder = await window.showDirectoryPicker({id: 'temperaments', mode: 'readwrite'});
      } catch (e) {
        return;  // no folder chosen
      }
    }
    await generate(0, true);
  }

  async function downloadCollection() {
    makeCollection();
    var name = 'Vostrel collection.zip';
    var w = call('web_zip', ['string'], [name]);
    await showMessages(w.messages);
    if (w.ok)
      await showMessages(await handOver(w, name, false, HOST_FOLDER + ' Unpack the zip file ' +
                                        'and move the files you want there.'));
  }

  // ---- Files in ------------------------------------------------------------------------

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

  // Of the files chosen or dropped: the first host file, or the first .scl with the first
  // .kbm; the others named in one message.
  async function openFiles(files) {
    var of = function (pattern) {
      return files.filter(function (f) {
        return pattern.test(f.name);
      })[0];
    };
    var scale = of(/\.(scl|kbm)$/i);
    var used = scale ? [of(/\.scl$/i), of(/\.kbm$/i)] : [files[0]];
    if (scale)
      await loadScale(used[0], used[1]);
    else
      await loadFile(used[0]);
    var rest = files.filter(function (f) {
      return used.indexOf(f) < 0;
    });
    if (rest.length)
      await showMessages(['One host file, or one scale with one keyboard mapping, is loaded at ' +
                          'a time. Not loaded: ' + rest.map(function (f) {
                            return f.name;
                          }).join(', ') + '.']);
  }

  // Fills the page from a loaded file; on failure the page stays as it was. True when filled.
  async function showLoaded(r, what) {
    await showMessages(r.messages);
    return r.ok && replaceTuning(r, what);
  }

  async function loadFile(file) {
    await upload(file);
    var r = call('web_load', ['string'], [file.name]);
    discard([file]);
    await showLoaded(r, file.name);
  }

  async function loadScale(scl, kbm) {
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
    if (r.ok)
      r.fields = fieldTexts().map(function (text, i) {
        return i === 1 || i === 2 ? r.fields[i] : text;
      });
    await showLoaded(r, scl.name);
  }

  // The collection's host files, made once as the build makes them (make_collection). It works
  // in the binding's record: the tuning shown is put back, or Generate File would write the last
  // entry's pitches.
  function makeCollection() {
    if (!collectionMade) {
      Module.callMain([ROOT + '/collection.tsv', ROOT + '/collection']);
      collectionMade = true;
      call('web_restore', ['string'], [state]);
    }
  }

  // Loads the entry chosen in the list (arrows only choose; Enter, a click or Load loads).
  async function loadEntry() {
    var option = $('collection').selectedOptions[0];
    if (!option)
      return;
    makeCollection();
    var r = call('web_entry', ['number'], [Number(option.value)]);
    if (await showLoaded(r, option.textContent))
      $('about').textContent = option.textContent + ': ' + r.about;
  }

  // ---- Start --------------------------------------------------------------------------

  function chosen(input) {
    input.addEventListener('change', function () {
      var files = Array.prototype.slice.call(input.files);
      input.value = '';
      if (files.length)
        act(function () {
          return openFiles(files);
        });
    });
  }

  // Each button's action, by its id.
  var BUTTONS = {
    'b-generate': function () {
      return generate(0, false);
    },
    'b-save-folder': generateInto,
    'b-save-scl': function () {
      return generate(1, false);
    },
    'b-entry': loadEntry,
    'b-zip': downloadCollection,
    'b-undo': undoLast,
    'b-reset': reset,
    'b-forget': forget,
  };

  function wire() {
    // Load File and Load Scala Scale open the file chooser of their file input.
    document.querySelectorAll('[aria-controls]').forEach(function (button) {
      button.addEventListener('click', function () {
        $(button.getAttribute('aria-controls')).click();
      });
    });
    Object.keys(BUTTONS).forEach(function (id) {
      $(id).addEventListener('click', function () {
        act(BUTTONS[id]);
      });
    });
    [$('t-apitch')].concat(NOTES.map(function (name, i) {
      return $('c' + i);
    })).forEach(function (input, k) {
      input.addEventListener('change', function () {
        act(function () {
          return takeTuning(k - 1, input);
        });
      });
    });
    FIELDS.forEach(function (id, i) {
      $(id).addEventListener('change', function () {
        act(function () {
          return TEXTS.indexOf(i) >= 0 ? takeText(i) : keepWork();
        });
      });
    });
    document.querySelector('main').addEventListener('input', function (event) {
      if (event.target.closest('#describe, #tuning'))
        typing();
    });
    chosen($('file-load'));
    chosen($('file-scale'));
    // The arrow keys only choose; a choice by pointer or touch, Enter or Load loads.
    var byKey = false;
    $('collection').addEventListener('keydown', function (event) {
      byKey = true;
      setTimeout(function () {
        byKey = false;
      });
      // Kept from the question's button, which the key would press.
      if (event.key === 'Enter') {
        event.preventDefault();
        act(loadEntry);
      }
    });
    $('collection').addEventListener('change', function () {
      if (!byKey)
        act(loadEntry);
    });
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
      var files = Array.prototype.slice.call(event.dataTransfer.files);
      if (files.length)
        act(function () {
          return openFiles(files);
        });
    });
    // Leaving with values typed and not generated asks first.
    window.addEventListener('beforeunload', function (event) {
      if (changed) {
        event.preventDefault();
        event.returnValue = '';
      }
    });
  }

  function start() {
    var work = stored(WORK);
    buildNotes();
    var r = call('web_start', ['string', 'string', 'string', 'string'],
                 [ROOT].concat(KEYS.map(stored)));
    Page.existing = r.existing;
    setFields(r.fields);
    setTuning(r);
    restoreWork(work);
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
      control.disabled = control.id === 'b-undo';
    });
    $('b-save-folder').classList.toggle('hidden', !window.showDirectoryPicker);
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
  Page.replaceTuning = replaceTuning;
  Page.upload = upload;
  Page.discard = discard;
  Page.makeCollection = makeCollection;
  Module['onRuntimeInitialized'] = start;
})();

// listen.js - hearing the temperament: an organ-like tone through Web Audio
// at the pitches the host file holds (Page.report.hz: the present A-Pitch and
// offsets, every octave as the file has it), a keyboard of two octaves played
// by mouse, touch or the computer's keys, and buttons that play the fifths,
// major thirds and major triads around the circle, alone or A/B with the
// compared temperament. Nothing sounds before the user acts (the browsers'
// rule); without Web Audio the section stays hidden and nothing else changes.
(function () {
  'use strict';
  var $ = Page.$;
  if (!(window.AudioContext || window.webkitAudioContext))
    return;

  // ---- The tone -----------------------------------------------------------------------
  // An 8' principal: a fundamental and a few decaying harmonics, in sine phase (the wave then
  // rises through zero once a period).
  var PARTIALS = [0, 1, 0.5, 0.3, 0.2, 0.12, 0.08, 0.05, 0.03];
  var LEVEL = 0.1;      // a voice's peak before the volume: ten voices make full scale
  var MOST = 10;        // keys sounding at once at most
  var ATTACK = 0.025;   // time constants of the gain, seconds
  var RELEASE = 0.06;
  var LENGTH = 1.6;     // an interval of a sequence sounds this long, a triad longer
  var GAP = 0.35;

  var context = null;  // made at the first user's action; again if closed
  var out = null;      // the volume's gain, into the output
  var wave = null;

  function volume() {
    var v = Number($('volume').value) / 100;
    return v * v;
  }

  // The context with the page's graph, made (or resumed) on a user's action.
  function audio() {
    if (!context || context.state === 'closed') {
      var Context = window.AudioContext || window.webkitAudioContext;
      context = new Context({latencyHint: 'interactive'});
      out = context.createGain();
      out.gain.value = volume();
      out.connect(context.destination);
      wave = context.createPeriodicWave(new Float32Array(PARTIALS.length),
                                        new Float32Array(PARTIALS));
    }
    if (context.state === 'suspended')
      context.resume();
    return context;
  }

  // A voice at hz from time at into destination; null for a pitch no one could hear.
  function voice(hz, at, destination) {
    if (!(hz > 8 && hz < 20000))
      return null;
    var osc = context.createOscillator();
    osc.setPeriodicWave(wave);
    osc.frequency.value = hz;
    var gain = context.createGain();
    gain.gain.value = 0;
    gain.gain.setTargetAtTime(LEVEL, at, ATTACK);
    osc.connect(gain);
    gain.connect(destination);
    osc.start(at);
    return {osc: osc, gain: gain};
  }

  function release(v, at) {
    if (!v)
      return;
    v.gain.gain.setTargetAtTime(0, at, RELEASE);
    try {
      v.osc.stop(at + 10 * RELEASE);
    } catch (e) {
      // Stopped already.
    }
  }

  // ---- The keyboard --------------------------------------------------------------------
  var LOWEST = 48;  // C3, the first of 25 keys
  // The computer's keys by their place (whatever the layout): their notes above C3 and labels.
  var KEYS = {KeyZ: 0, KeyS: 1, KeyX: 2, KeyD: 3, KeyC: 4, KeyV: 5, KeyG: 6, KeyB: 7, KeyH: 8,
              KeyN: 9, KeyJ: 10, KeyM: 11, Comma: 12, KeyQ: 12, Digit2: 13, KeyW: 14, Digit3: 15,
              KeyE: 16, KeyR: 17, Digit5: 18, KeyT: 19, Digit6: 20, KeyY: 21, Digit7: 22, KeyU: 23,
              KeyI: 24};
  var LABELS = 'ZSXDCVGBHNJMQ2W3ER5T6Y7UI';
  var held = {};  // sounding keys by what holds them (a key's code, a pointer): note and voice

  function keyOf(note) {
    return $('keyboard').children[note - LOWEST];
  }

  // Sounds note for holder at once; the key is drawn down after the sound has started.
  function press(holder, note, event) {
    var hz = Page.report && Page.report.hz[note];
    if (held[holder] || Object.keys(held).length >= MOST)
      return;
    var c = audio();
    held[holder] = {note: note, voice: voice(hz, c.currentTime, out)};
    Page.keyDelay = performance.now() - event.timeStamp;
    keyOf(note).classList.add('down');
  }

  function lift(holder) {
    var h = held[holder];
    if (!h)
      return;
    delete held[holder];
    release(h.voice, context.currentTime);
    var still = Object.keys(held).some(function (k) {
      return held[k].note === h.note;
    });
    if (!still)
      keyOf(h.note).classList.remove('down');
  }

  function liftAll() {
    Object.keys(held).forEach(lift);
  }

  function buildKeyboard() {
    var board = $('keyboard'), white = 0;
    for (var n = 0; n < LABELS.length; n++) {
      var black = [1, 3, 6, 8, 10].indexOf(n % 12) >= 0;
      var key = document.createElement('div');
      key.className = 'key ' + (black ? 'black' : 'white');
      key.style.left = 'calc(' + white + ' * 100% / 15' + (black ? ' - 2%)' : ')');
      key.textContent = LABELS[n];
      key.setAttribute('data-note', LOWEST + n);
      board.appendChild(key);
      white += black ? 0 : 1;
    }
    board.addEventListener('keydown', function (event) {
      var n = KEYS[event.code];
      if (n === undefined || event.ctrlKey || event.metaKey || event.altKey)
        return;
      event.preventDefault();
      if (event.repeat)
        return;
      // Pressed again with its release unseen (say, the focus was elsewhere): sounded afresh.
      lift(event.code);
      press(event.code, LOWEST + n, event);
    });
    board.addEventListener('keyup', function (event) {
      lift(event.code);
    });
    board.addEventListener('blur', liftAll);
    board.addEventListener('pointerdown', function (event) {
      var note = Number(event.target.getAttribute('data-note'));
      if (!note)
        return;
      event.preventDefault();
      press('p' + event.pointerId, note, event);
      board.focus();
    });
    ['pointerup', 'pointercancel'].forEach(function (type) {
      document.addEventListener(type, function (event) {
        lift('p' + event.pointerId);
      });
    });
  }

  // ---- Sequences ------------------------------------------------------------------------
  var playing = null;  // the sequence sounding: its gain, voices, plan and timer

  // The fifths, major thirds or major triads from the octave of middle C around the circle:
  // their notes, places in the circle and names.
  function items(kind) {
    var steps = {fifths: [[0, 0], [7, 1]], thirds: [[0, 0], [4, 4]],
                 triads: [[0, 0], [4, 4], [7, 1]]}[kind];
    var list = [];
    for (var k = 0; k < 12; k++) {
      var root = 60 + (7 * k) % 12;
      var places = steps.map(function (s) {
        return (k + s[1]) % 12;
      });
      list.push({
        notes: steps.map(function (s) {
          return root + s[0];
        }),
        places: places,
        name: kind === 'triads' ? Page.CIRCLE[k] + ' major' : places.map(function (p) {
          return Page.CIRCLE[p];
        }).join('-'),
      });
    }
    return list;
  }

  function stop() {
    if (!playing)
      return;
    var p = playing;
    playing = null;
    clearInterval(p.timer);
    var now = context.currentTime;
    p.gain.gain.setTargetAtTime(0, now, 0.005);
    p.voices.forEach(function (v) {
      release(v, now);
    });
    setTimeout(function () {
      p.gain.disconnect();
    }, 200);
    Page.markCircle([]);
    $('playing').textContent = '';
  }

  // Marks what sounds now in the circle and says it; stops after the last.
  function follow() {
    var now = context.currentTime;
    var step = playing.plan.filter(function (s) {
      return s.at <= now && now < s.until + GAP;
    })[0];
    if (!step && now > playing.plan[playing.plan.length - 1].until) {
      stop();
      return;
    }
    if (step && step !== playing.shown) {
      playing.shown = step;
      Page.markCircle(step.item.places);
      $('playing').textContent = 'Playing ' + step.item.name + ' in ' + step.what + '.';
    }
  }

  // Plays the items one after another on the audio clock; A/B: each also in the compared
  // temperament, right after.
  function play(kind) {
    stop();
    var c = audio(), r = Page.report;
    var gain = c.createGain();
    gain.connect(out);
    var length = kind === 'triads' ? LENGTH + 0.6 : LENGTH;
    var temperaments = [['hz', 'this temperament']];
    if ($('ab').checked)
      temperaments.push(['c_hz', r.c_name + ' (compared)']);
    var at = c.currentTime + 0.05, voices = [], plan = [];
    items(kind).forEach(function (item) {
      temperaments.forEach(function (t) {
        item.notes.forEach(function (note) {
          var v = voice(r[t[0]][note], at, gain);
          release(v, at + length);
          voices.push(v);
        });
        plan.push({at: at, until: at + length, item: item, what: t[1]});
        at += length + GAP;
      });
    });
    playing = {gain: gain, voices: voices, plan: plan, timer: setInterval(follow, 40)};
  }

  Page.started.push(function () {
    $('listen').classList.remove('hidden');
    buildKeyboard();
    ['fifths', 'thirds', 'triads'].forEach(function (kind) {
      $('b-' + kind).addEventListener('click', function () {
        play(kind);
      });
    });
    $('b-stop').addEventListener('click', stop);
    // The audio device started as soon as the section is reached, not at the first key.
    $('listen').addEventListener('focusin', audio);
    $('listen').addEventListener('keydown', function (event) {
      if (event.key === 'Escape')
        stop();
    });
    $('volume').addEventListener('input', function () {
      if (out)
        out.gain.setTargetAtTime(volume(), context.currentTime, 0.02);
    });
  });
})();

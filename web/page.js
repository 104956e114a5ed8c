// The page around the game: the end page, the error box, the touch note, the offline cache.
// The game itself (tangrel.js) finds its canvas as #canvas and calls TangrelPage.showEnd()
// when the player closes it and TangrelPage.showError(text) for an error report.
'use strict';

(function () {
  const canvas = document.getElementById('canvas');
  const errors = document.getElementById('errors');
  const shown = new Set();

  function showError(text) {
    text = String(text == null ? '' : text).trim() || 'Unknown error';
    if (shown.has(text)) return;  // the same report once
    shown.add(text);
    const box = document.createElement('div');
    box.className = 'error';
    box.textContent = text;
    const close = document.createElement('button');
    close.type = 'button';
    close.setAttribute('aria-label', 'Close');
    close.textContent = '\u00d7';
    close.addEventListener('click', () => { box.remove(); shown.delete(text); if (canvas) canvas.focus(); });
    box.appendChild(close);
    errors.appendChild(box);
  }

  function showEnd() {
    if (document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(() => {});
    document.getElementById('touch-note').hidden = true;
    canvas.style.visibility = 'hidden';
    const end = document.getElementById('end');
    end.hidden = false;
    document.getElementById('again').focus();
  }

  document.getElementById('again').addEventListener('click', () => location.reload());

  window.TangrelPage = { showEnd, showError };

  // --- the game's module: emcc's output reads these before it starts ---------------------
  const loading = document.getElementById('loading');
  window.Module = Object.assign(window.Module || {}, {
    canvas,
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
    setStatus: (text) => {
      // "Downloading data... (123/456)" while the game folder comes in.
      const m = /\((\d+)\/(\d+)\)/.exec(text || '');
      loading.textContent = m && +m[2] > 0 ? 'Loading\u2026 ' + Math.floor((100 * m[1]) / m[2]) + '%' : 'Loading\u2026';
    },
    onAbort: (what) => showError('The game stopped: ' + (what == null ? 'unknown error' : what)),
  });

  // --- never scroll, zoom or select under the game ---------------------------------------
  const stop = (e) => { if (e.cancelable) e.preventDefault(); };
  for (const type of ['touchmove', 'gesturestart', 'gesturechange', 'dblclick', 'selectstart'])
    document.addEventListener(type, stop, { passive: false });
  document.addEventListener('wheel', stop, { passive: false });
  document.addEventListener('contextmenu', (e) => { if (e.target === canvas) e.preventDefault(); });
  document.addEventListener('keydown', (e) => {
    // Ctrl with + - 0 would zoom the page under the game.
    if ((e.ctrlKey || e.metaKey) && ['+', '-', '=', '0'].includes(e.key)) e.preventDefault();
  });

  // --- the touch note: shown on the first touch, then it fades away --------------------
  let noteShown = false;
  function showTouchNote() {
    if (noteShown || document.body.dataset.game === 'ended') return;
    noteShown = true;
    const note = document.getElementById('touch-note');
    note.hidden = false;
    setTimeout(() => note.classList.add('fading'), 8000);
    setTimeout(() => { note.hidden = true; }, 8700);
  }
  document.addEventListener('touchstart', showTouchNote, { passive: true, capture: true });

  // --- offline play: the service worker keeps the whole site after the first visit -------
  // Registered once the game runs, so its downloads never hold up the first menu.
  function registerWorker() {
    if (!('serviceWorker' in navigator) || registerWorker.done) return;
    registerWorker.done = true;
    navigator.serviceWorker.register('sw.js').catch((e) => console.warn('offline cache unavailable:', e));
  }
  const watch = new MutationObserver(() => {
    if (document.body.dataset.game !== 'loading') { watch.disconnect(); registerWorker(); }
  });
  watch.observe(document.body, { attributes: true, attributeFilter: ['data-game'] });
  // Should the game never start (an old browser, a failed download), still keep the site.
  window.addEventListener('load', () => setTimeout(registerWorker, 10000));
})();

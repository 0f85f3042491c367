// The page's half of the web back end, run before the program starts (linked with --pre-js).
// It turns the page's query into the command line, keeps the saves in IndexedDB and tells the
// page when the game has ended. SDL's own web code does the window, input and sound.
(function () {
  'use strict';
  // The fixed game folder (the pack is served into it) and the IndexedDB mount of the saves.
  const kGameFolder = '/quorvex';
  const kSaveFolder = '/saves';
  const kSaveFiles = ['options.txt', 'players.txt', 'records.txt'];
  // Harness options the query may carry: flags, options with a value, and inputs, which are
  // fetched beside the page and handed over as files.
  const kFlags = ['headless', 'virtual-clock', 'fullscreen', 'windowed', 'no-sound', 'render-all',
                  'autoplay'];
  const kValues = ['seed', 'ticks', 'autoplay-skill', 'events', 'record'];
  const kInputs = ['script', 'replay'];

  function commandLine(search) {
    const args = [];
    const inputs = [];
    let renderer = '';
    // (No destructuring here: emscripten's minifier of this version mangles it.)
    new URLSearchParams(search).forEach(function (value, key) {
      if (kFlags.includes(key)) {
        if (value !== '0' && value !== 'false') args.push('--' + key);
      } else if (kValues.includes(key)) {
        args.push('--' + key, value);
      } else if (kInputs.includes(key)) {
        const path = '/input/' + key + '.txt';
        inputs.push({url: value, path: path});
        args.push('--' + key, path);
      } else if (key === 'renderer') {
        renderer = value;  // SDL's name: "software" or "opengles2"
      } else {
        console.warn('quorvex: query option "' + key + '" is not the game\'s; left out');
      }
    });
    return {args: args, inputs: inputs, renderer: renderer};
  }

  const line = commandLine(typeof location === 'undefined' ? '' : location.search);
  Module['arguments'] = line.args;

  // Saves reach IndexedDB one whole sync at a time; a write during a sync asks for another.
  let syncing = false;
  let again = false;
  function flushSaves() {
    if (syncing) {
      again = true;
      return;
    }
    syncing = true;
    FS.syncfs(false, (err) => {
      syncing = false;
      if (err) console.error('quorvex: the saves could not be stored in the browser:', err);
      if (again) {
        again = false;
        flushSaves();
      }
    });
  }
  Module['quorvexSyncing'] = () => syncing || again;

  function copyFile(from, to) {
    try {
      FS.writeFile(to, FS.readFile(from));
      return true;
    } catch (e) {
      return false;  // absent: nothing saved yet
    }
  }

  Module['preRun'] = Module['preRun'] || [];
  Module['preRun'].push(function () {
    // Deleting a WebGL context drops every event handler on its canvas, SDL's mouse handlers
    // among them, and SDL registers those only when it makes the window. The game makes a new
    // renderer (and context) for each display switch on the same window, so the handlers must
    // outlive the context.
    if (typeof GL === 'object' && GL.deleteContext) {
      const deleteContext = GL.deleteContext;
      GL.deleteContext = function (handle) {
        const removeAll = JSEvents.removeAllHandlersOnTarget;
        JSEvents.removeAllHandlersOnTarget = function () {};
        try {
          return deleteContext.call(GL, handle);
        } finally {
          JSEvents.removeAllHandlersOnTarget = removeAll;
        }
      };
    }
    if (line.renderer) ENV['SDL_RENDER_DRIVER'] = line.renderer;
    FS.mkdir(kSaveFolder);
    FS.mount(IDBFS, {}, kSaveFolder);
    addRunDependency('quorvex-saves');
    FS.syncfs(true, (err) => {
      if (err) console.error('quorvex: the saves in the browser could not be read:', err);
      removeRunDependency('quorvex-saves');
    });
    if (line.inputs.length) FS.mkdir('/input');
    for (const input of line.inputs) {
      const dependency = 'quorvex-input-' + input.path;
      addRunDependency(dependency);
      fetch(input.url)
        .then((r) => (r.ok ? r.arrayBuffer() : Promise.reject(new Error(r.status + ' ' + input.url))))
        .then((data) => FS.writeFile(input.path, new Uint8Array(data)))
        .catch((e) => console.error('quorvex: cannot fetch ' + input.url + ': ' + e.message))
        .finally(() => removeRunDependency(dependency));
    }
    // The game writes a save to a temporary file and renames it over the old one; the rename is
    // the moment the save is whole, so that is when it goes to IndexedDB. (This emscripten has
    // rename hooks only in its debug build, so the call itself is wrapped.)
    const rename = FS.rename;
    FS.rename = function (oldPath, newPath) {
      rename(oldPath, newPath);
      const full = PATH_FS.resolve(newPath);
      const slash = full.lastIndexOf('/');
      const name = full.slice(slash + 1);
      if (full.slice(0, slash) === kGameFolder && kSaveFiles.includes(name) &&
          copyFile(full, kSaveFolder + '/' + name)) {
        flushSaves();
      }
    };
  });

  // Every run dependency (the pack, the saves) is in place here, just before main: the player's
  // saves replace the pack's defaults.
  const previousInit = Module['onRuntimeInitialized'];
  Module['onRuntimeInitialized'] = function () {
    Module['quorvexMainStarted'] = performance.now();  // measurements read it (tests/web)
    for (const name of kSaveFiles) copyFile(kSaveFolder + '/' + name, kGameFolder + '/' + name);
    if (previousInit) previousInit();
  };

  if (typeof window !== 'undefined') {
    // A closing or hidden tab may never run again: store whatever is pending now.
    window.addEventListener('pagehide', () => flushSaves());
    document.addEventListener('visibilitychange', () => {
      if (document.visibilityState === 'hidden') flushSaves();
    });
  }

  // The game's fullscreen switch. A request the browser refuses for want of a gesture (a
  // saved fullscreen option at start) is made again at the player's first click or key.
  let wantFullscreen = false;
  function applyFullscreen() {
    if (typeof document === 'undefined') return;
    const root = document.documentElement;
    if (wantFullscreen && !document.fullscreenElement && root.requestFullscreen) {
      root.requestFullscreen().catch(() => {
        const retry = () => {
          window.removeEventListener('click', retry, true);
          window.removeEventListener('keydown', retry, true);
          applyFullscreen();
        };
        window.addEventListener('click', retry, true);
        window.addEventListener('keydown', retry, true);
      });
    } else if (!wantFullscreen && document.fullscreenElement && document.exitFullscreen) {
      document.exitFullscreen().catch(() => {});
    }
  }
  Module['quorvexFullscreen'] = function (on) {
    wantFullscreen = on;
    applyFullscreen();
  };

  const previousExit = Module['onExit'];
  Module['onExit'] = function (status) {
    Module['quorvexMainEnded'] = performance.now();
    Module['quorvexExitStatus'] = status;
    if (previousExit) previousExit(status);
  };
})();

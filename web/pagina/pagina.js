// Vessel Drift's page: downloads the game with a progress bar, starts it on
// a click (browsers start sound and full screen only after a gesture), says
// so when the game has ended and offers to start again, and tells a browser
// without WebGL so in words. The game is emscripten's Module: vessel-drift.js.
'use strict';
(function () {
  const corpo = document.body;
  const canvas = document.getElementById('canvas');
  const palco = document.getElementById('palco');
  const mensagem = document.getElementById('mensagem');
  const barra = document.getElementById('barra');
  const progresso = document.getElementById('progresso');

  function mudaEstado(estado, texto) {
    corpo.dataset.estado = estado;
    if (texto !== undefined) mensagem.textContent = texto;
  }

  function temWebGL() {
    try {
      const c = document.createElement('canvas');
      return !!(window.WebGLRenderingContext && (c.getContext('webgl') || c.getContext('experimental-webgl')));
    } catch (e) {
      return false;
    }
  }

  function mostraProgresso(feito, total) {
    const pct = total > 0 ? Math.min(100, Math.round((100 * feito) / total)) : 0;
    progresso.style.width = pct + '%';
    barra.setAttribute('aria-valuenow', String(pct));
    const mb = (n) => (n / 1048576).toFixed(1);
    mensagem.textContent = 'Loading the game… • Carregando o jogo… ' + mb(feito) + ' / ' + mb(total) + ' MB';
  }

  document.getElementById('telacheia').addEventListener('click', function () {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (palco.requestFullscreen) palco.requestFullscreen().catch(function () {});
    canvas.focus();
  });
  document.getElementById('denovo').addEventListener('click', function () {
    location.reload();
  });

  if (!temWebGL()) {
    mudaEstado('semwebgl', 'Vessel Drift needs WebGL, which this browser lacks or has turned off. ' +
      '• Vessel Drift precisa de WebGL, que este navegador não tem ou desligou.');
    return;
  }

  // SDL 1.2 gives one press per key press, while a browser repeats a held
  // key's press: the repeats stop here, before the game's listener sees them.
  window.addEventListener('keydown', function (ev) {
    if (ev.repeat && corpo.dataset.estado === 'jogando') {
      ev.preventDefault();
      ev.stopImmediatePropagation();
    }
  }, true);

  // emscripten's OpenGL emulation announces itself on the error stream at
  // every start; those notices are not the game's, which writes nothing
  // there, and go to the console's debug level.
  const AVISO_EMSCRIPTEN = 'WARNING: using emscripten GL ';

  window.Module = {
    canvas: canvas,
    printErr: function (texto) {
      if (String(texto).startsWith(AVISO_EMSCRIPTEN)) console.debug(texto);
      else console.warn(texto);
    },
    // The sounds are decoded when the game loads them, not while the data
    // downloads; without this emscripten warns about each one.
    noAudioDecoding: true,
    // emscripten reports the data's download as "Downloading data... (done/total)".
    setStatus: function (texto) {
      const m = /^Downloading data\.\.\. \((\d+)\/(\d+)\)/.exec(texto || '');
      if (m) mostraProgresso(Number(m[1]), Number(m[2]));
    },
    onRuntimeInitialized: function () {
      mudaEstado('pronto', 'Ready. • Pronto.');
      document.getElementById('iniciar').focus();
    },
    onExit: function (status) {
      mudaEstado('encerrado', status === 0
        ? 'The game has ended. • O jogo terminou.'
        : 'The game has ended (status ' + status + '). • O jogo terminou (estado ' + status + ').');
      document.getElementById('denovo').focus();
    },
    onAbort: function (motivo) {
      mudaEstado('erro', 'The game stopped with an error: ' + motivo + ' • O jogo parou com um erro.');
    },
  };

  document.getElementById('iniciar').addEventListener('click', function () {
    mudaEstado('jogando');
    canvas.focus();
    window.Module.callMain([]);
  });

  const script = document.createElement('script');
  script.src = 'vessel-drift.js';
  script.onerror = function () {
    mudaEstado('erro', 'The game could not be downloaded. • O jogo não pôde ser baixado.');
  };
  document.body.appendChild(script);
})();

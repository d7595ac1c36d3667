#!/usr/bin/python3
"""The web build of the game in a real browser: Debian's headless Chromium,
driven over the DevTools protocol (python3-websocket), the page served by a
plain static server on 127.0.0.1.

It plays the real game the way a player would: the page's progress bar
(caught half-way through a throttled download), its click to start, the
language screen (compared with its picture, as the display tests
compare theirs), E for English, the tutorial's pages with T and Space, a run
left alone until it is lost, a run left with Esc, and the quit from the menu,
which must end on the page's "ended" state with the engine's shut-down
report on the console and no error anywhere. It also checks that the page's
audio runs and that every sound the game loaded was decoded, and that a
browser without WebGL gets the page's message instead of the game.

Keys are held across several frames (as the black-box tests hold theirs):
the game reads a key only when its press and release reach different
frames. Every screenshot is kept in the work folder; a screen that never
appears leaves its last capture there as well.

Timings are printed, never judged: page load to the first language frame,
and the frame pacing of a run (the interval between the engine's clears).

Usage: web_test.py <build-web folder> <rsrc folder> <work folder> [--start-up N]
With --start-up N it only times N start-ups (a fresh load each, the browser's
cache off) to the first language frame, and prints them with their median.
"""

import base64
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

import websocket

# Normalised RMSE under which a capture shows a given picture: the display
# tests' threshold for an unscaled picture (tests/blackbox/driver.sh); the
# browser's JPEG decoder (stb_image) differs from libjpeg by about 0.002.
SAME_SCREEN = 0.005
HOLD = 0.15          # seconds a tapped key stays down: several frames at 60 per second
POLL = 0.1           # seconds between two looks at the page
WIDTH, HEIGHT = 1024, 768
FOOTER = 48          # the page's footer under the picture (3rem)
CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
    "--autoplay-policy=no-user-gesture-required", "--disable-background-networking",
    "--disable-component-update", "--disable-sync", "--no-first-run",
    "--remote-debugging-port=0", "--window-size=%d,%d" % (WIDTH, HEIGHT + FOOTER),
    # A container's /dev/shm is often too small for the renderer's shared memory.
    "--disable-dev-shm-usage",
]
START_UP = [
    "Iniciando o modo de vídeo (OpenGL): 1024x768x32bpp",
    "A aplicação requisitou um modo de vídeo em tela cheia.",
    "A Brisa2DLite vai verificar a disponibilidade do modo de vídeo requisitado.",
    "O sistema indica que o modo é suportado. Tenta iniciar.",
    "A aplicação está utilizando double buffer como esperado.",
    "Modo de vídeo iniciado com sucesso!",
    "O tamanho máximo de textura suportado é de NxN pixels.",
    "Iniciou a Brisa2D 2 com sucesso",
]
TEXTURE_LIMIT = re.compile(r"^(O tamanho máximo de textura suportado é de )[0-9]+x[0-9]+( pixels\.)$")
LAST_LOAD = "Carregou o efeito ./rsrc/batida.wav."
SOUNDS = ["Carregou o efeito ./rsrc/morreu.ogg.", "Carregou a música ./rsrc/bgmusic.ogg.", LAST_LOAD]
EMSCRIPTEN_NOTICE = "WARNING: using emscripten GL "
SHUT_DOWN = ["Apagando os spritesets e fontes do sistema.", "Encerrando a SDL.", "Encerrou a SDL+OpenGL"]
# Counts the game's reads of its event queue: emscripten's SDL_PollEvent
# calls SDL.pollEvent, which answers 0 once the queue is empty.
POLL_HOOK = """(() => {
  const poll = SDL.pollEvent;
  window.vdLeituras = 0;
  SDL.pollEvent = function (p) { const r = poll.call(SDL, p); if (!r) window.vdLeituras++; return r; };
})()"""
# DOM key codes of the keys pressed (emscripten's SDL reads keyCode).
KEYS = {"e": ("KeyE", 69), "t": ("KeyT", 84), "p": ("KeyP", 80), "x": ("KeyX", 88),
        " ": ("Space", 32), "Escape": ("Escape", 27)}


class Failure(Exception):
    pass


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Browser:
    """One headless Chromium with a fresh profile and its one page."""

    def __init__(self, work, extra_flags=()):
        self.profile = tempfile.mkdtemp(prefix="vd-chromium-")
        self.log = open(os.path.join(work, "chromium%s.txt" % "".join(extra_flags)), "w")
        # Headless, it needs no display; given one (scripts/test's Xvfb, or
        # one gone), its GPU process would try to draw through it.
        environment = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        self.process = subprocess.Popen(
            ["chromium", "--user-data-dir=" + self.profile] + CHROMIUM_FLAGS + list(extra_flags) + ["about:blank"],
            stdout=self.log, stderr=subprocess.STDOUT, env=environment)
        port = self._devtools_port()
        pages = []
        deadline = time.time() + 30
        while not pages:
            pages = [t for t in json.load(urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port))
                     if t["type"] == "page"]
            if time.time() > deadline:
                raise Failure("Chromium shows no page")
            time.sleep(POLL)
        self.ws = websocket.create_connection(pages[0]["webSocketDebuggerUrl"], timeout=60)
        self.next_id = 0
        self.console = []       # (milliseconds since the epoch, type, text)
        self.errors = []        # exceptions and error log entries
        for domain in ("Runtime", "Page", "Log", "Performance"):
            self.call(domain + ".enable")
        self.call("Emulation.setDeviceMetricsOverride",
                  width=WIDTH, height=HEIGHT + FOOTER, deviceScaleFactor=1, mobile=False)

    def _devtools_port(self):
        path = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.time() + 30
        while True:
            if os.path.exists(path):
                with open(path) as f:
                    first = f.readline().strip()
                if first:
                    return int(first)
            if self.process.poll() is not None:
                raise Failure("Chromium ended at once (see chromium.txt)")
            if time.time() > deadline:
                raise Failure("Chromium did not open its DevTools port within 30 s")
            time.sleep(POLL)

    def _event(self, message):
        method, params = message.get("method"), message.get("params", {})
        if method == "Runtime.consoleAPICalled":
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in params["args"])
            self.console.append((params["timestamp"], params["type"], text))
        elif method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            self.errors.append("exception: " + details.get("exception", {}).get("description", details["text"]))
        elif method == "Log.entryAdded" and params["entry"]["level"] == "error":
            self.errors.append("log: " + params["entry"]["text"])

    def call(self, method, **params):
        self.next_id += 1
        self.ws.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.ws.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise Failure("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            self._event(message)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True)
        if "exceptionDetails" in result:
            raise Failure("%s: %s" % (expression, result["exceptionDetails"]["text"]))
        return result["result"].get("value")

    def busy_seconds(self):
        """Seconds the page's main thread has spent on tasks, and on script, so far."""
        metrics = {m["name"]: m["value"] for m in self.call("Performance.getMetrics")["metrics"]}
        return metrics["TaskDuration"], metrics["ScriptDuration"]

    def pump(self):
        """Takes in the events that arrived meanwhile."""
        self.evaluate("0")

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", format="png",
                         clip={"x": 0, "y": 0, "width": WIDTH, "height": HEIGHT, "scale": 1})["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def count_polls(self):
        """From now on window.vdLeituras counts the frames' reads of the
        event queue (a read that finds it empty ends a frame's input)."""
        self.evaluate(POLL_HOOK)

    def polls(self):
        return self.evaluate("window.vdLeituras")

    def _key_event(self, kind, key):
        code, key_code = KEYS[key]
        self.call("Input.dispatchKeyEvent", type=kind, key=key, code=code, windowsVirtualKeyCode=key_code,
                  nativeVirtualKeyCode=key_code)

    def _wait_polls(self, count, what):
        deadline = time.time() + 60
        while self.polls() < count:
            if time.time() > deadline:
                raise Failure("the game read no keys for 60 s after %s" % what)
            time.sleep(0.02)

    def key_down(self, key):
        """Holds the key until the game has read its queue twice since."""
        before = self.polls()
        self._key_event("rawKeyDown", key)
        time.sleep(HOLD)
        self._wait_polls(before + 2, key + " went down")

    def key_up(self, key):
        self._key_event("keyUp", key)

    def key(self, key):
        """A press the game sees: held at least HOLD seconds and until the
        game has read its queue twice since, so that the press and the
        release never reach the same frame (a frame on a loaded machine can
        take longer than HOLD)."""
        self.key_down(key)
        self.key_up(key)

    def click(self, selector):
        box = self.evaluate("(() => { const r = document.querySelector(%s).getBoundingClientRect();"
                            " return [r.x + r.width / 2, r.y + r.height / 2]; })()" % json.dumps(selector))
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=box[0], y=box[1], button="left", clickCount=1)

    def close(self):
        try:
            self.ws.close()
        except Exception:
            pass
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)


class Game:
    """The steps of a player, with the checks of each screen."""

    def __init__(self, browser, rsrc, work):
        self.b, self.rsrc, self.work = browser, rsrc, work
        self.shots = 0

    def capture(self, name):
        self.shots += 1
        path = os.path.join(self.work, "%02d-%s.png" % (self.shots, name))
        self.b.screenshot(path)
        return path

    def forget(self, path):
        os.remove(path)
        self.shots -= 1

    @staticmethod
    def difference(a, b):
        """Normalised RMSE of two pictures (ImageMagick's compare, as the display tests)."""
        report = subprocess.run(["compare", "-metric", "RMSE", a, b, "null:"],
                                capture_output=True, text=True).stderr
        if "(" not in report:
            raise Failure("compare could not read %s and %s: %s" % (a, b, report))
        return float(report.split("(")[1].split(")")[0])

    def state(self):
        return self.b.evaluate("document.body ? document.body.dataset.estado : 'none'")

    def expect_running(self, what):
        state = self.state()
        if state != "jogando":
            raise Failure("the page left the game (state %s) while waiting for %s" % (state, what))

    def wait_screen(self, picture, name, seconds):
        """Waits until the canvas shows rsrc/<picture>; keeps that capture."""
        expected = os.path.join(self.rsrc, picture)
        deadline = time.time() + seconds
        while True:
            self.expect_running("the %s screen" % name)
            shot = self.capture(name)
            d = self.difference(shot, expected)
            if d < SAME_SCREEN:
                print("%s screen: normalised RMSE %.4f" % (name, d))
                return shot
            if time.time() > deadline:
                raise Failure("the %s screen (%s) did not appear within %d s; last capture %s, RMSE %.4f"
                              % (name, picture, seconds, shot, d))
            self.forget(shot)
            time.sleep(POLL)

    def wait_screen_gone(self, picture, name, seconds):
        expected = os.path.join(self.rsrc, picture)
        deadline = time.time() + seconds
        while True:
            self.expect_running("the %s screen to go" % name)
            shot = self.capture(name + "-gone")
            still = self.difference(shot, expected) < SAME_SCREEN
            if not still:
                return shot
            self.forget(shot)
            if time.time() > deadline:
                raise Failure("the %s screen was still up after %d s" % (name, seconds))
            time.sleep(POLL)

    def expect_motion(self, name, seconds):
        """Waits until two captures a moment apart differ, as a run's do."""
        deadline = time.time() + seconds
        while True:
            first = self.capture(name)
            time.sleep(0.5)
            second = self.capture(name)
            if self.difference(first, second) >= SAME_SCREEN:
                return
            self.forget(second)
            self.forget(first)
            if time.time() > deadline:
                raise Failure("the %s screen did not move within %d s" % (name, seconds))

    def wait_state(self, state, seconds):
        deadline = time.time() + seconds
        while self.state() != state:
            if time.time() > deadline:
                raise Failure("the page did not reach its %s state within %d s (state %s)"
                              % (state, seconds, self.state()))
            time.sleep(POLL)


# ---------------------------------------------------------------------------
# Checks
# ---------------------------------------------------------------------------

def stdout_lines(browser):
    return [text for _, kind, text in browser.console if kind == "log"]


def check_console(browser):
    lines = stdout_lines(browser)
    # The page passes emscripten's own notices about its OpenGL emulation to
    # the console's debug level (web/pagina/pagina.js); anything else there
    # but the game's output is a fault.
    others = [(kind, text) for _, kind, text in browser.console
              if kind != "log" and not (kind == "debug" and text.startswith(EMSCRIPTEN_NOTICE))]
    if others:
        raise Failure("the console shows more than the game's output: %s" % others)
    if browser.errors:
        raise Failure("errors in the page: %s" % browser.errors)
    # The one number that depends on the machine: the largest texture.
    lines = [TEXTURE_LIMIT.sub(r"\1NxN\2", line) for line in lines]
    expected = START_UP + SOUNDS + SHUT_DOWN
    if lines != expected:
        raise Failure("the game's output differs:\n  got      %s\n  expected %s" % (lines, expected))
    print("console: the game's %d lines, byte for byte as on a desktop, ending with its shut-down report;"
          " no errors" % len(lines))


def check_sound(browser):
    """The page's audio runs, and every effect and piece of music the game
    loaded was decoded by the browser (emscripten's mixer decodes each one
    with Web Audio when the game loads it; a failed decode leaves no buffer)."""
    deadline = time.time() + 20
    while True:
        sound = browser.evaluate(
            "({context: SDL.audioContext ? SDL.audioContext.state : 'none',"
            "  loaded: SDL.audios.filter(a => a).map(a => a.source),"
            "  decoded: SDL.audios.filter(a => a && a.webAudio && a.webAudio.decodedBuffer).length,"
            "  music: !!(SDL.music.audio && !SDL.music.audio.paused)})")
        if sound["decoded"] == len(sound["loaded"]) or time.time() > deadline:
            break
        time.sleep(POLL)
    if sound["context"] != "running":
        raise Failure("the page's audio is %s, not running" % sound["context"])
    expected = {"/rsrc/morreu.ogg", "/rsrc/bgmusic.ogg", "/rsrc/batida.wav"}
    if set(sound["loaded"]) != expected or sound["decoded"] != len(expected):
        raise Failure("sounds loaded %s, %d decoded; expected %s all decoded"
                      % (sound["loaded"], sound["decoded"], sorted(expected)))
    if not sound["music"]:
        raise Failure("the music does not play in the menu")
    print("sound: audio running, %d sounds decoded (%s), music playing"
          % (sound["decoded"], ", ".join(sorted(sound["loaded"]))))


# ---------------------------------------------------------------------------
# Numbers (printed, never judged)
# ---------------------------------------------------------------------------

def start_up_timing(browser, ready_at, clicked_at):
    """Times on this machine's clock (milliseconds since the epoch): the page's
    navigation, the moment it offered to start, the click, and the console
    line after which the language screen draws its first frame."""
    navigation = browser.evaluate("performance.timeOrigin")
    last_load = next(t for t, kind, text in browser.console if text == LAST_LOAD)
    print("timing: page load to click-to-start %.0f ms (download, compile, unpack the data);"
          " click to the first language frame %.0f ms; the two together %.0f ms"
          % (ready_at - navigation, last_load - clicked_at, ready_at - navigation + last_load - clicked_at))


PACING_SECONDS = 5
# Every frame of a run starts with the engine's one clear of the screen.
PACING_HOOK = """(() => {
  const gl = Module.ctx, clear = gl.clear.bind(gl);
  window.vdLimpezas = [];
  gl.clear = function (m) { window.vdLimpezas.push(performance.now()); return clear(m); };
})()"""


def start_pacing(browser):
    browser.evaluate("window.vdLimpezas = []")
    return time.time(), browser.busy_seconds()


def print_pacing(browser, run, start):
    marks = browser.evaluate("(() => { const m = window.vdLimpezas; window.vdLimpezas = []; return m; })()")
    wall = time.time() - start[0]
    task, script = (b - a for a, b in zip(start[1], browser.busy_seconds()))
    if len(marks) < 10:
        print("pacing, %s: too few frames measured (%d)" % (run, len(marks)))
        return
    steps = [(b - a, a - marks[0]) for a, b in zip(marks, marks[1:])]
    intervals = sorted(step for step, _ in steps)
    n = len(intervals)
    print("pacing, %s: %d frames, interval median %.1f ms, 5th %.1f ms, 95th %.1f ms, max %.1f ms,"
          " %.1f%% over 20 ms, %.1f frames per second"
          % (run, n, intervals[n // 2], intervals[n // 20], intervals[n * 19 // 20], intervals[-1],
             100.0 * sum(1 for i in intervals if i > 20) / n, 1000.0 * n / (marks[-1] - marks[0])))
    print("pacing, %s: longest intervals %s; the page's main thread busy %.0f %% of the %.1f s (script %.0f %%)"
          % (run, ", ".join("%.0f ms at %.0f ms" % step for step in sorted(steps, reverse=True)[:3]),
             100 * task / wall, wall, 100 * script / wall))


# ---------------------------------------------------------------------------
# The run
# ---------------------------------------------------------------------------

# Bytes per second of the throttled download, in which the progress bar is caught half-way.
SLOW_DOWNLOAD = 4 << 20


def watch_download(browser, game):
    """The progress bar moves while the data downloads (throttled, then not)."""
    browser.call("Network.enable")
    browser.call("Network.emulateNetworkConditions", offline=False, latency=0,
                 downloadThroughput=SLOW_DOWNLOAD, uploadThroughput=-1)
    deadline = time.time() + 60
    while True:
        shown = browser.evaluate("document.body ? [document.body.dataset.estado,"
                                 " Number(document.getElementById('barra').getAttribute('aria-valuenow'))] : []")
        if shown and shown[0] == "carregando" and 0 < shown[1] < 100:
            game.capture("downloading")
            print("download: the progress bar at %d %%" % shown[1])
            break
        if time.time() > deadline or (shown and shown[0] != "carregando"):
            raise Failure("no progress bar half-way through the download (page: %s)" % shown)
        time.sleep(0.05)
    browser.call("Network.emulateNetworkConditions", offline=False, latency=0, downloadThroughput=-1,
                 uploadThroughput=-1)


def play(browser, url, rsrc, work):
    game = Game(browser, rsrc, work)
    browser.call("Page.navigate", url=url)
    watch_download(browser, game)
    deadline = time.time() + 120
    while game.state() != "pronto":
        if game.state() in ("erro", "semwebgl") or time.time() > deadline:
            game.capture("page")
            raise Failure("the page did not get ready to start (state %s): %s"
                          % (game.state(), browser.evaluate("document.getElementById('mensagem').textContent")))
        time.sleep(0.02)
    ready_at = time.time() * 1000
    browser.count_polls()
    game.capture("click-to-start")
    clicked_at = time.time() * 1000
    browser.click("#iniciar")

    game.wait_screen("menu_idiomas.jpg", "language", 60)
    start_up_timing(browser, ready_at, clicked_at)
    print("memory: the program's heap %.0f MiB once loaded" % (browser.evaluate("HEAP8.length") / 1048576.0))

    browser.key("e")
    game.wait_screen("menue.jpg", "menu", 30)
    check_sound(browser)

    # The tutorial: the elements page, then the tutorial page, each left with Space.
    browser.key("t")
    game.wait_screen("manual3e.jpg", "elements", 30)
    browser.key(" ")
    game.wait_screen("manual2e.jpg", "tutorial", 30)
    browser.key(" ")
    game.wait_screen("menue.jpg", "menu", 30)

    # A run left alone is lost, and the loss screen goes on to the menu.
    browser.key("p")
    game.wait_screen("abertura4e.jpg", "opening", 30)
    browser.key(" ")
    game.wait_screen_gone("abertura4e.jpg", "opening", 30)
    game.expect_motion("run", 30)
    # Then five seconds of the run with no capture (a capture stalls the
    # page); the run may end in them.
    browser.evaluate(PACING_HOOK)
    start = start_pacing(browser)
    time.sleep(PACING_SECONDS)
    print_pacing(browser, "first run", start)
    game.wait_screen("perdeue.jpg", "lost", 90)
    browser.key(" ")
    game.wait_screen("menue.jpg", "menu", 30)

    # Esc during a run goes back to the menu. This run holds Space, which
    # stops the drift, so that it cannot be lost before the Esc; its pacing
    # is measured too.
    browser.key("p")
    game.wait_screen("abertura4e.jpg", "opening", 30)
    browser.key(" ")
    game.wait_screen_gone("abertura4e.jpg", "opening", 30)
    browser.key_down(" ")
    start = start_pacing(browser)
    time.sleep(PACING_SECONDS)
    print_pacing(browser, "second run, Space held", start)
    game.capture("run-held")
    browser.key("Escape")
    browser.key_up(" ")
    game.wait_screen("menue.jpg", "menu", 30)

    # Quitting from the menu ends the program, and the page says so.
    browser.key("x")
    game.wait_state("encerrado", 30)
    game.capture("ended")
    browser.pump()
    check_console(browser)


def check_without_webgl(url, work):
    """A browser without WebGL gets the page's message, and no game."""
    browser = Browser(work, ["--disable-3d-apis"])
    try:
        browser.call("Page.navigate", url=url)
        game = Game(browser, None, work)
        game.shots = 90  # after the captures of the game's run
        game.wait_state("semwebgl", 30)
        message = browser.evaluate("document.getElementById('mensagem').textContent")
        if "WebGL" not in message or browser.evaluate("typeof Module") != "undefined":
            raise Failure("without WebGL the page says \"%s\" and loads the game: %s"
                          % (message, browser.evaluate("typeof Module")))
        game.capture("without-webgl")
        print("without WebGL: the page says \"%s\"" % message)
    finally:
        browser.close()


def time_start_ups(browser, url, runs):
    """Start-up times only: page load to the offer to start, click to the
    first language frame (the engine's last load line, after which the
    language screen draws at once)."""
    browser.call("Network.enable")
    browser.call("Network.setCacheDisabled", cacheDisabled=True)
    game = Game(browser, None, None)
    totals = []
    for run in range(runs):
        browser.console.clear()
        browser.call("Page.navigate", url=url)
        deadline = time.time() + 120
        while game.state() != "pronto":
            if time.time() > deadline:
                raise Failure("the page did not get ready to start (state %s)" % game.state())
            time.sleep(0.02)
        ready_at = time.time() * 1000
        navigation = browser.evaluate("performance.timeOrigin")
        clicked_at = time.time() * 1000
        browser.click("#iniciar")
        while not any(text == LAST_LOAD for _, _, text in browser.console):
            if time.time() > deadline:
                raise Failure("the game did not finish loading")
            time.sleep(0.02)
            browser.pump()
        last_load = next(t for t, _, text in browser.console if text == LAST_LOAD)
        totals.append(ready_at - navigation + last_load - clicked_at)
        print("start-up %d: page load to click-to-start %.0f ms, click to the first language frame %.0f ms,"
              " together %.0f ms" % (run + 1, ready_at - navigation, last_load - clicked_at, totals[-1]))
    totals.sort()
    print("start-up: median %.0f ms (min %.0f, max %.0f) of %d" % (totals[len(totals) // 2], totals[0], totals[-1],
                                                                   len(totals)))


def main():
    runs = 0
    args = sys.argv[1:]
    if len(args) == 5 and args[3] == "--start-up":
        runs = int(args[4])
        args = args[:3]
    if len(args) != 3:
        sys.exit(__doc__)
    site, rsrc, work = (os.path.abspath(a) for a in args)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    port = free_port()
    server_log = open(os.path.join(work, "server.txt"), "w")
    server = subprocess.Popen([sys.executable, "-m", "http.server", "--bind", "127.0.0.1", str(port),
                               "--directory", site], stdout=server_log, stderr=subprocess.STDOUT)
    browser = None
    try:
        browser = Browser(work)
        url = "http://127.0.0.1:%d/index.html" % port
        if runs:
            time_start_ups(browser, url, runs)
            return
        play(browser, url, rsrc, work)
        browser.close()
        browser = None
        check_without_webgl(url, work)
        print("PASS: the web build played from the language screen to a lost run and back to the ended page;"
              " without WebGL the page says so")
    except Failure as failure:
        print("FAIL: %s" % failure, file=sys.stderr)
        if browser:
            lines = browser.console[-15:]
            print("--- last console lines:\n" + "\n".join("%s %s" % (k, t) for _, k, t in lines), file=sys.stderr)
            if browser.errors:
                print("--- page errors:\n" + "\n".join(browser.errors), file=sys.stderr)
        print("(captures in %s)" % work, file=sys.stderr)
        sys.exit(1)
    finally:
        if browser:
            browser.close()
        server.terminate()
        server.wait()
        server_log.close()


if __name__ == "__main__":
    main()

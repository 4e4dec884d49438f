"""End-to-end harness: drives the real kesh.exe under Wine in a headless X server.

Standard library only. One X server and one Wine prefix serve a whole test run:

* scripts/test.sh boots them once and exports KESH_E2E_DISPLAY, DISPLAY and WINEPREFIX;
  every scenario file then reuses them;
* a scenario file run by hand (``KESH_EXE=build/win/kesh.exe python3 test_x.py``) boots
  its own Xvfb on a free display and a throw-away prefix, and tears both down at exit.

A scenario is a few lines::

    with Kesh(args=['a.txt'], files={'a.txt': b'abc\\r\\n'}) as k:
        assert k.title() == f'{k.winpath("a.txt")} - Kesh'

Each ``Kesh`` starts kesh.exe in a fresh working directory holding ``files``, waits for
its first window and, on leaving the block, makes sure the process is gone (and, when
the block failed, prints what it saw: title, windows, message boxes, screenshot, log).

Facts about Wine in Xvfb that shape this file:
* there is no window manager, the X focus stays PointerRoot: keys sent through XTEST go
  to the window under the pointer, and Wine hands them to its own foreground window. So
  ``key()`` first moves the pointer over one of kesh's windows; ``xdotool key --window``
  uses XSendEvent, which Wine ignores.
* Wine's message box cannot copy its text with Ctrl+C. Wine traces the text of every
  message box on the ``msgbox`` debug channel, so kesh runs with ``trace+msgbox`` and
  ``message_boxes()`` reads the texts back from its log.
* Every Wine process started here writes to a log file, never to an inherited pipe:
  Wine's service processes would keep such a pipe open and CTest would wait forever.
"""

from __future__ import annotations

import atexit
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import traceback
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
OUT_DIR = HERE / 'out'

# Seconds. Generous: the first start of a program in a fresh prefix is slow on 2 cores.
WINDOW_TIMEOUT = 60.0
EXIT_TIMEOUT = 20.0
POLL = 0.1

WINE_ENV = {
    'WINEARCH': 'win64',
    'WINEDEBUG': '-all',
    'WINEDLLOVERRIDES': 'mscoree,mshtml=;winemenubuilder.exe=d',
    # Wine reads LC_ALL to choose the ANSI code page: 936 here even without a generated
    # zh_CN locale on the Unix side.
    'LANG': 'zh_CN.GBK',
    'LC_ALL': 'zh_CN.GBK',
}

for _stream in (sys.stdout, sys.stderr):
    try:
        _stream.reconfigure(encoding='utf-8', errors='backslashreplace')
    except (AttributeError, ValueError):
        pass


class E2EError(AssertionError):
    """A scenario could not get what it waited for (raised as a test failure)."""


def log(*parts):
    print('[e2e]', *parts, file=sys.stderr, flush=True)


def wait_for(what, probe, timeout, interval=POLL):
    """Calls probe() until it returns something truthy; returns that, or raises E2EError."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise E2EError(f'timed out after {timeout:.0f} s waiting for {what}')
        time.sleep(interval)


def _require_tools():
    missing = [tool for tool in ('wine', 'wineserver', 'winepath', 'Xvfb', 'xdotool', 'xclip', 'import')
               if shutil.which(tool) is None]
    if missing:
        raise SystemExit('e2e: missing tools: ' + ', '.join(missing) + ' (run scripts/setup.sh)')


# ==== The X server and the Wine prefix ====================================================

def _display_answers(display):
    """True when an X client can connect to the display."""
    env = dict(os.environ, DISPLAY=display)
    try:
        return subprocess.run(['xdotool', 'getdisplaygeometry'], env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=5).returncode == 0
    except subprocess.TimeoutExpired:
        return False


class Session:
    """The display and prefix every scenario of this process uses."""

    def __init__(self):
        _require_tools()
        self.owned_xvfb = None
        self.owned_prefix = None
        display = os.environ.get('KESH_E2E_DISPLAY')
        prefix = os.environ.get('WINEPREFIX')
        if display and prefix:
            self.display, self.prefix = display, prefix
            return
        # Run by hand: boot a private server and prefix, and remove them at exit.
        atexit.register(self.close)
        self.display = self._start_xvfb()
        self.prefix = self.owned_prefix = tempfile.mkdtemp(prefix='kesh-e2e-wine-')
        log(f'booting Xvfb {self.display} and Wine prefix {self.prefix} (about 20 s)')
        self._boot_prefix()

    @property
    def env(self):
        env = dict(os.environ)
        env.update(WINE_ENV)
        env['DISPLAY'] = self.display
        env['WINEPREFIX'] = self.prefix
        return env

    def _start_xvfb(self):
        # As scripts/xvfb.sh: a display is free only without a lock, socket file or abstract
        # name (clients try the abstract name first); ours listens on the file alone and
        # counts as started once a real client connects.
        try:
            abstract = open('/proc/net/unix').read()
        except OSError:
            abstract = ''
        for number in range(90, 200):
            if (os.path.exists(f'/tmp/.X{number}-lock') or os.path.exists(f'/tmp/.X11-unix/X{number}')
                    or f'@/tmp/.X11-unix/X{number}\n' in abstract):
                continue
            xvfb = subprocess.Popen(['Xvfb', f':{number}', '-screen', '0', '1280x1024x24',
                                     '-nolisten', 'tcp', '-nolisten', 'local', '-noreset'],
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL, start_new_session=True)
            deadline = time.monotonic() + 10
            while xvfb.poll() is None and time.monotonic() < deadline:
                if os.path.exists(f'/tmp/.X11-unix/X{number}') and _display_answers(f':{number}'):
                    self.owned_xvfb = xvfb
                    return f':{number}'
                time.sleep(0.05)
            if xvfb.poll() is None:
                xvfb.kill()
                xvfb.wait()
        raise SystemExit('e2e: no free X display for Xvfb')

    def _wine(self, *command, timeout=120):
        subprocess.run(list(command), env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=timeout, check=False)

    def _boot_prefix(self):
        self._wine('wineboot', '-i', timeout=300)
        self._wine('wineserver', '-w', timeout=300)
        # A persistent server keeps Wine's services up between scenarios.
        self._wine('wineserver', '-p')
        self._wine('wine', 'reg', 'add', r'HKCU\Software\Wine\WineDbg', '/v', 'ShowCrashDialog',
                   '/t', 'REG_DWORD', '/d', '0', '/f')
        self._wine('wine', 'cmd', '/c', 'exit')
        # Keeps Wine's desktop process up for the whole session, as scripts/test.sh does
        # (see tests/win32/window_probe.cpp); ended by `wineserver -k` in close().
        probe = Path(kesh_exe()).with_name('kesh_window_probe.exe')
        if probe.exists():
            subprocess.Popen(['wine', str(probe), '--hold'], env=self.env, stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)

    def close(self):
        if self.owned_prefix:
            try:
                self._wine('wineserver', '-k', timeout=30)
            except subprocess.TimeoutExpired:
                pass
            shutil.rmtree(self.owned_prefix, ignore_errors=True)
            self.owned_prefix = None
        if self.owned_xvfb and self.owned_xvfb.poll() is None:
            self.owned_xvfb.terminate()
            try:
                self.owned_xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self.owned_xvfb.kill()
                self.owned_xvfb.wait()
        self.owned_xvfb = None


_session = None


def session():
    global _session
    if _session is None:
        _session = Session()
    return _session


def _exit_on_sigterm(signum, frame):
    raise SystemExit(128 + signum)


signal.signal(signal.SIGTERM, _exit_on_sigterm)


# ==== X tools ================================================================================

def _x(*command, timeout=15, data=None, check=True):
    """Runs an X client on the session's display; returns its stdout bytes (None on failure)."""
    result = subprocess.run(list(command), env=session().env, input=data,
                            stdin=None if data is not None else subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)
    if result.returncode != 0:
        if check:
            raise E2EError(f'{" ".join(command)} failed ({result.returncode}): '
                           f'{result.stderr.decode(errors="replace").strip()}')
        return None
    return result.stdout


def _xdotool_ids(*criteria):
    out = _x('xdotool', 'search', *criteria, check=False)  # exit status 1: nothing found
    return [int(line) for line in (out or b'').split()]


def window_name(wid):
    """A window's title as Wine set it (_NET_WM_NAME, UTF-8); None once it is gone."""
    out = _x('xdotool', 'getwindowname', str(wid), check=False)
    if out is None:
        return None
    return out.rstrip(b'\n').decode('utf-8')  # strict: anything but UTF-8 is a fault


def window_geometry(wid):
    """(x, y, width, height) of a window on the screen."""
    out = _x('xdotool', 'getwindowgeometry', '--shell', str(wid)).decode()
    values = dict(line.split('=', 1) for line in out.split() if '=' in line)
    return int(values['X']), int(values['Y']), int(values['WIDTH']), int(values['HEIGHT'])


def set_clipboard(text):
    """Puts text (str, sent as UTF-8) on the X clipboard; Wine converts it to CF_TEXT/GBK."""
    # xclip stays in the background to serve the selection; it must not hold our pipes.
    subprocess.run(['xclip', '-i', '-selection', 'clipboard'], input=text.encode('utf-8'),
                   env=session().env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=15, check=True)


def get_clipboard(timeout=10.0):
    """The X clipboard's text (UTF-8 decoded), or None when it holds no text."""
    out = _x('xclip', '-o', '-selection', 'clipboard', timeout=timeout, check=False)
    return None if out is None else out.decode('utf-8')


# ==== Screenshots ============================================================================

class Shot:
    """An RGB picture of the screen (or a part of it); pixel(x, y) -> (r, g, b)."""

    def __init__(self, width, height, rgb, path=None, origin=(0, 0)):
        self.width, self.height, self.rgb = width, height, rgb
        self.path = path  # the PNG written for people to look at
        self.origin = origin  # screen position of pixel (0, 0)

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise E2EError(f'pixel ({x}, {y}) outside the {self.width}x{self.height} picture {self.path}')
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def crop(self, x, y, width, height):
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + width), min(self.height, y + height)
        rows = [self.rgb[(row * self.width + x0) * 3:(row * self.width + x1) * 3] for row in range(y0, y1)]
        return Shot(x1 - x0, y1 - y0, b''.join(rows), self.path, (self.origin[0] + x0, self.origin[1] + y0))

    def pixels(self):
        rgb = self.rgb
        return (tuple(rgb[i:i + 3]) for i in range(0, len(rgb), 3))

    def colours(self):
        """Pixel count for each colour, most frequent first."""
        counts = {}
        for p in self.pixels():
            counts[p] = counts.get(p, 0) + 1
        return dict(sorted(counts.items(), key=lambda item: -item[1]))

    def count(self, predicate):
        return sum(1 for p in self.pixels() if predicate(p))

    def save_png(self, path):
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        stride = self.width * 3
        raw = b''.join(b'\x00' + self.rgb[y * stride:(y + 1) * stride] for y in range(self.height))

        def chunk(kind, data):
            return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

        with open(path, 'wb') as f:
            f.write(b'\x89PNG\r\n\x1a\n')
            f.write(chunk(b'IHDR', struct.pack('>IIBBBBB', self.width, self.height, 8, 2, 0, 0, 0)))
            f.write(chunk(b'IDAT', zlib.compress(raw, 6)))
            f.write(chunk(b'IEND', b''))
        self.path = path
        return path


def dark(p, limit=96):
    return max(p) < limit


def light(p, limit=160):
    return min(p) > limit


def screenshot(path=None):
    """The whole screen (import -window root), saved as PNG when path is given."""
    data = _x('import', '-window', 'root', '-depth', '8', 'ppm:-', timeout=30)
    match = re.match(rb'P6\s+(\d+)\s+(\d+)\s+(\d+)\s', data)
    if not match or match.group(3) != b'255':
        raise E2EError('import did not return an 8-bit PPM picture')
    width, height = int(match.group(1)), int(match.group(2))
    shot = Shot(width, height, data[match.end():match.end() + width * height * 3])
    if path:
        shot.save_png(path)
    return shot


# ==== Wine's trace of message boxes ==========================================================

_MSGBOX_TRACE = re.compile(r'trace:msgbox:MSGBOX_OnInit L"((?:[^"\\]|\\.)*)"')


def _unescape_debugstr(text):
    """Reverses Wine's debugstr_w: \\XXXX is a UTF-16 unit, \\n \\r \\t \\\\ \\" as in C."""
    out, i = [], 0
    simple = {'n': '\n', 'r': '\r', 't': '\t', '\\': '\\', '"': '"'}
    while i < len(text):
        c = text[i]
        if c == '\\' and i + 1 < len(text):
            nxt = text[i + 1]
            if nxt in simple:
                out.append(simple[nxt])
                i += 2
                continue
            hexits = re.match(r'[0-9a-fA-F]{4}', text[i + 1:i + 5])
            if hexits:
                out.append(chr(int(hexits.group(0), 16)))
                i += 5
                continue
        out.append(c)
        i += 1
    return ''.join(out).encode('utf-16', 'surrogatepass').decode('utf-16')


# ==== One run of kesh.exe ====================================================================

def kesh_exe():
    exe = os.environ.get('KESH_EXE')
    if not exe:
        raise SystemExit('e2e: set KESH_EXE to the kesh.exe to test (scripts/test.sh does)')
    exe = Path(exe).resolve()
    if not exe.is_file():
        raise SystemExit(f'e2e: KESH_EXE={exe} does not exist (build it with scripts/build.sh --exe)')
    return exe


_scenario_counter = 0


def _scenario_name(name):
    global _scenario_counter
    _scenario_counter += 1
    if name:
        return name
    return f'{Path(sys.argv[0]).stem}-{_scenario_counter}'


class Kesh:
    """kesh.exe running in a fresh working directory.

    args:  command-line arguments (Wine quotes one holding a space, as Windows would).
    files: {relative name: bytes} written into the working directory before the start.
    cwd:   a sub-directory of the working directory to start in (default: its root).
    wait:  wait for the program's first window on entering the block.
    """

    def __init__(self, args=(), files=None, cwd=None, name=None, wait=True, env=None,
                 timeout=WINDOW_TIMEOUT):
        self.args = [str(a) for a in args]
        self.files = dict(files or {})
        self.name = _scenario_name(name)
        self.wait = wait
        self.extra_env = dict(env or {})
        self.timeout = timeout
        self.dir = Path(tempfile.mkdtemp(prefix='kesh-e2e-'))
        self.cwd = self.dir / cwd if cwd else self.dir
        self._log = None
        self.log_path = OUT_DIR / f'{self.name}.log'
        self.process = None
        self.returncode = None
        self._main = None
        self._winpaths = {}

    # ---- life cycle ----

    def __enter__(self):
        try:
            self.start()
        except BaseException as e:
            # __exit__ is not called when __enter__ fails: clean up here.
            self.__exit__(type(e), e, e.__traceback__)
            raise
        return self

    def __exit__(self, kind, value, tb):
        try:
            if kind is not None and self.process is not None:
                self.report(f'{kind.__name__}: {value}')
        finally:
            self.kill()
            shutil.rmtree(self.dir, ignore_errors=True)
        return False

    def start(self):
        s = session()
        exe = kesh_exe()
        for rel, data in self.files.items():
            target = self.dir / rel
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(data if isinstance(data, bytes) else data.encode('gbk'))
        self.cwd.mkdir(parents=True, exist_ok=True)
        OUT_DIR.mkdir(parents=True, exist_ok=True)
        env = s.env
        # Wine writes the text of each message box to the log (see message_boxes()).
        env['WINEDEBUG'] = '-all,trace+msgbox,err+winediag'  # winediag: why no window could be made
        env.update(self.extra_env)
        self._log = open(self.log_path, 'wb')
        self.process = subprocess.Popen(['wine', str(exe), *self.args], cwd=self.cwd, env=env,
                                        stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT,
                                        start_new_session=True)
        log(f'{self.name}: started kesh.exe {self.args} in {self.cwd} (pid {self.process.pid})')
        if self.wait:
            self.wait_first_window(self.timeout)

    def alive(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout=EXIT_TIMEOUT):
        """Waits for the program to end; returns its exit code."""
        try:
            self.returncode = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise E2EError(f'kesh.exe still running {timeout:.0f} s later') from None
        return self.returncode

    def close(self, timeout=EXIT_TIMEOUT):
        """Alt+F4 on the main window; returns the exit code."""
        self.key('alt+F4', window=self.main_window())
        return self.wait_exit(timeout)

    def kill(self):
        """Ends the process (and anything it started) if it still runs."""
        if self.process is None:
            return
        if self.process.poll() is None:
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                log(f'{self.name}: pid {self.process.pid} survived SIGKILL')
        if self.returncode is None:
            self.returncode = self.process.returncode
        if self._log:
            self._log.close()

    # ---- files ----

    def path(self, rel=''):
        return self.dir / rel

    def read(self, rel):
        return (self.dir / rel).read_bytes()

    def save_and_read(self, rel, timeout=10.0):
        """Presses Ctrl+S and returns the file's bytes once the save has changed them."""
        before = self.read(rel)
        self.key('ctrl+s')
        deadline = time.monotonic() + timeout
        while self.read(rel) == before and time.monotonic() < deadline:
            time.sleep(POLL)
        return self.read(rel)

    def winpath(self, rel=''):
        """The Windows form of a path in the working directory, as Wine's winepath -w makes it."""
        unix = str(self.dir / rel) if rel else str(self.dir)
        if unix not in self._winpaths:
            with tempfile.TemporaryFile() as out:  # a file, not a pipe: see the module note
                subprocess.run(['winepath', '-w', unix], env=session().env, stdin=subprocess.DEVNULL,
                               stdout=out, stderr=subprocess.DEVNULL, timeout=60, check=True)
                out.seek(0)
                raw = out.read().strip()
            charset = 'gbk' if WINE_ENV['LC_ALL'].upper().endswith('GBK') else 'utf-8'
            self._winpaths[unix] = raw.decode(charset)
        return self._winpaths[unix]

    # ---- windows ----

    def windows(self):
        """[(window id, title)] of the program's visible top-level windows."""
        if self.process is None:
            return []
        found = []
        for wid in _xdotool_ids('--all', '--onlyvisible', '--pid', str(self.process.pid), '--name', ''):
            name = window_name(wid)
            if name is not None:
                found.append((wid, name))
        return found

    def wait_first_window(self, timeout=WINDOW_TIMEOUT):
        """Waits until the program shows a window (its main window or a message box)."""
        def probe():
            if not self.alive():
                raise E2EError(f'kesh.exe exited with code {self.process.returncode} before showing a window')
            return [w for w in self.windows() if w[1]]
        return wait_for('a window of kesh.exe', probe, timeout)

    def main_window(self, timeout=WINDOW_TIMEOUT):
        """The X window of the main window (its title ends in " - Kesh")."""
        if self._main is not None and window_name(self._main) is not None:
            return self._main

        def probe():
            if not self.alive():
                raise E2EError(f'kesh.exe exited with code {self.process.returncode}; no main window')
            ids = _xdotool_ids('--all', '--pid', str(self.process.pid), '--name', ' - Kesh$')
            return ids[0] if ids else None
        self._main = wait_for('the main window (" - Kesh")', probe, timeout)
        return self._main

    def title(self):
        """The main window's caption."""
        name = window_name(self.main_window())
        if name is None:
            raise E2EError('the main window is gone')
        return name

    def wait_title(self, expected, timeout=10.0):
        """Waits until the caption equals expected (a str) or satisfies it (a callable)."""
        test = expected if callable(expected) else (lambda t: t == expected)
        seen = []

        def probe():
            t = self.title()
            seen.append(t)
            return t if test(t) else None
        try:
            return wait_for(f'the caption {expected!r}', probe, timeout)
        except E2EError as e:
            raise E2EError(f'{e}; last caption {seen[-1] if seen else None!r}') from None

    def wait_window(self, title, timeout=WINDOW_TIMEOUT):
        """Waits for a visible window of the program with exactly this title; returns its id."""
        def probe():
            if not self.alive():
                raise E2EError(f'kesh.exe exited with code {self.process.returncode} '
                               f'while waiting for a window {title!r}')
            for wid, name in self.windows():
                if name == title:
                    return wid
        try:
            return wait_for(f'a window titled {title!r}', probe, timeout)
        except E2EError as e:
            raise E2EError(f'{e}; windows: {self.windows()!r}') from None

    def wait_window_gone(self, title, timeout=EXIT_TIMEOUT):
        wait_for(f'the window {title!r} to close',
                 lambda: all(name != title for _, name in self.windows()), timeout)

    def geometry(self, window=None):
        return window_geometry(window or self.main_window())

    def message_boxes(self):
        """The text of every message box shown so far, in order (from Wine's msgbox trace)."""
        text = self.log_path.read_bytes().decode('ascii', errors='replace')
        return [_unescape_debugstr(m.group(1)) for m in _MSGBOX_TRACE.finditer(text)]

    def wait_message_box(self, caption, timeout=WINDOW_TIMEOUT):
        """Waits for a message box with this caption; returns (window id, its text or None)."""
        wid = self.wait_window(caption, timeout)
        texts = self.message_boxes()
        return wid, (texts[-1] if texts else None)

    # ---- input ----

    def point(self, x, y, window=None):
        """Moves the pointer to (x, y) relative to a window (the main window by default)."""
        wx, wy, _, _ = self.geometry(window)
        _x('xdotool', 'mousemove', str(wx + x), str(wy + y))

    def click(self, x, y, window=None, button=1):
        """Clicks at (x, y) relative to a window (the main window by default)."""
        self.point(x, y, window)
        _x('xdotool', 'click', str(button))
        time.sleep(0.2)

    def key(self, *keys, window=None, delay_ms=40):
        """Presses keys (xdotool names: 'ctrl+s', 'Return', 'alt+F4') through XTEST.

        The pointer is first put over `window` (the main window by default) so that the X
        server hands the keys to Wine; Wine delivers them to its own focused window.
        """
        wid = window or self.main_window()
        _, _, w, h = self.geometry(wid)
        self.point(w - 8, h - 8, wid)  # the bottom-right corner: away from text and menus
        _x('xdotool', 'key', '--delay', str(delay_ms), *keys)
        time.sleep(0.2)

    def type(self, text, window=None, delay_ms=40):
        """Types ASCII text key by key. Chinese text goes through the clipboard instead."""
        if any(ord(c) > 126 for c in text):
            raise ValueError('xdotool types non-ASCII text as "?"; paste it through set_clipboard()')
        wid = window or self.main_window()
        _, _, w, h = self.geometry(wid)
        self.point(w - 8, h - 8, wid)
        _x('xdotool', 'type', '--delay', str(delay_ms), text)
        time.sleep(0.2)

    set_clipboard = staticmethod(set_clipboard)
    clipboard = staticmethod(get_clipboard)

    # ---- pictures ----

    def screenshot(self, suffix='', window=None):
        """Takes the whole screen into out/<scenario><suffix>.png; returns the main window's part.

        The returned Shot has window coordinates: pixel(0, 0) is the window's top-left.
        """
        path = OUT_DIR / f'{self.name}{suffix}.png'
        full = screenshot(path)
        x, y, w, h = self.geometry(window)
        part = full.crop(x, y, w, h)
        part.path = path
        return part

    def wait_picture(self, what, predicate, timeout=10.0, window=None):
        """Takes screenshots until predicate(shot) holds (the window may still be painting)."""
        shots = []

        def probe():
            shot = self.screenshot(window=window)
            shots.append(shot)
            return shot if predicate(shot) else None
        try:
            return wait_for(what, probe, timeout, interval=0.3)
        except E2EError as e:
            raise E2EError(f'{e}; last screenshot {shots[-1].path if shots else None}') from None

    # ---- the document through the clipboard ----

    def copy_all(self, timeout=10.0):
        """Selects the whole document (Ctrl+A), copies it (Ctrl+C) and returns the clipboard text.

        Wine hands the text to X with LF line ends.
        """
        sentinel = f'<kesh-e2e clipboard before copy {time.monotonic()}>'
        self.set_clipboard(sentinel)
        self.key('ctrl+a', 'ctrl+c')
        return wait_for('the copied text on the clipboard',
                        lambda: (lambda t: t if t is not None and t != sentinel else None)(self.clipboard()),
                        timeout, interval=0.2)

    # ---- diagnosis ----

    def report(self, why):
        lines = [f'scenario {self.name} FAILED: {why}']
        try:
            lines.append(f'  windows: {self.windows()!r}')
        except Exception as e:  # the report must not hide the failure
            lines.append(f'  windows: ? ({e})')
        try:
            lines.append(f'  message boxes: {self.message_boxes()!r}')
        except Exception as e:
            lines.append(f'  message boxes: ? ({e})')
        try:
            path = OUT_DIR / f'{self.name}-failure.png'
            screenshot(path)
            lines.append(f'  screenshot: {path}')
        except Exception as e:
            lines.append(f'  screenshot: ? ({e})')
        lines.append(f'  process: {"running" if self.alive() else f"exited {self.process and self.process.poll()}"}')
        lines.append(f'  log: {self.log_path}')
        try:
            raw = self.log_path.read_bytes()[-2000:]
            try:
                tail = raw.decode('utf-8')
            except UnicodeDecodeError:  # Wine's own console messages come in the ANSI code page
                tail = raw.decode('gbk', errors='replace')
            if tail.strip():
                lines.append('  log tail:\n    ' + '\n    '.join(tail.splitlines()[-20:]))
        except OSError:
            pass
        log('\n'.join(lines))


def run_scenarios():
    """unittest.main() for a scenario file, with a traceback-friendly exit code."""
    import unittest
    try:
        unittest.main(verbosity=2)
    except SystemExit:
        raise
    except BaseException:
        traceback.print_exc()
        raise SystemExit(1)

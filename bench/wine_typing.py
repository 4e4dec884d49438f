#!/usr/bin/env python3
"""CPU per typed key of kesh.exe under Wine, at the positions where a keystroke used to cost
the most: the start and the end of a 100 MB file of prose (1,000,000 CR LF lines of about
100 bytes, GBK Chinese mixed with ASCII), the start, middle and end of a single 10 MB line,
and a 1 KB file; the 10 MB line and the 1 KB file also with word wrap on (Ctrl+W), where
the line is a paragraph of about 100,000 rows.

    KESH_EXE=$PWD/build-NAME-win/kesh.exe python3 bench/wine_typing.py [--runs N] [--compare EXE] [case ...]

Cases: 100mb-start, 100mb-end, line-start, line-mid, line-end, 1kb, wrap-start, wrap-mid,
wrap-end, 1kb-wrap (all by default).

Each run starts kesh.exe on the file, waits until the caption names it, puts the caret in
place, lets the process settle, measures its idle CPU for 2 s, then types 60 ASCII letters
with xdotool at 50 ms per key (about 20 keys per second) and waits until the process has
gone quiet again (the keys are processed). The CPU time (utime + stime from /proc/<pid>/stat)
of the Linux process that runs kesh.exe over that stretch, less the idle rate over the same
stretch, divided by the number of keys, is the figure; the wineserver's CPU is measured the
same way. "lag" is how long after the last key the process went quiet: how far Kesh fell
behind the typist. "pause" is the CPU of kesh.exe (ms, idle taken off) from going quiet
until 5 s after the last key: the work done while the user pauses. Each case runs --runs times (3 by default) and the table gives medians.
With --compare, every run is made with both programs in turn, so both see the same load.

Figures depend on the machine and on whatever else runs on it; on a loaded machine they
are pessimistic (time slices lost to other processes are not counted as CPU, but cache and
frequency effects are).
"""

from __future__ import annotations

import argparse
import os
import shutil
import statistics
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / 'tests' / 'e2e'))
import kesh_e2e as e2e  # noqa: E402
from hostile_inputs import gbk, hundred_mb_file, ten_mb_line  # noqa: E402

KEYS = 'thequickbrownfoxjumpsoverthelazydog' * 2
KEYS = KEYS[:60]
KEY_DELAY_MS = 50
SETTLE_S = 2.0
IDLE_S = 2.0
POLL_S = 0.25
QUIET_S = 1.0
PAUSE_S = 5.0
TICK = os.sysconf('SC_CLK_TCK')
MIDDLE_MARK = 'QQMIDDLEQQ'  # the prose holds no "Q": a search for it finds only this


# ==== Processes ===========================================================================

def _stat_fields(pid):
    """/proc/<pid>/stat from field 3 on (the command name may hold spaces)."""
    text = Path(f'/proc/{pid}/stat').read_text()
    return text[text.rindex(')') + 2:].split()


def cpu_ticks(pid):
    """utime + stime of a process, in clock ticks; None once it is gone."""
    try:
        fields = _stat_fields(pid)
    except (OSError, ValueError):
        return None
    return int(fields[11]) + int(fields[12])


def kesh_pid(k):
    """The Linux process that runs kesh.exe: in the session the harness started it in (so
    other runs on the machine do not count), with the program's file name in its name (cut
    to 15 bytes by Linux) or command line."""
    exe = e2e.kesh_exe().name

    def probe():
        for entry in os.listdir('/proc'):
            if not entry.isdigit():
                continue
            try:
                if int(_stat_fields(entry)[3]) != k.process.pid:  # field 6: session id
                    continue
                comm = Path(f'/proc/{entry}/comm').read_text().strip()
                command = Path(f'/proc/{entry}/cmdline').read_bytes()
            except (OSError, ValueError, IndexError):
                continue
            if comm == exe[:15] or exe.encode() in command:
                return int(entry)
        return None
    return e2e.wait_for('the kesh.exe process', probe, 30)


def wineserver_pid():
    """The wineserver of the harness's prefix: it works in /tmp/.wine-<uid>/server-<dev>-<inode>
    of the prefix directory. None when it cannot be found."""
    st = os.stat(e2e.session().prefix)
    suffix = f'server-{st.st_dev:x}-{st.st_ino:x}'
    for entry in os.listdir('/proc'):
        if not entry.isdigit():
            continue
        try:
            if not Path(f'/proc/{entry}/comm').read_text().startswith('wineserver'):  # or wineserver64
                continue
            if os.readlink(f'/proc/{entry}/cwd').endswith(suffix):
                return int(entry)
        except OSError:
            continue
    return None


class Meter:
    """CPU ticks of kesh.exe and of the wineserver, read together."""

    def __init__(self, pid, server):
        self.pid, self.server = pid, server

    def read(self):
        own = cpu_ticks(self.pid)
        if own is None:
            raise e2e.E2EError('kesh.exe is gone')
        return time.monotonic(), own, cpu_ticks(self.server) if self.server else 0

    def settle(self, least=SETTLE_S, timeout=120):
        """Waits `least` seconds, then until half a second passes with at most one tick."""
        time.sleep(least)
        deadline = time.monotonic() + timeout
        last = self.read()
        while time.monotonic() < deadline:
            time.sleep(0.5)
            now = self.read()
            if now[1] - last[1] <= 1:
                return
            last = now
        e2e.log('kesh.exe never went quiet; measuring anyway')


# ==== Files and cases =====================================================================

def kilobyte_file():
    line = gbk('第一章 总则 The lazy brown fox 汉字与 ASCII mixed text。') + b'\r\n'
    return line * (1000 // len(line) + 1)


def line_with_middle_mark():
    body = ten_mb_line()
    half = len(body) // 2
    while True:  # cut on a character boundary
        try:
            body[:half].decode('gbk')
            break
        except UnicodeDecodeError:
            half -= 1
    return body[:half] + MIDDLE_MARK.encode() + body[half:]


def to_middle(k):
    """Finds the mark in the middle of the line (the dialog closes on Return and leaves the
    mark selected); Right then drops the selection with the caret just after it."""
    main = k.main_window()
    k.key('ctrl+f')
    dialog = e2e.wait_for('the find dialog', lambda: next(
        (wid for wid, name in k.windows() if wid != main and name), None), 60)
    k.type(MIDDLE_MARK, window=dialog)
    k.key('Return', window=dialog)
    e2e.wait_for('the find dialog to close', lambda: all(wid != dialog for wid, _ in k.windows()), 120)
    k.key('Right')


def wrapped(place):
    """Switches word wrap on (the wrap of a long line runs before the next key is read),
    then puts the caret in place."""
    def place_wrapped(k):
        k.key('ctrl+w')
        place(k)
    return place_wrapped


# name: (file maker, what it is, how the caret gets in place)
CASES = {
    '100mb-start': ('big', '100 MB, 1 M lines: first line', lambda k: None),
    '100mb-end': ('big', '100 MB, 1 M lines: after Ctrl+End', lambda k: k.key('ctrl+End')),
    'line-start': ('line', '10 MB single line: column 0', lambda k: None),
    'line-mid': ('line', '10 MB single line: middle (found)', to_middle),
    'line-end': ('line', '10 MB single line: after Ctrl+End', lambda k: k.key('ctrl+End')),
    '1kb': ('small', '1 KB file: first line', lambda k: None),
    'wrap-start': ('line', '10 MB line, wrapped: column 0', wrapped(lambda k: None)),
    'wrap-mid': ('line', '10 MB line, wrapped: middle (found)', wrapped(to_middle)),
    'wrap-end': ('line', '10 MB line, wrapped: after Ctrl+End', wrapped(lambda k: k.key('ctrl+End'))),
    '1kb-wrap': ('small', '1 KB file, wrapped: first line', wrapped(lambda k: None)),
}
MAKERS = {'big': hundred_mb_file, 'line': line_with_middle_mark, 'small': kilobyte_file}


class Files:
    """Each file is written once and hard-linked into every run's working directory."""

    def __init__(self):
        self.dir = Path(tempfile.mkdtemp(prefix='kesh-typing-'))
        self.made = {}

    def path(self, kind):
        if kind not in self.made:
            started = time.monotonic()
            data = MAKERS[kind]()
            target = self.dir / f'{kind}.txt'
            target.write_bytes(data)
            e2e.log(f'wrote {target} ({len(data)} bytes) in {time.monotonic() - started:.1f} s')
            self.made[kind] = target
        return self.made[kind]

    def remove(self):
        for path in self.made.values():
            path.unlink(missing_ok=True)
        self.dir.rmdir()


def one_run(files, case):
    kind, _, place = CASES[case]
    name = f'{kind}.txt'
    k = e2e.Kesh(args=[name], wait=False, name=f'typing-{case}')
    try:
        try:
            os.link(files.path(kind), k.path(name))
        except OSError:  # another file system
            shutil.copyfile(files.path(kind), k.path(name))
        title = f'{k.winpath(name)} - Kesh'
        started = time.monotonic()
        k.start()
        e2e.wait_for('the caption naming the file',
                     lambda: k.alive() and k._title_or_none() == title, 600, 0.1)
        opened = time.monotonic() - started
        meter = Meter(kesh_pid(k), wineserver_pid())
        place(k)
        # The pointer goes where typing puts it, so its move is not in the figures.
        _, _, w, h = k.geometry()
        k.point(w - 8, h - 8)
        meter.settle()

        t0, own0, srv0 = meter.read()
        time.sleep(IDLE_S)
        t1, own1, srv1 = meter.read()
        idle_own = (own1 - own0) / (t1 - t0)
        idle_srv = (srv1 - srv0) / (t1 - t0)

        # As k.key() without its pause afterwards, so the samples start as the last key goes.
        # `xdotool key` keeps its delay between keys; `xdotool type` went up to twice as fast.
        start = meter.read()
        e2e._x('xdotool', 'key', '--delay', str(KEY_DELAY_MS), *KEYS, timeout=60)
        typed = time.monotonic()
        # Quiet: a whole QUIET_S with no more than the idle rate and one tick.
        samples = [meter.read()]
        window = int(QUIET_S / POLL_S)
        deadline = time.monotonic() + 300
        while True:
            time.sleep(POLL_S)
            samples.append(meter.read())
            if len(samples) > window:
                a, b = samples[-1 - window], samples[-1]
                if b[1] - a[1] <= idle_own * QUIET_S + 1:
                    end = a
                    break
            if time.monotonic() > deadline:
                raise e2e.E2EError('kesh.exe still busy 300 s after typing')
        # The pause after typing: the CPU from going quiet until PAUSE_S after the last key,
        # idle taken off (a recovery copy is written 2 s after the last change).
        time.sleep(max(0.0, typed + PAUSE_S - time.monotonic()))
        after = meter.read()
        pause = (after[1] - end[1] - idle_own * (after[0] - end[0])) * 1000 / TICK
        modified = k.title() == ' * ' + title
        span = end[0] - start[0]
        own = (end[1] - start[1] - idle_own * span) * 1000 / TICK / len(KEYS)
        srv = (end[2] - start[2] - idle_srv * span) * 1000 / TICK / len(KEYS)
        row = dict(open=opened, own=own, server=srv if meter.server else None,
                   typing=typed - start[0], lag=max(0.0, end[0] - typed),
                   idle=idle_own, pause=pause, modified=modified)
        e2e.log(f'{case} ({e2e.kesh_exe()}): {own:.2f} ms/key kesh.exe, {srv:.2f} ms/key wineserver, '
                f'typing {row["typing"]:.2f} s, lag {row["lag"]:.2f} s, idle {idle_own:.2f} ticks/s, '
                f'open {opened:.1f} s, pause {pause:.0f} ms, modified mark {"yes" if modified else "NO"}')
        return row
    finally:
        k.__exit__(None, None, None)  # ends the process, removes its directory


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--runs', type=int, default=3)
    parser.add_argument('--compare', metavar='EXE',
                        help='another kesh.exe, run in turn with KESH_EXE (same load for both)')
    parser.add_argument('cases', nargs='*', default=list(CASES))
    options = parser.parse_args()
    unknown = [c for c in options.cases if c not in CASES]
    if unknown:
        raise SystemExit(f'unknown case(s) {unknown}; known: {", ".join(CASES)}')
    programs = {'KESH_EXE': str(e2e.kesh_exe())}
    if options.compare:
        compare = Path(options.compare).resolve()
        if not compare.is_file():
            raise SystemExit(f'--compare {compare} does not exist')
        programs['compare'] = str(compare)
    e2e.session()
    files = Files()
    results = {}  # (case, label): [rows]
    wall = time.monotonic()
    try:
        for case in options.cases:
            for run in range(options.runs):
                for label, exe in programs.items():
                    os.environ['KESH_EXE'] = exe  # the harness reads it at every start
                    try:
                        row = one_run(files, case)
                        results.setdefault((case, label), []).append(row)
                    except Exception as e:  # one run's trouble must not hide the other figures
                        results.setdefault((case, label), [])
                        e2e.log(f'{case} ({label}) run {run + 1}: {type(e).__name__}: {e}')
    finally:
        os.environ['KESH_EXE'] = programs['KESH_EXE']
        files.remove()

    def med(rows, key, fmt):
        values = [r[key] for r in rows if r[key] is not None]
        return fmt.format(statistics.median(values)) if values else '-'

    print()
    for label, exe in programs.items():
        print(f'{label}: {exe}')
    print(f'{len(KEYS)} keys at {KEY_DELAY_MS} ms each; medians of the runs; CPU in ms per key, '
          f'idle CPU taken off; clock tick {1000 / TICK:.0f} ms')
    print(f'{"case":<12} {"program":<8} {"where":<36} {"runs":>4} {"kesh ms/key":>11} {"(min-max)":>13} '
          f'{"wsrv ms/key":>11} {"typing s":>8} {"lag s":>6} {"open s":>6} {"pause ms":>8} {"mark":>4}')
    for (case, label), rows in results.items():
        where = CASES[case][1]
        if not rows:
            print(f'{case:<12} {label:<8} {where:<36} {0:>4} (every run failed)')
            continue
        spread = f'({min(r["own"] for r in rows):.1f}-{max(r["own"] for r in rows):.1f})'
        marks = 'yes' if all(r['modified'] for r in rows) else 'NO'
        print(f'{case:<12} {label:<8} {where:<36} {len(rows):>4} {med(rows, "own", "{:.2f}"):>11} '
              f'{spread:>13} {med(rows, "server", "{:.2f}"):>11} {med(rows, "typing", "{:.2f}"):>8} '
              f'{med(rows, "lag", "{:.2f}"):>6} {med(rows, "open", "{:.1f}"):>6} {med(rows, "pause", "{:.0f}"):>8} '
              f'{marks:>4}')
    print(f'wall time of the whole run: {time.monotonic() - wall:.0f} s; load average now '
          f'{os.getloadavg()[0]:.1f} on {os.cpu_count()} cores', flush=True)
    return 0 if all(results.values()) else 1


if __name__ == '__main__':
    sys.exit(main())

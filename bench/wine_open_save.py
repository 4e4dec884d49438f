#!/usr/bin/env python3
"""Open and save of a 100 MB file (1,000,000 CR LF lines of GBK prose, as bench/wine_typing.py
makes it) with kesh.exe under Wine, beside vim keeping the file's encoding, in one run.

    KESH_EXE=$PWD/build/win/kesh.exe python3 bench/wine_open_save.py [--runs N] [--utf8]

kesh.exe: the time from its start until the caption names the file and the process has gone
idle (Wine's start included), the peak resident memory (VmHWM) of the process running
kesh.exe then, the time from Ctrl+S (after a few typed keys) until the file is replaced, the
caption has lost its modified mark and the process is idle again, and the peak after that.
vim (-u NONE, no swap file, Ex mode so no terminal is needed): the same file opened and
quit, then opened, changed and written, each under /usr/bin/time -v for its elapsed time
and maximum resident size; its save time is the difference of the two. The CPU time
of each (user + system: of the Linux process running kesh.exe, of vim) is given too: on a
loaded machine it tells more than the elapsed time. vim keeps the
bytes as they are: 'enc' and 'fencs' are cp936 (utf-8 with --utf8). Both flush the saved
file to the disk (kesh.exe's safe save does; vim's 'fsync' is left on).

--utf8 uses the same text converted to UTF-8 (about 1.3 times the bytes), for comparing
the cost of the two encodings; kesh.exe reads it as UTF-8 and saves it back as UTF-8.
Each program runs --runs times (2 by default), in turn; the table gives medians and the
ratios kesh.exe / vim.
"""

from __future__ import annotations

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / 'tests' / 'e2e'))
sys.path.insert(0, str(Path(__file__).resolve().parent))
import kesh_e2e as e2e  # noqa: E402
from hostile_inputs import hundred_mb_file  # noqa: E402
from wine_load_memory import status_kb  # noqa: E402
from wine_typing import cpu_ticks, kesh_pid  # noqa: E402

POLL_S = 0.05
QUIET_S = 0.5  # idle: this long with at most one clock tick of CPU
TIMEOUT_S = 600
TYPED = 'abc'
TICK = os.sysconf('SC_CLK_TCK')


def idle_since(pid, start):
    """Waits until `pid` has used at most one tick in QUIET_S and returns the time its work
    ended (the start of that quiet stretch), not before `start`."""
    samples = [(time.monotonic(), cpu_ticks(pid))]
    window = int(QUIET_S / POLL_S)
    deadline = time.monotonic() + TIMEOUT_S
    while time.monotonic() < deadline:
        time.sleep(POLL_S)
        ticks = cpu_ticks(pid)
        if ticks is None:
            raise e2e.E2EError('kesh.exe is gone')
        samples.append((time.monotonic(), ticks))
        if len(samples) > window and samples[-1][1] - samples[-1 - window][1] <= 1:
            # The work ended at the last sample before the quiet stretch's ticks stopped.
            quiet = samples[-1 - window]
            for at, count in reversed(samples[:-window]):
                if count != quiet[1]:
                    break
                quiet = (at, count)
            return max(quiet[0], start)
    raise e2e.E2EError(f'kesh.exe still busy {TIMEOUT_S} s later')


def peak_mb(pid):
    return status_kb(pid, 'VmHWM') * 1024 / 1e6


def windows_path(k, name):
    """k.winpath(name), asked again once: winepath fails now and then on a loaded machine."""
    try:
        return k.winpath(name)
    except subprocess.CalledProcessError:
        time.sleep(2)
        return k.winpath(name)


def kesh_run(source, name, utf8):
    """One open, type, save with kesh.exe: {open, open_cpu, open_peak, save, save_cpu,
    save_peak} (s, MB)."""
    k = e2e.Kesh(args=[name], wait=False, name='open-save')
    try:
        target = k.path(name)
        shutil.copyfile(source, target)
        title = f'{windows_path(k, name)}{" [UTF-8]" if utf8 else ""} - Kesh'
        started = time.monotonic()
        k.start()
        e2e.wait_for('the caption naming the file', lambda: k.alive() and k._title_or_none() == title,
                     TIMEOUT_S, POLL_S)
        pid = kesh_pid(k)
        opened = idle_since(pid, time.monotonic()) - started
        open_cpu = cpu_ticks(pid) / TICK  # the process's whole life so far
        open_peak = peak_mb(pid)
        boxes = k.message_boxes()
        if boxes:
            e2e.log(f'message boxes after opening: {boxes}')
        k.type(TYPED)
        e2e.wait_for('the modified mark', lambda: k.title() == ' * ' + title, 60, POLL_S)
        idle_since(pid, time.monotonic())
        inode = os.stat(target).st_ino
        ticks = cpu_ticks(pid)
        saving = time.monotonic()
        e2e._x('xdotool', 'key', 'ctrl+s')
        e2e.wait_for('the file to be replaced and the mark to go', lambda: (
            os.stat(target).st_ino != inode and k.title() == title), TIMEOUT_S, POLL_S)
        saved = idle_since(pid, time.monotonic()) - saving
        save_cpu = (cpu_ticks(pid) - ticks) / TICK
        size = os.path.getsize(target)
        expected = os.path.getsize(source) + len(TYPED)
        if size != expected:
            raise e2e.E2EError(f'saved {size} bytes, expected {expected}')
        return dict(open=opened, open_cpu=open_cpu, open_peak=open_peak, save=saved, save_cpu=save_cpu,
                    save_peak=peak_mb(pid))
    finally:
        k.__exit__(None, None, None)


def timed_vim(path, encoding, commands):
    """vim on `path` with `commands` in Ex mode: (elapsed s, CPU s, max RSS MB) from
    /usr/bin/time -v."""
    command = ['/usr/bin/time', '-v', 'vim', '-u', 'NONE', '-N', '-i', 'NONE', '-n', '-es',
               '--cmd', f'set enc={encoding} fencs={encoding}', *sum((['-c', c] for c in commands), []),
               str(path)]
    result = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True, timeout=TIMEOUT_S)
    if result.returncode != 0:
        raise RuntimeError(f'vim exited with {result.returncode}: {result.stderr[-500:]}')
    wall = re.search(r'Elapsed \(wall clock\) time.*: (?:(\d+):)?(\d+):([\d.]+)', result.stderr)
    hours, minutes, seconds = wall.groups()
    elapsed = int(hours or 0) * 3600 + int(minutes) * 60 + float(seconds)
    cpu = sum(float(re.search(rf'{kind} time \(seconds\): ([\d.]+)', result.stderr).group(1))
              for kind in ('User', 'System'))
    rss = int(re.search(r'Maximum resident set size \(kbytes\): (\d+)', result.stderr).group(1))
    return elapsed, cpu, rss * 1024 / 1e6


def vim_run(source, encoding):
    """vim opening and quitting, then opening, changing and writing a copy of the file."""
    work = Path(tempfile.mkdtemp(prefix='kesh-open-save-vim-'))
    try:
        path = work / 'big.txt'
        shutil.copyfile(source, path)
        opened, open_cpu, open_peak = timed_vim(path, encoding, ['q!'])
        total, total_cpu, save_peak = timed_vim(path, encoding, [f'normal! gg0i{TYPED}', 'wq'])
        if os.path.getsize(path) != os.path.getsize(source) + len(TYPED):
            raise RuntimeError('vim wrote a file of another size')
        return dict(open=opened, open_cpu=open_cpu, open_peak=open_peak, save=total - opened,
                    save_cpu=total_cpu - open_cpu, save_peak=save_peak)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--runs', type=int, default=2)
    parser.add_argument('--utf8', action='store_true', help='the same text in UTF-8')
    options = parser.parse_args()
    if shutil.which('vim') is None:
        raise SystemExit('vim is missing: apt-get install vim')
    e2e.session()
    work = Path(tempfile.mkdtemp(prefix='kesh-open-save-'))
    data = hundred_mb_file()
    encoding = 'cp936'
    if options.utf8:
        data = data.decode('gbk').encode('utf-8')
        encoding = 'utf-8'
    source = work / 'big.txt'
    source.write_bytes(data)
    size_mb = len(data) / 1e6
    del data
    e2e.log(f'wrote {source} ({size_mb:.1f} MB, {encoding})')
    rows = {'kesh.exe': [], 'vim': []}
    try:
        for run in range(options.runs):
            for label, measure in (('kesh.exe', lambda: kesh_run(source, 'big.txt', options.utf8)),
                                   ('vim', lambda: vim_run(source, encoding))):
                try:
                    row = measure()
                    rows[label].append(row)
                    e2e.log(f'run {run + 1} {label}: open {row["open"]:.2f} s (CPU {row["open_cpu"]:.2f} s, '
                            f'{row["open_peak"]:.0f} MB), save {row["save"]:.2f} s (CPU {row["save_cpu"]:.2f} s, '
                            f'{row["save_peak"]:.0f} MB)')
                except Exception as e:  # one run's trouble must not hide the other figures
                    e2e.log(f'run {run + 1} {label}: {type(e).__name__}: {e}')
    finally:
        shutil.rmtree(work, ignore_errors=True)

    def med(label, key):
        values = [r[key] for r in rows[label]]
        return statistics.median(values) if values else None

    columns = ('open', 'save', 'total', 'open_cpu', 'save_cpu', 'total_cpu', 'open_peak', 'save_peak')
    heads = ('open s', 'save s', 'open+save s', 'open CPU s', 'save CPU s', 'o+s CPU s', 'peak open MB',
             'peak save MB')
    print()
    print(f'{size_mb:.1f} MB, 1,000,000 lines, {encoding}; medians of {options.runs} runs; load average now '
          f'{os.getloadavg()[0]:.1f} on {os.cpu_count()} cores')
    print(f'{"program":<9} ' + ' '.join(f'{h:>12}' for h in heads) + f' {"peak/file":>9}')
    figures = {}
    for label in rows:
        for row in rows[label]:
            row['total'] = row['open'] + row['save']
            row['total_cpu'] = row['open_cpu'] + row['save_cpu']
        if not rows[label]:
            print(f'{label:<9} (every run failed)')
            continue
        figures[label] = [med(label, c) for c in columns]
        peak = max(figures[label][-2:])
        print(f'{label:<9} ' + ' '.join(f'{v:>12.2f}' if i < 6 else f'{v:>12.0f}'
                                        for i, v in enumerate(figures[label])) + f' {peak / size_mb:>9.2f}')
    if len(figures) == 2:
        ratios = [k / v if v > 0 else float('nan') for k, v in zip(figures['kesh.exe'], figures['vim'])]
        print(f'{"kesh/vim":<9} ' + ' '.join(f'{r:>12.2f}' for r in ratios))
    return 0 if all(rows.values()) else 1


if __name__ == '__main__':
    sys.exit(main())

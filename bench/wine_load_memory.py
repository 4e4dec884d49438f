#!/usr/bin/env python3
"""Opens a big file in kesh.exe under Wine: the time until the caption names the file (Wine's
start included) and the peak resident memory of the kesh.exe process (Wine's own share,
about 40 MB, included). The first run also boots the Wine prefix, so take the later ones.

    KESH_EXE=$PWD/build-NAME-win/kesh.exe python3 bench/wine_load_memory.py FILE [RUNS]

A 100 MB file of GBK prose: run load_bench once with a folder and copy its prose.txt while
it runs, or write any large text file.
"""
import os
import shutil
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / 'tests' / 'e2e'))
import kesh_e2e as e2e  # noqa: E402


def kesh_processes():
    """The pids whose command line names kesh.exe (the harness itself excluded)."""
    found = []
    for pid in os.listdir('/proc'):
        if not pid.isdigit():
            continue
        try:
            command = Path(f'/proc/{pid}/cmdline').read_bytes()
        except OSError:
            continue
        if b'kesh.exe' in command and b'python' not in command:
            found.append(int(pid))
    return found


def status_kb(pid, key):
    for row in Path(f'/proc/{pid}/status').read_text().splitlines():
        if row.startswith(key + ':'):
            return int(row.split()[1])
    return -1


def main():
    source = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 4
    size_mb = os.path.getsize(source) / 1e6
    for run in range(runs):
        kesh = e2e.Kesh(args=['big.txt'], wait=False)
        shutil.copy(source, kesh.dir / 'big.txt')
        try:
            start = time.monotonic()
            kesh.start()
            kesh.wait_first_window(120)
            e2e.wait_for('the caption with the file name', lambda: 'big.txt' in (kesh.title() or ''), 120, 0.02)
            opened = time.monotonic() - start
            time.sleep(1.0)
            peaks = [status_kb(pid, 'VmHWM') * 1024 / 1e6 for pid in kesh_processes()]
            peak = max(peaks) if peaks else -1
            print(f'run {run + 1}: open {opened:.2f} s, peak {peak:.1f} MB = {peak / size_mb:.2f} x the file',
                  flush=True)
        finally:
            kesh.kill()
            shutil.rmtree(kesh.dir, ignore_errors=True)


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""Hostile inputs against the real kesh.exe under Wine: a 100 MB file, a 10 MB single line
(with and without word wrap), a 1 MB find text, a 1 MB replacement template and regular
expressions that backtrack badly on the 10 MB line.

Not a test scenario (its name does not start with test_, so the test command skips it): it
takes minutes and its figures depend on the machine. Run it by hand:

    KESH_EXE=$PWD/build/win/kesh.exe python3 tests/e2e/hostile_inputs.py [case ...]

and read the table it prints: for each case the wall time of each step, whether Kesh was
still alive and answering keys afterwards, the message boxes it showed (caption and text)
and whether the saved file holds exactly the expected bytes. Cases are named 100mb,
line10mb, wrap10mb, find1mb, template1mb, regex; with no names all of them run. The big
files live in the harness's temporary working directories and go with them. The two
cases that paste (find1mb, template1mb) are best run one per invocation: in runs here,
the second of them in one Wine session pasted the text the first had put on the X
clipboard.

Exit status 1 when a case crashed, hung, lost bytes or saved the wrong bytes; a slow word
wrap of the 10 MB line is reported but does not count as a failure.
"""

from __future__ import annotations

import os
import sys
import time
import traceback

from kesh_e2e import E2EError, Kesh, log, wait_for

MB = 1_000_000
SEARCH_CAPTION = '搜索'
REPLACE_ALL_CAPTION = '全部替换结果'

# Prose for the files: Chinese, full-width punctuation and ASCII words. It holds no "c",
# "=" or backslash, so the regular expressions of the regex case never match and must
# scan every byte, and runs of "a" and "b" feed their alternation.
PROSE = ('第一章 总则 中华人民共和国 The lazy brown fox jumps over 12345 人民，'
         '自动换行只是显示段落的一种方式；aaaaaaaaaaaaaaaaaaaab 汉字与 ASCII mixed text。')
assert not any(ch in PROSE for ch in 'c=\\')


def gbk(text):
    return text.encode('gbk')


def prose_bytes(size):
    """About `size` bytes of GBK prose without line breaks (whole characters only)."""
    unit = gbk(PROSE)
    return unit * (size // len(unit) + 1)


def hundred_mb_file():
    """1,000,000 lines of about 100 bytes each, every one ending in CR LF."""
    line = gbk(PROSE)[:96]
    while True:  # cut on a character boundary: decoding checks it
        try:
            line.decode('gbk')
            break
        except UnicodeDecodeError:
            line = line[:-1]
    lines = []
    for i in range(1_000_000):
        lines.append(b'%07d ' % i + line + b'\r\n')
    return b''.join(lines)


def ten_mb_line():
    body = prose_bytes(10 * MB)
    body = body[:10 * MB]
    try:
        body.decode('gbk')
    except UnicodeDecodeError:
        body = body[:-1]
    return body


# ==== Helpers ===============================================================================

class Result:
    def __init__(self, name):
        self.name = name
        self.steps = []      # (what, seconds or None, note)
        self.boxes = []      # (caption, text)
        self.alive = None    # True / False / None (not checked)
        self.responsive = None
        self.bytes_ok = None  # True / False / None (nothing saved)
        self.failed = False
        self.soft = False    # a slow step that is reported but not a failure
        self.notes = []

    def step(self, what, seconds, note=''):
        self.steps.append((what, seconds, note))
        shown = 'timed out' if seconds is None else f'{seconds:.1f} s'
        log(f'{self.name}: {what}: {shown} {note}')


def timed(what, probe, timeout, interval=0.2):
    """(value, seconds) once probe() is truthy; (None, None) after timeout."""
    started = time.monotonic()
    try:
        value = wait_for(what, probe, timeout, interval)
    except E2EError:
        return None, None
    return value, time.monotonic() - started


def shorten(text, keep=90):
    if text is None:
        return None
    text = text.replace('\n', '\\n')
    return text if len(text) <= keep else f'{text[:keep]}... ({len(text)} characters)'


def new_box(k, known, timeout, boxes_before):
    """Waits for a window of the program not in `known`; returns (id, caption, text, seconds).
    `boxes_before` is the number of message boxes shown before the key that led here."""

    def probe():
        if not k.alive():
            raise E2EError(f'kesh.exe exited with code {k.process.returncode}')
        return next(((wid, name) for wid, name in k.windows() if wid not in known and name), None)
    found, seconds = timed('a message box', probe, timeout)
    if found is None:
        return None, None, None, None
    wid, caption = found
    # Wine traces the text as the box initialises: give the log a moment.
    texts, _ = timed('the message box text', lambda: (lambda t: t if len(t) > boxes_before else None)(
        k.message_boxes()), 5)
    return wid, caption, texts[-1] if texts else None, seconds


def file_replaced(path, before, timeout):
    """Waits until the file at `path` is another file than `before` (a save renames a new one
    over it) or its size/mtime changed; returns the seconds taken or None."""
    def probe():
        try:
            st = os.stat(path)
        except FileNotFoundError:
            return None
        return (st.st_ino, st.st_size, st.st_mtime_ns) != before
    _, seconds = timed('the saved file', probe, timeout)
    return seconds


def stat_key(path):
    st = os.stat(path)
    return st.st_ino, st.st_size, st.st_mtime_ns


def responsive(k, r, title):
    """Types one character and waits for the caption's modified mark: the program still
    takes keys. The document is then changed: call this last."""
    r.alive = k.alive()
    if not r.alive:
        r.responsive = False
        return
    try:
        k.title()
    except E2EError:
        r.responsive = False
        return
    k.type('Z')
    _, seconds = timed('the modified mark', lambda: k.title() == ' * ' + title, 60)
    r.responsive = seconds is not None
    r.step('a key after the case (Z, until the caption shows " * ")', seconds)


class NotStarted:
    """A Kesh whose working directory exists before the program starts (open_file starts
    it), so a big file can be written there without holding it all in the files dict."""

    def __init__(self, **options):
        self.kesh = Kesh(wait=False, **options)

    def __enter__(self):
        return self.kesh

    def __exit__(self, kind, value, tb):
        return self.kesh.__exit__(kind, value, tb)


def open_file(k, r, name, timeout):
    """Starts kesh.exe on the file already written into its working directory and waits
    until the caption names it; returns that caption."""
    title = f'{k.winpath(name)} - Kesh'
    started = time.monotonic()
    k.start()
    _, seconds = timed('the caption', lambda: k.alive() and k._title_or_none() == title, timeout)
    r.step('open from the command line (until the caption names the file)',
           None if seconds is None else time.monotonic() - started)
    if seconds is None:
        raise E2EError(f'the caption never named the file; windows {k.windows()!r}')
    return title


def _title_or_none(self):
    try:
        return self.title() if self.alive() else None
    except E2EError:
        return None


Kesh._title_or_none = _title_or_none


def type_and_save(k, r, path, title, keys, char, timeout):
    """Presses `keys`, types `char`, saves with Ctrl+S; returns True once saved."""
    started = time.monotonic()
    k.key(*keys)
    k.type(char)
    _, seconds = timed('the modified mark', lambda: k.title() == ' * ' + title, timeout)
    r.step(f'{" ".join(keys)}, type {char!r} (until " * ")',
           None if seconds is None else time.monotonic() - started)
    if seconds is None:
        return False
    before = stat_key(path)
    started = time.monotonic()
    k.key('ctrl+s')
    seconds = file_replaced(path, before, timeout)
    if seconds is not None:
        _, _ = timed('the caption without " * "', lambda: k.title() == title, timeout)
    r.step('Ctrl+S (until the file is replaced)', None if seconds is None else time.monotonic() - started)
    return seconds is not None


def check_bytes(r, path, expected):
    data = path.read_bytes()
    r.bytes_ok = data == expected
    if not r.bytes_ok:
        at = next((i for i, (a, b) in enumerate(zip(data, expected)) if a != b), min(len(data), len(expected)))
        r.notes.append(f'saved {len(data)} bytes, expected {len(expected)}; first difference at byte {at}: '
                       f'{data[at:at + 16]!r} vs {expected[at:at + 16]!r}')
        r.failed = True


def open_dialog(k, keys):
    main = k.main_window()
    k.key(keys)
    return wait_for('the find dialog', lambda: next(
        (wid for wid, name in k.windows() if wid != main and name), None), 60)


def focus_main(k):
    """Clicks into the text: once a dialog is gone Wine may leave the keyboard focus
    nowhere, and keys meant for the main window would be lost. The click moves the caret."""
    _, _, w, h = k.geometry()
    k.click(w // 2, h // 2)


def close_dialog(k, dialog):
    if any(w == dialog for w, _ in k.windows()):
        k.key('Escape', window=dialog)
        timed('the dialog to close', lambda: all(w != dialog for w, _ in k.windows()), 20)
    focus_main(k)


def close_box(k, wid):
    if wid is not None and any(w == wid for w, _ in k.windows()):
        k.key('Return', window=wid)
        timed('the box to close', lambda: all(w != wid for w, _ in k.windows()), 20)


# ==== Cases =================================================================================

def case_100mb(r):
    original = hundred_mb_file()
    lines = original.count(b'\r\n')
    r.notes.append(f'{len(original)} bytes, {lines} CR LF lines')
    with NotStarted(args=['big.txt'], name='hostile-100mb') as k:
        path = k.path('big.txt')
        path.write_bytes(original)
        title = open_file(k, r, 'big.txt', 600)
        # Ctrl+End lands on the empty line after the last CR LF; the typed character makes
        # it a line, which Save ends with CR LF like every other.
        if type_and_save(k, r, path, title, ['ctrl+End'], 'X', 600):
            check_bytes(r, path, original + b'X\r\n')
        else:
            r.failed = True
        del original
        responsive(k, r, title)


def case_line10mb(r):
    original = ten_mb_line()
    r.notes.append(f'{len(original)} bytes on one line, no line break')
    with NotStarted(args=['line.txt'], name='hostile-line10mb') as k:
        path = k.path('line.txt')
        path.write_bytes(original)
        title = open_file(k, r, 'line.txt', 300)
        # Home and End after the typing walk the whole line's characters twice.
        started = time.monotonic()
        k.key('ctrl+End')
        k.type('X')
        k.key('Home', 'End')
        _, seconds = timed('the modified mark', lambda: k.title() == ' * ' + title, 300)
        r.step('Ctrl+End, X, Home, End (until " * ")', None if seconds is None else time.monotonic() - started)
        before = stat_key(path)
        started = time.monotonic()
        k.key('ctrl+s')
        seconds = file_replaced(path, before, 300)
        r.step('Ctrl+S (until the file is replaced)', None if seconds is None else time.monotonic() - started)
        if seconds is None:
            r.failed = True
        else:
            timed('the caption without " * "', lambda: k.title() == title, 60)
            # The loaded line ends with a hard return, which Save writes as CR LF.
            check_bytes(r, path, original + b'X\r\n')
        responsive(k, r, title)


WRAP_TIMEOUT = 180


def case_wrap10mb(r):
    original = ten_mb_line()
    r.notes.append(f'{len(original)} bytes on one line; Ctrl+W switches word wrap on and off')
    with NotStarted(args=['line.txt'], name='hostile-wrap10mb') as k:
        path = k.path('line.txt')
        path.write_bytes(original)
        title = open_file(k, r, 'line.txt', 300)
        # Keys wait in the queue while the wrap runs: the Find dialog that Ctrl+F opens
        # shows once the wrap is done.
        started = time.monotonic()
        k.key('ctrl+w', 'ctrl+f')
        main = k.main_window()
        dialog, seconds = timed('the find dialog', lambda: next(
            (wid for wid, name in k.windows() if wid != main and name), None), WRAP_TIMEOUT)
        r.step('Ctrl+W (wrap on; until Ctrl+F after it opens the Find dialog)',
               None if seconds is None else time.monotonic() - started)
        if seconds is None:
            r.soft = True
            r.alive = k.alive()
            r.notes.append(f'word wrap of the 10 MB line not done after {WRAP_TIMEOUT} s; the process was ended')
            return
        close_dialog(k, dialog)
        started = time.monotonic()
        k.key('ctrl+End')
        k.type('X')
        _, seconds = timed('the modified mark', lambda: k.title() == ' * ' + title, 60)
        r.step('Ctrl+End, X on the wrapped paragraph (until " * ")',
               None if seconds is None else time.monotonic() - started)
        if seconds is None:
            r.failed = True
            return
        before = stat_key(path)
        started = time.monotonic()
        k.key('ctrl+w', 'ctrl+s')
        seconds = file_replaced(path, before, WRAP_TIMEOUT)
        r.step('Ctrl+W (wrap off), Ctrl+S (until the file is replaced)',
               None if seconds is None else time.monotonic() - started)
        if seconds is None:
            r.soft = True
            r.notes.append(f'unwrap and save not done after {WRAP_TIMEOUT} s')
            return
        timed('the caption without " * "', lambda: k.title() == title, 60)
        check_bytes(r, path, original + b'X\r\n')
        responsive(k, r, title)


def one_mb_text(unit):
    """About a megabyte of `unit` repeated (as UTF-8 for the clipboard)."""
    return unit * (MB // len(unit.encode('utf-8')) + 1)


def box_after(k, r, dialog, key, step, started, timeout):
    """Presses `key` in the dialog, waits for the message box it leads to, records it as
    `step` (timed from `started`) and closes it. False when none came."""
    boxes = len(k.message_boxes())
    k.key(key, window=dialog)
    wid, caption, text, _ = new_box(k, {k.main_window(), dialog}, timeout, boxes)
    r.step(step, None if wid is None else time.monotonic() - started)
    if wid is None:
        r.failed = True
        r.alive = k.alive()
        return False
    r.boxes.append((caption, text))
    close_box(k, wid)
    return True


def cut_on_paste(k, r, dialog, started):
    """Pastes the clipboard into the dialog's focused box; the message that the text was
    cut to what the box takes must follow."""
    return box_after(k, r, dialog, 'ctrl+v', 'paste 1 MB (until the message that it was cut)', started, 120)


def case_find1mb(r):
    doc = prose_bytes(200_000)[:200_000]
    doc = doc[:len(doc.decode('gbk', errors='ignore').encode('gbk'))] + b'\r\n'
    with Kesh(args=['a.txt'], files={'a.txt': doc}, name='hostile-find1mb') as k:
        title = f'{k.winpath("a.txt")} - Kesh'
        k.wait_title(title, 60)
        needle = one_mb_text('查找文本 Find text 甲乙丙丁 ')
        r.notes.append(f'find text of {len(needle)} characters ({len(needle.encode("gbk"))} GBK bytes) '
                       f'against {len(doc)} bytes')
        dialog = open_dialog(k, 'ctrl+f')
        k.set_clipboard(needle)
        started = time.monotonic()
        k.key('End', 'shift+Home', 'BackSpace', window=dialog)
        if not cut_on_paste(k, r, dialog, started):
            return
        if not box_after(k, r, dialog, 'Return', 'paste 1 MB into Find, Enter (until a message box)', started, 300):
            return
        close_dialog(k, dialog)
        responsive(k, r, title)
        if r.responsive:
            before = stat_key(k.path('a.txt'))
            k.key('BackSpace', 'ctrl+s')
            file_replaced(k.path('a.txt'), before, 60)
            check_bytes(r, k.path('a.txt'), doc)


def case_template1mb(r):
    marker = 'KESHMARK'
    piece = gbk('段落正文，') * 300
    parts = [piece, piece, piece, piece]
    doc = gbk(marker).join(parts) + b'\r\n'
    template = one_mb_text('替换模板 template 文字 ')
    template_gbk = template.encode('gbk')
    r.notes.append(f'template of {len(template)} characters ({len(template_gbk)} GBK bytes); '
                   f'{doc.count(gbk(marker))} matches in {len(doc)} bytes')
    with Kesh(args=['a.txt'], files={'a.txt': doc}, name='hostile-template1mb') as k:
        title = f'{k.winpath("a.txt")} - Kesh'
        k.wait_title(title, 60)
        dialog = open_dialog(k, 'ctrl+h')
        k.key('End', 'shift+Home', 'BackSpace', window=dialog)
        k.type(marker, window=dialog)
        k.key('Tab', window=dialog)
        k.set_clipboard(template)
        started = time.monotonic()
        if not cut_on_paste(k, r, dialog, started):
            return
        if not box_after(k, r, dialog, 'alt+a', 'paste 1 MB into Replace, Alt+A (until the result box)', started, 300):
            return
        close_dialog(k, dialog)
        path = k.path('a.txt')
        before = stat_key(path)
        k.key('ctrl+s')
        if file_replaced(path, before, 60) is None:
            r.notes.append('Ctrl+S wrote nothing (was anything replaced?)')
            r.bytes_ok = path.read_bytes() == doc
            r.failed = True
        else:
            # Every match must have become the same whole-character start of the template.
            saved = path.read_bytes()
            count = len(parts) - 1
            grown = len(saved) - (len(doc) - count * len(marker))
            used = grown // count if grown >= 0 and grown % count == 0 else -1
            inserted = saved[len(piece):len(piece) + used] if used >= 0 else b''
            r.bytes_ok = (used >= 0 and template_gbk.startswith(inserted)
                          and saved == inserted.join(parts) + b'\r\n')
            r.notes.append(f'each match became the first {used} bytes of the template')
            if not r.bytes_ok:
                r.failed = True
        responsive(k, r, title)


REGEXES = ['/(a|b|a)*c/g', '/.*.*.*.*=/g']


def case_regex(r):
    original = ten_mb_line()
    r.notes.append(f'{len(original)} bytes on one line holding no match; a fresh start for each expression')
    for number, expression in enumerate(REGEXES):
        # A fresh program for each: under Wine, once the Find dialog has been closed,
        # Ctrl+F did not open it again in these runs.
        with NotStarted(args=['line.txt'], name=f'hostile-regex-{number}') as k:
            path = k.path('line.txt')
            path.write_bytes(original)
            title = open_file(k, r, 'line.txt', 300)
            dialog = open_dialog(k, 'ctrl+f')
            k.key('End', 'shift+Home', 'BackSpace', window=dialog)  # a seeded find text
            k.type(expression, window=dialog)
            started = time.monotonic()
            if not box_after(k, r, dialog, 'Return', f'{expression} (Enter until a message box)', started, 600):
                return
            close_dialog(k, dialog)
            responsive(k, r, title)
            if not r.responsive:
                r.failed = True
                return
            before = stat_key(path)
            k.key('BackSpace', 'ctrl+s')
            if file_replaced(path, before, 120) is None:
                r.failed = True
                r.notes.append('Ctrl+S wrote nothing')
                return
            timed('the caption without " * "', lambda: k.title() == title, 60)
            check_bytes(r, path, original + b'\r\n')
            if not r.bytes_ok:
                return


CASES = {
    '100mb': ('100 MB file, 1 M CR LF lines', case_100mb),
    'line10mb': ('10 MB single line', case_line10mb),
    'wrap10mb': ('10 MB single line, word wrap', case_wrap10mb),
    'find1mb': ('1 MB find text', case_find1mb),
    'template1mb': ('1 MB replacement template', case_template1mb),
    'regex': ('hostile regex on 10 MB line', case_regex),
}


def yes_no(value):
    return '-' if value is None else ('yes' if value else 'NO')


def print_table(results):
    print()
    print('Hostile inputs under Wine (times are wall clock on a shared, loaded machine)')
    print('=' * 100)
    for r in results:
        status = 'FAILED' if r.failed else ('slow (reported)' if r.soft else 'ok')
        print(f'{r.name}: {status}; alive {yes_no(r.alive)}, answering keys {yes_no(r.responsive)}, '
              f'saved bytes as expected {yes_no(r.bytes_ok)}')
        for what, seconds, note in r.steps:
            shown = 'no result' if seconds is None else f'{seconds:8.1f} s'
            print(f'    {shown:>10}  {what}{"  " + note if note else ""}')
        for caption, text in r.boxes:
            print(f'    box "{caption}": {shorten(text)}')
        for note in r.notes:
            print(f'    note: {note}')
    print('=' * 100, flush=True)


def main(names):
    unknown = [n for n in names if n not in CASES]
    if unknown:
        raise SystemExit(f'unknown case(s) {unknown}; known: {", ".join(CASES)}')
    results = []
    for key in names or list(CASES):
        title, run = CASES[key]
        r = Result(f'{key} ({title})')
        log(f'case {r.name}')
        try:
            run(r)
        except Exception as e:  # one case's trouble must not hide the others' figures
            r.failed = True
            r.notes.append(f'{type(e).__name__}: {e}')
            traceback.print_exc()
        results.append(r)
    print_table(results)
    return 1 if any(r.failed for r in results) else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))

"""Reading Kesh's windows back from the screen: the texts the resources hold, tesseract's
reading of a window, and how many of the expected texts it read exactly.

OCR reads full-width and half-width forms, runs of dots and spaces inconsistently, so
both sides are compared in one normal form: NFKC (Ⅰ -> I, ㈠ -> (一), （ -> (), no
white space, every run of dots as one.
"""

from __future__ import annotations

import os
import re
import shutil
import subprocess
import unicodedata
from pathlib import Path

RC_FILE = Path(__file__).resolve().parents[2] / 'res' / 'kesh.rc'
# Upscaling before OCR: tesseract reads 12-pixel text poorly, 3x well.
SCALE = '300%'


def rc_text(path=RC_FILE):
    """The resource script as text: UTF-8 when it says so with #pragma code_page, else GBK."""
    raw = Path(path).read_bytes()
    return raw.decode('utf-8' if re.search(rb'#pragma\s+code_page\(\s*65001\s*\)', raw) else 'gbk')


def _unquote(literal):
    return literal[1:-1].replace('""', '"').replace('\\t', '\t')


def menu_label(text):
    """A menu item's label as OCR can check it: the text before the mnemonic "(&X)" (whose
    underlined letter OCR misreads at menu sizes) and the accelerator column."""
    label = text.split('\t')[0].split('(&')[0]
    return label.replace('&&', '\0').replace('&', '').replace('\0', '&').strip()


def menus(text):
    """{popup label: [labels of its items and submenus]} of every popup in the MENU resources."""
    found, stack = {}, []
    token = re.compile(r'^\s*(POPUP|MENUITEM)\s+("(?:[^"]|"")*")|^\s*(BEGIN|END)\b')
    pending = None
    for line in text.splitlines():
        match = token.match(line)
        if not match:
            continue
        kind, literal, block = match.groups()
        if kind:
            label = menu_label(_unquote(literal))
            if stack and stack[-1] is not None:
                found[stack[-1]].append(label)
            if kind == 'POPUP':
                pending = label
                found[label] = []
        elif block == 'BEGIN':
            stack.append(pending)
            pending = None
        elif stack:
            stack.pop()
    return found


def dialog_texts(text, dialog_id):
    """The literal texts of one DIALOGEX's controls, in template order."""
    match = re.search(rf'^{dialog_id}\s+DIALOGEX\b.*?^BEGIN$(.*?)^END$', text, re.S | re.M)
    if not match:
        raise ValueError(f'no dialog {dialog_id} in the resources')
    return [_unquote(m.group(1)) for m in re.finditer(r'^\s*[A-Z]+\s+("(?:[^"]|"")*")', match.group(1), re.M)]


def normal(text):
    text = unicodedata.normalize('NFKC', text)
    text = re.sub(r'[\s_|]+', '', text)
    return re.sub(r'[.·…。]{2,}', '…', text)


# Removes the frames of buttons and boxes (straight runs longer than any stroke of a
# 12-pixel glyph), which tesseract otherwise takes for text and lets swallow the labels.
WITHOUT_FRAMES = ['-negate',
                  '(', '-clone', '0', '-morphology', 'Open', 'rectangle:20x1', ')',
                  '(', '-clone', '0', '-morphology', 'Open', 'rectangle:1x20', ')',
                  '(', '-clone', '1', '-clone', '2', '-compose', 'Lighten', '-composite', ')',
                  '-delete', '1,2', '-compose', 'Minus_Src', '-composite']


def ocr(png, out_base, psms, frames=True):
    """Tesseract's readings (chi_sim) of a screenshot, one per page segmentation mode: in
    grey, without frames unless `frames`, upscaled and with a margin. Mode 4 (columns)
    reads menus; 6 (a block) and 11 (sparse text) together read dialogs. chi_sim holds
    Latin letters and digits too, and reads Chinese far better without eng beside it."""
    if shutil.which('tesseract') is None:
        raise SystemExit('e2e: tesseract is missing (run scripts/setup.sh)')
    big = Path(f'{out_base}-ocr.png')
    subprocess.run(['convert', str(png), '-colorspace', 'Gray', *([] if frames else WITHOUT_FRAMES),
                    '-resize', SCALE, '-bordercolor', 'white', '-border', '30', str(big)],
                   check=True, timeout=60, stdin=subprocess.DEVNULL)
    readings = []
    for psm in psms:
        result = subprocess.run(['tesseract', str(big), 'stdout', '-l', 'chi_sim', '--psm', str(psm)],
                                capture_output=True, timeout=60, stdin=subprocess.DEVNULL,
                                env=dict(os.environ, OMP_THREAD_LIMIT='1'))  # threads only slow it on 2 cores
        readings.append(result.stdout.decode('utf-8', errors='replace'))
    return readings


def read_back(expected, readings):
    """The expected texts found exactly (in normal form) in any of the readings, and those
    missed."""
    seen = [normal(reading) for reading in readings]
    found = [t for t in expected if any(normal(t) in one for one in seen)]
    return found, [t for t in expected if t not in found]

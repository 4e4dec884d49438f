#!/usr/bin/env python3
"""Fails when a source file includes a folder of a higher layer than its own.

The core is built in layers, each using only those below it:
  platform < document < view < edit < files, search, blocks, quiz < app < win32, batch
Folders of one layer may include each other, except the two front ends: the window
(win32) and the console program (batch) never include one another. Prints every
offending include and exits 1.
"""
import re
import sys
from pathlib import Path

LAYER = {
    'platform': 0,
    'document': 1,
    'view': 2,
    'edit': 3,
    'files': 4, 'search': 4, 'blocks': 4, 'quiz': 4,
    'app': 5,
    'win32': 6, 'batch': 6,
}
FRONT_ENDS = {'win32', 'batch'}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z0-9_]+)/')


def violations(src: Path):
    for path in sorted(src.rglob('*')):
        if path.suffix not in ('.h', '.cpp') or not path.is_file():
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in LAYER:
            yield f'{path}: folder "{folder}" has no place in the layer order'
            continue
        for number, line in enumerate(path.read_text(encoding='utf-8', errors='replace').splitlines(), 1):
            match = INCLUDE.match(line)
            if not match or match.group(1) not in LAYER:
                continue
            included = match.group(1)
            if LAYER[included] > LAYER[folder]:
                yield f'{path}:{number}: {folder}/ includes {included}/, a higher layer'
            elif {folder, included} == FRONT_ENDS:
                yield f'{path}:{number}: {folder}/ includes {included}/, the other front end'


def main() -> int:
    src = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / 'src')
    found = list(violations(src))
    for line in found:
        print(line)
    print(f'layers: {len(found)} include(s) against the layer order')
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())

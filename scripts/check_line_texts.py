#!/usr/bin/env python3
"""Fails when code outside src/document/ frees or reallocates a line's text itself.

A loaded file's line texts are carved from large blocks (src/document/line_storage.h),
so free() or realloc() on one ends the process on Windows. Only the line storage may
release or replace a line's text: replaceLineText, releaseLineText, detachLineText, or a
string primitive that consumes its source. A line is recognised as a variable declared
LineNode*, a name holding "line" or "Line", or one of the document's line pointers.
Prints every offending call and exits 1.
"""
import re
import sys
from pathlib import Path

DECLARED_LINE = re.compile(r'\bLineNode\s*\*\s*(?:const\s+)?(\w+)')
FREED_TEXT = re.compile(r'\b(?:std::)?(free|realloc)\s*\(\s*([\w.]+)->text\b')
# Passing a line's text by reference to a helper that frees what it is given.
FIELD_REPLACED = re.compile(r'\breplaceField\s*\(\s*([\w.]+)->text\b')


def is_line(name: str, declared: set) -> bool:
    return name in declared or 'line' in name.lower() or name.startswith('doc.')


def violations(src: Path):
    for path in sorted(src.rglob('*')):
        if path.suffix not in ('.h', '.cpp') or not path.is_file():
            continue
        if path.relative_to(src).parts[0] == 'document':
            continue
        text = path.read_text(encoding='utf-8', errors='replace')
        declared = set(DECLARED_LINE.findall(text))
        for number, line in enumerate(text.splitlines(), 1):
            for match in FREED_TEXT.finditer(line):
                if is_line(match.group(2), declared):
                    yield f'{path}:{number}: {match.group(1)}() of a line\'s text outside the line storage'
            for match in FIELD_REPLACED.finditer(line):
                if is_line(match.group(1), declared):
                    yield f'{path}:{number}: a line\'s text handed to replaceField, which frees it'


def main() -> int:
    src = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / 'src')
    found = list(violations(src))
    for problem in found:
        print(problem)
    if found:
        print(f'{len(found)} place(s) free or reallocate a line\'s text outside src/document/; '
              'use replaceLineText or releaseLineText (document/line_storage.h)')
        return 1
    print('line texts: released only through the line storage')
    return 0


if __name__ == '__main__':
    sys.exit(main())

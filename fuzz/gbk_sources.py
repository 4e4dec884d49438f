#!/usr/bin/env python3
"""Copies C++ sources with every string and character literal re-encoded as GBK escapes.

The core is built with -fexec-charset=GBK, which clang does not offer. For the fuzz
build the sources are copied with each non-ASCII character inside a literal written as
\\x escapes of its GBK bytes ("中" becomes "\\xD6\\xD0" ""), so clang produces the same
bytes. Comments and everything outside literals are copied unchanged.

Usage: gbk_sources.py OUTPUT_DIR SOURCE_DIR...   (each SOURCE_DIR is copied under its own name)
"""
import sys
from pathlib import Path


def escape_literal_char(ch: str, quote: str) -> str:
    if ord(ch) < 0x80:
        return ch
    escaped = ''.join(f'\\x{b:02X}' for b in ch.encode('gbk'))
    # A string literal is closed and reopened after the escapes, so a following hex
    # digit is not read as part of the last escape.
    return escaped + ('" "' if quote == '"' else '')


def convert(text: str) -> str:
    out = []
    i, n = 0, len(text)
    while i < n:
        ch = text[i]
        if text.startswith('//', i):
            end = text.find('\n', i)
            end = n if end < 0 else end
            out.append(text[i:end]); i = end
        elif text.startswith('/*', i):
            end = text.find('*/', i + 2)
            end = n if end < 0 else end + 2
            out.append(text[i:end]); i = end
        elif ch in '"\'':
            # A digit separator (1'000) is not a character literal.
            if ch == "'" and i > 0 and text[i - 1].isalnum():
                out.append(ch); i += 1
                continue
            out.append(ch); i += 1
            while i < n and text[i] != ch:
                if text[i] == '\\' and i + 1 < n:
                    out.append(text[i:i + 2]); i += 2
                    continue
                out.append(escape_literal_char(text[i], ch)); i += 1
            if i < n:
                out.append(ch); i += 1
        else:
            out.append(ch); i += 1
    return ''.join(out)


def main() -> int:
    output = Path(sys.argv[1])
    for source_dir in map(Path, sys.argv[2:]):
        for path in source_dir.rglob('*'):
            if path.suffix not in ('.h', '.cpp', '.inc') or not path.is_file():
                continue
            target = output / source_dir.name / path.relative_to(source_dir)
            converted = convert(path.read_text(encoding='utf-8'))
            target.parent.mkdir(parents=True, exist_ok=True)
            if not target.exists() or target.read_text(encoding='utf-8') != converted:
                target.write_text(converted, encoding='utf-8')
    return 0


if __name__ == '__main__':
    sys.exit(main())

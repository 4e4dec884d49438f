#!/usr/bin/env python3
"""Editing as a user meets it on real keys: typing, moving, selecting with Shift and the
arrows, copying GBK text out, Chinese punctuation from the Alt keys, pasting text put on
the clipboard, Shift+Insert turning tabs into commas, undo and redo; each checked on the
clipboard and in the saved file."""

import unittest

from kesh_e2e import Kesh, run_scenarios, wait_for


def gbk(text):
    return text.encode('gbk')


def copied(k, *keys):
    """Presses keys that select something, copies it with Ctrl+C and returns the text."""
    sentinel = '<before copy>'
    k.set_clipboard(sentinel)
    k.key(*keys, 'ctrl+c')
    return wait_for('the copied text', lambda: (lambda t: t if t not in (None, sentinel) else None)(k.clipboard()), 10)


class Editing(unittest.TestCase):
    def test_typing_moving_selecting_copying_and_alt_punctuation(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'hello world\r\n' + gbk('中文字')}, name='editing-typing') as k:
            title = f'{k.winpath("a.txt")} - Kesh'
            k.wait_title(title)
            k.key('ctrl+Home')
            k.type('Say: ')
            k.wait_title(' * ' + title)
            # The selection's end is included: two steps right from the line start select three.
            self.assertEqual(copied(k, 'Home', 'shift+Right', 'shift+Right'), 'Say')
            # Down keeps the byte column; one step right from column 0 covers a whole character.
            self.assertEqual(copied(k, 'Down', 'Home', 'shift+Right'), '中文')
            k.key('End', 'alt+i', 'alt+k', 'Return', 'BackSpace')
            k.key('ctrl+s')
            k.wait_title(title)
            self.assertEqual(k.read('a.txt'), b'Say: hello world\r\n' + gbk('中文字、。') + b'\r\n')
            self.assertEqual(k.close(), 0)

    def test_paste_undo_redo_and_tabs_as_commas(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'xy'}, name='editing-paste-undo') as k:
            title = f'{k.winpath("a.txt")} - Kesh'
            k.wait_title(title)
            k.key('ctrl+Home', 'Right')
            k.set_clipboard('a\n粘贴\n')
            k.key('ctrl+v')
            self.assertEqual(k.copy_all(), 'xa\n粘贴\ny\n')
            k.key('ctrl+z')
            self.assertEqual(k.copy_all(), 'xy\n')
            k.key('ctrl+y')
            self.assertEqual(k.copy_all(), 'xa\n粘贴\ny\n')
            k.key('ctrl+End')
            k.set_clipboard('1\t2')
            k.key('shift+Insert')
            k.type('Q')
            k.key('ctrl+z')  # takes back the Q only
            k.key('ctrl+s')
            k.wait_title(title)
            self.assertEqual(k.read('a.txt'), b'xa\r\n' + gbk('粘贴') + b'\r\ny1,2\r\n')
            self.assertEqual(k.close(), 0)


if __name__ == '__main__':
    run_scenarios()

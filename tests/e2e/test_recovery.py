#!/usr/bin/env python3
"""Unsaved work survives a kill: the recovery copy written after a pause, and the
question at the next start (Yes restores the text, No deletes the copy)."""

import contextlib
import time
import unittest
from pathlib import Path

from kesh_e2e import Kesh, run_scenarios, session, wait_for

ORIGINAL = 'first line\r\n第二行\r\n'.encode('gbk')
CAPTION = '恢复未保存的修改'


def copies_for(winpath):
    folder = Path(session().prefix) / 'drive_c' / 'users'
    needle = f'\npath={winpath}\n'.encode('gbk')
    return [p for p in folder.glob('*/AppData/Local/Kesh/Recovery/*.kesh-recovery') if needle in p.read_bytes()]


class Recovery(unittest.TestCase):
    def type_and_kill(self, first):
        first.key('ctrl+End')
        first.type('typed text')
        first.wait_title(f' * {first.winpath("a.txt")} - Kesh')
        time.sleep(3)
        self.assertEqual(len(copies_for(first.winpath('a.txt'))), 1, 'one recovery copy after the pause')
        session().kill_server()
        first.wait_exit(30)
        self.assertEqual(first.read('a.txt'), ORIGINAL, 'the user\'s file is written only by Save')

    def answer(self, second, key):
        box, text = second.wait_message_box(CAPTION)
        self.assertIn(second.args[0], text)
        time.sleep(0.5)
        second.key(key, window=box)
        second.wait_window_gone(CAPTION)
        time.sleep(1)

    @contextlib.contextmanager
    def started_again_after_kill(self, name):
        """Types into a.txt, kills Wine, and starts kesh.exe again on the same file."""
        with Kesh(args=['a.txt'], files={'a.txt': ORIGINAL}, name=f'{name}-first') as first:
            path = first.winpath('a.txt')
            self.type_and_kill(first)
            with Kesh(args=[path], name=f'{name}-second') as second:
                yield first, second, path

    def test_yes_restores_the_typed_text_and_save_writes_it(self):
        with self.started_again_after_kill('recovery-yes') as (first, second, path):
            self.answer(second, 'y')
            second.wait_title(f' * {path} - Kesh')
            second.key('ctrl+s')
            wait_for('the save', lambda: first.read('a.txt') != ORIGINAL, 10)
            self.assertEqual(first.read('a.txt'), ORIGINAL + b'typed text\r\n')
            second.wait_title(f'{path} - Kesh')
            self.assertEqual(copies_for(path), [], 'Save removes the copy')
            second.close()

    def test_no_deletes_the_copy_and_opens_the_file_as_it_is(self):
        with self.started_again_after_kill('recovery-no') as (first, second, path):
            self.answer(second, 'n')
            second.wait_title(f'{path} - Kesh')
            self.assertEqual(copies_for(path), [])
            self.assertEqual(second.copy_all().rstrip('\n'), 'first line\n第二行')
            second.close()
            self.assertEqual(first.read('a.txt'), ORIGINAL)


if __name__ == '__main__':
    run_scenarios()

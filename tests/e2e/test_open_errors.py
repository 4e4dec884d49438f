#!/usr/bin/env python3
"""A file that cannot be opened: the error box, and what is left after OK."""

import unittest

from kesh_e2e import Kesh, run_scenarios

ERROR_CAPTION = '出错消息'
MENU_HEIGHT = 20
SCROLL_BAR = 17


class OpenErrors(unittest.TestCase):
    def check_cannot_open(self, k, name):
        """The error box names the file; after OK no document is shown and the caption keeps the name."""
        box, text = k.wait_message_box(ERROR_CAPTION)
        self.assertEqual(text, f'不能打开文件 "{name}".')
        k.key('Return', window=box)
        k.wait_window_gone(ERROR_CAPTION)
        self.assertTrue(k.alive(), 'kesh.exe ended after the error box')
        # The caption is set once the box has returned, a moment after the box goes.
        k.wait_title(f'{name} - Kesh')
        self.assertEqual([title for _, title in k.windows()], [f'{name} - Kesh'])

        def empty(shot):  # no rows, no line numbers: only the black background
            client = shot.crop(0, MENU_HEIGHT, shot.width - SCROLL_BAR, shot.height - MENU_HEIGHT)
            return client.count(lambda p: max(p) > 40) == 0
        k.wait_picture('an empty client area (no document)', empty)

    def test_missing_file(self):
        with Kesh(args=['missing.txt'], name='open-missing') as k:
            self.check_cannot_open(k, k.winpath('missing.txt'))

    def test_two_names_are_one_name(self):
        # The whole command line names one file: "a.txt b.txt" does not exist even though
        # each of the two does.
        with Kesh(args=['a.txt', 'b.txt'], files={'a.txt': b'a\r\n', 'b.txt': b'b\r\n'},
                  name='open-two-names') as k:
            self.check_cannot_open(k, k.winpath('a.txt b.txt'))

    def test_directory_is_not_a_document(self):
        # Reading a directory fails; it must be reported, not shown as an empty document.
        with Kesh(args=['folder'], files={'folder/inside.txt': b'x\r\n'}, name='open-directory') as k:
            self.check_cannot_open(k, k.winpath('folder'))


if __name__ == '__main__':
    run_scenarios()

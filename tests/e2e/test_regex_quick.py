#!/usr/bin/env python3
"""Regular expressions "/expr/g" in the Find and Replace dialogs, the quick digit search
with Ctrl+9 and the bracket pair selection with F8, with real keys."""

import time
import unittest

from kesh_e2e import Kesh, run_scenarios, wait_for

REPLACE_ALL_CAPTION = '全部替换结果'


def open_dialog(k, keys):
    """Presses the keys that open a find dialog and returns the dialog's window."""
    main = k.main_window()
    k.key(keys)
    return wait_for('the find dialog', lambda: next(
        (wid for wid, name in k.windows() if wid != main and name), None), 30)


def copied(k):
    k.key('ctrl+c')
    return k.clipboard()


class RegexAndQuickSearches(unittest.TestCase):
    def test_ctrl_9_moves_to_the_next_number(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'ab 12 cd 345 ef\r\n'}, name='quick-digits') as k:
            k.title()
            k.key('ctrl+9')  # from "a": the run "12"
            k.key('ctrl+9')  # from "1": past "12" to "345"
            k.type('X')
            self.assertEqual(k.save_and_read('a.txt'), b'ab 12 cd X345 ef\r\n')

    def test_f8_selects_the_bracketed_text(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'f(a, (b)) + g\r\n'}, name='bracket-pair') as k:
            k.title()
            k.key('F8')
            time.sleep(0.3)
            self.assertEqual(copied(k), '(a, (b))')

    def test_find_a_three_digit_run(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'x 12 y 4567 z\r\n'}, name='regex-find') as k:
            k.title()
            dialog = open_dialog(k, 'ctrl+f')
            k.type('/[0-9]{3}/g', window=dialog)
            k.key('Return', window=dialog)
            wait_for('the Find dialog to close', lambda: all(wid != dialog for wid, _ in k.windows()), 10)
            self.assertEqual(copied(k), '456')

    def test_replace_all_white_space_runs(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'a  b\tc\r\nd e\r\n'}, name='regex-replace-all') as k:
            k.title()
            dialog = open_dialog(k, 'ctrl+h')
            k.type(r'/\s+/g', window=dialog)
            k.key('Tab', window=dialog)
            k.type('_', window=dialog)
            k.key('alt+a', window=dialog)
            box, text = k.wait_message_box(REPLACE_ALL_CAPTION, timeout=20)
            self.assertEqual(text, '查找"/\\s+/g",\n替换为"_",\n共完成3次。')
            k.key('Return', window=box)
            k.key('Escape', window=dialog)
            self.assertEqual(k.save_and_read('a.txt'), b'a_b_c\r\nd_e\r\n')


if __name__ == '__main__':
    run_scenarios()

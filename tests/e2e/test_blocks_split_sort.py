#!/usr/bin/env python3
"""Block commands on real keys: Ctrl+1 breaks a line before "二、", Ctrl+M sorts three
selected lines by the caret column and one Ctrl+Z takes the sort back; each is checked in
the saved file."""

import unittest

from kesh_e2e import Kesh, run_scenarios


def gbk(text):
    return text.encode('gbk')


class BlocksSplitSort(unittest.TestCase):
    def test_ctrl_1_splits_before_the_second_marker(self):
        with Kesh(args=['a.txt'], files={'a.txt': gbk('一、甲二、乙\r\n')}, name='blocks-split') as k:
            title = f'{k.winpath("a.txt")} - Kesh'
            k.wait_title(title)
            k.key('ctrl+1')
            k.wait_title(' * ' + title)
            k.key('ctrl+s')
            k.wait_title(title)
            self.assertEqual(k.read('a.txt'), gbk('一、甲\r\n二、乙\r\n'))
            self.assertEqual(k.close(), 0)

    def test_ctrl_m_sorts_the_selected_lines_by_number(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'9\r\n10\r\n2'}, name='blocks-sort') as k:
            title = f'{k.winpath("a.txt")} - Kesh'
            k.wait_title(title)
            # From the end of the last line up to column 0 of the first: all three selected,
            # the caret in column 0. Line numbers are shown, so the keys compare as numbers.
            k.key('ctrl+End', 'shift+Up', 'shift+Up', 'shift+Home')
            k.key('ctrl+m')
            k.wait_title(' * ' + title)
            k.key('ctrl+s')
            k.wait_title(title)
            self.assertEqual(k.read('a.txt'), b'2\r\n9\r\n10\r\n')
            # One Ctrl+Z takes the whole sort back.
            k.key('ctrl+z')
            k.wait_title(' * ' + title)
            k.key('ctrl+s')
            k.wait_title(title)
            self.assertEqual(k.read('a.txt'), b'9\r\n10\r\n2\r\n')
            self.assertEqual(k.close(), 0)


if __name__ == '__main__':
    run_scenarios()

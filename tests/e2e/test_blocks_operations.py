#!/usr/bin/env python3
"""Block commands on real keys: Ctrl+J pastes the sum of the selected numbers, Ctrl+D
copies a data column to the clipboard, Alt+C scrambles a line and restores it, and the
statistics box of the help menu shows the counts."""

import unittest

from kesh_e2e import Kesh, run_scenarios, wait_for


def gbk(text):
    return text.encode('gbk')


def scrambled(line):
    """The bytes Alt+C makes of one line: a pairwise exchange, then each byte mirrored."""
    data = bytearray(line)
    n, half = len(data), len(data) // 2
    pairs = [(i, n - 1 - i) for i in range(0, half, 2)] if n % 2 == 0 else \
        [(i, half + 1 + i) for i in range(1, half, 2)]
    for i, j in pairs:
        data[i], data[j] = data[j], data[i]
    mirror = {0x9E: 0x9F, 0x9F: 0x9E}
    return bytes(0x19F - b if b >= 0xA0 else mirror.get(b, 0x9E - b) for b in data)


class BlockOperations(unittest.TestCase):
    def test_ctrl_j_pastes_the_sum_and_leaves_it_on_the_clipboard(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'1.5 and 2\r\nx3\r\n'}, name='blocks-sum') as k:
            title = f'{k.winpath("a.txt")} - Kesh'
            k.wait_title(title)
            k.key('ctrl+Home', 'shift+Down', 'shift+Right', 'ctrl+j')
            report = ' 共3个数字, 累加和：6.50 '
            self.assertEqual(wait_for('the sum on the clipboard',
                                      lambda: k.clipboard() if k.clipboard() == report else None, 10), report)
            k.wait_title(' * ' + title)
            k.key('ctrl+s')
            k.wait_title(title)
            self.assertEqual(k.read('a.txt'), b'1.5 and 2\r\nx' + gbk(report) + b'3\r\n')
            self.assertEqual(k.close(), 0)

    def test_ctrl_d_copies_the_carets_column_of_the_selected_lines(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'a\tb\tc\r\nd\te\r\nf'}, name='blocks-column') as k:
            title = f'{k.winpath("a.txt")} - Kesh'
            k.wait_title(title)
            # From the end of the last line up to column 2 of the first: three lines
            # selected, the caret in the first line's second field.
            k.key('ctrl+End', 'shift+Up', 'shift+Up', 'shift+Right')
            k.set_clipboard('<before>')
            k.key('ctrl+d')
            # Wine hands CR LF to X as LF.
            self.assertEqual(wait_for('the column on the clipboard',
                                      lambda: (lambda t: t if t != '<before>' else None)(k.clipboard()), 10),
                             'b\ne\n\n')
            self.assertEqual(k.title(), title)  # the document is not changed
            self.assertEqual(k.close(), 0)

    def test_alt_c_twice_restores_a_line_with_every_kind_of_byte(self):
        line = b'abc' + gbk('中文') + b'\x81\x9e\x81\x9f 9'
        with Kesh(args=['a.txt'], files={'a.txt': line + b'\r\nsecond\r\n'}, name='blocks-scramble') as k:
            title = f'{k.winpath("a.txt")} - Kesh'
            k.wait_title(title)
            k.key('ctrl+Home', 'shift+End', 'alt+c')
            k.wait_title(' * ' + title)
            k.key('ctrl+s')
            k.wait_title(title)
            self.assertEqual(k.read('a.txt'), scrambled(line) + b'\r\nsecond\r\n')
            k.key('alt+c', 'ctrl+s')
            wait_for('the restored file', lambda: k.read('a.txt') == line + b'\r\nsecond\r\n', 10)
            self.assertEqual(k.close(), 0)

    def test_statistics_box_shows_the_counts(self):
        with Kesh(args=['a.txt'], files={'a.txt': gbk('中 1\r\n　ab')}, name='blocks-statistics') as k:
            k.wait_title(f'{k.winpath("a.txt")} - Kesh')
            k.key('alt+h', 'c')
            box, text = k.wait_message_box('统计结果', timeout=20)
            self.assertEqual(text, '行数:\t2,\n字数:\t6,\n中文:\t1,\n半角:\t3,\n英文:\t2,\n数字:\t1,\n空格:\t2。')
            k.key('Return', window=box)
            k.wait_window_gone('统计结果')
            self.assertEqual(k.close(), 0)


if __name__ == '__main__':
    run_scenarios()

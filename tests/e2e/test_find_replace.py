#!/usr/bin/env python3
"""The system Find and Replace dialogs with real keys: find, find again, a missing text,
replace all with captures, and a Chinese find text entered through the clipboard."""

import os
import time
import unittest

from kesh_e2e import Kesh, run_scenarios, wait_for

SEARCH_CAPTION = '搜索'
REPLACE_ALL_CAPTION = '全部替换结果'


def open_dialog(k, keys):
    """Presses the keys that open a find dialog and returns the dialog's window."""
    main = k.main_window()
    k.key(keys)
    return wait_for('the find dialog', lambda: next(
        (wid for wid, name in k.windows() if wid != main and name), None), 30)


def type_into(k, dialog, text):
    """Enters text into the dialog's focused box: ASCII typed, anything else pasted."""
    if all(ord(c) < 127 for c in text):
        k.type(text, window=dialog)
    else:
        k.set_clipboard(text)
        k.key('ctrl+v', window=dialog)


def copied(k):
    k.key('ctrl+c')
    return k.clipboard()


class FindReplace(unittest.TestCase):
    def test_find_selects_the_match_and_find_again_the_next(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'xx abc1 yy abc2\r\n'}, name='find-next') as k:
            k.title()
            dialog = open_dialog(k, 'ctrl+f')
            type_into(k, dialog, r'abc\N')
            k.key('Return', window=dialog)
            wait_for('the Find dialog to close', lambda: all(wid != dialog for wid, _ in k.windows()), 10)
            self.assertEqual(copied(k), 'abc1')
            # Straight after Copy, Find again searches from the match's start and keeps it;
            # straight after a Find again it steps on first and finds the next one.
            k.key('ctrl+r')
            k.key('ctrl+r')
            self.assertEqual(copied(k), 'abc2')

    def test_find_opens_again_after_escape(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'xx abc yy\r\n'}, name='find-after-escape') as k:
            k.title()
            dialog = open_dialog(k, 'ctrl+f')
            k.key('Escape', window=dialog)
            wait_for('the Find dialog to close', lambda: all(wid != dialog for wid, _ in k.windows()), 10)
            dialog = open_dialog(k, 'ctrl+f')
            type_into(k, dialog, 'abc')
            k.key('Return', window=dialog)
            wait_for('the Find dialog to close', lambda: all(wid != dialog for wid, _ in k.windows()), 10)
            self.assertEqual(copied(k), 'abc')

    def test_a_missing_text_is_reported(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'abc\r\n'}, name='find-missing') as k:
            k.title()
            dialog = open_dialog(k, 'ctrl+f')
            type_into(k, dialog, 'qqq')
            k.key('Return', window=dialog)
            box, text = k.wait_message_box(SEARCH_CAPTION, timeout=20)
            self.assertEqual(text, '未找到字串 "qqq"。')
            k.key('Return', window=box)

    def test_a_chinese_find_text_through_the_clipboard(self):
        with Kesh(args=['a.txt'], files={'a.txt': '汉字中文字\r\n'.encode('gbk')}, name='find-chinese') as k:
            k.title()
            dialog = open_dialog(k, 'ctrl+f')
            type_into(k, dialog, '中文')
            k.key('Return', window=dialog)
            time.sleep(0.5)
            self.assertEqual(copied(k), '中文')

    def test_a_text_too_long_for_the_find_box_is_cut_with_a_message(self):
        # 6,000 characters fit the box but take 12,000 GBK bytes: the box keeps the
        # characters that fit the 10,241 bytes of the find text, and says so. The search
        # then selects exactly those.
        long_text = '甲' * 6000
        with Kesh(args=['a.txt'], files={'a.txt': (long_text + '\r\n').encode('gbk')}, name='find-too-long') as k:
            k.title()
            dialog = open_dialog(k, 'ctrl+f')
            k.set_clipboard(long_text)
            k.key('ctrl+v', window=dialog)
            box, text = k.wait_message_box(SEARCH_CAPTION, timeout=20)
            self.assertIn('10241', text)
            k.key('Return', window=box)
            k.wait_window_gone(SEARCH_CAPTION)
            k.key('Return', window=dialog)
            wait_for('the Find dialog to close', lambda: all(wid != dialog for wid, _ in k.windows()), 10)
            self.assertEqual(copied(k), '甲' * 5120)

    def test_replace_all_with_captures(self):
        with Kesh(args=['a.txt'], files={'a.txt': '日期 2024年5月\r\n'.encode('gbk')}, name='replace-all') as k:
            k.title()
            dialog = open_dialog(k, 'ctrl+h')
            type_into(k, dialog, r'\N1年\N2月')
            k.key('Tab', window=dialog)
            type_into(k, dialog, r'\N2/\N1')
            k.key('alt+a', window=dialog)
            box, text = k.wait_message_box(REPLACE_ALL_CAPTION, timeout=20)
            self.assertEqual(text, '查找"\\N1年\\N2月",\n替换为"\\N2/\\N1",\n共完成1次。')
            k.key('Return', window=box)
            k.key('Escape', window=dialog)
            self.assertEqual(k.save_and_read('a.txt'), '日期 5/2024\r\n'.encode('gbk'))

    @unittest.skipUnless(os.environ.get('KESH_E2E_TIMING'), 'timing run: set KESH_E2E_TIMING=1')
    def test_time_replace_all_on_ten_megabytes(self):
        line = '第一章 总则 中华人民共和国 The quick brown fox 12345 人民\r\n'.encode('gbk')
        body = line * (10_000_000 // len(line))
        with Kesh(args=['big.txt'], files={'big.txt': body}, name='replace-all-timing') as k:
            k.title()
            dialog = open_dialog(k, 'ctrl+h')
            type_into(k, dialog, '人民')
            k.key('Tab', window=dialog)
            type_into(k, dialog, '公民')
            started = time.monotonic()
            k.key('alt+a', window=dialog)
            box, text = k.wait_message_box(REPLACE_ALL_CAPTION, timeout=600)
            elapsed = time.monotonic() - started
            print(f'\nReplace All of {body.count("人民".encode("gbk"))} matches in {len(body)} bytes: '
                  f'{elapsed:.2f} s from the key press to the result box', flush=True)
            self.assertIn(f'共完成{body.count("人民".encode("gbk"))}次。', text)
            k.key('Return', window=box)


if __name__ == '__main__':
    run_scenarios()

#!/usr/bin/env python3
"""One Ctrl+Z undoes a whole command: a Replace All of 10,000 matches is taken back by a
single undo, and Save then writes the file as it was loaded (the sort's undo is in
test_blocks_split_sort)."""

import time
import unittest

from kesh_e2e import Kesh, log, run_scenarios, wait_for

REPLACE_ALL_CAPTION = '全部替换结果'


def gbk(text):
    return text.encode('gbk')


class UndoCommands(unittest.TestCase):
    def test_one_undo_takes_back_a_replace_all_of_ten_thousand_matches(self):
        original = gbk(''.join(f'第{n}行 测试 数据\r\n' for n in range(10_000)))
        with Kesh(args=['a.txt'], files={'a.txt': original}, name='undo-replace-all') as k:
            title = f'{k.winpath("a.txt")} - Kesh'
            k.wait_title(title)
            main = k.main_window()
            k.key('ctrl+h')
            dialog = wait_for('the Replace dialog', lambda: next(
                (wid for wid, name in k.windows() if wid != main and name), None), 30)
            k.set_clipboard('测试')
            k.key('ctrl+v', window=dialog)
            k.key('Tab', window=dialog)
            k.set_clipboard('检验')
            k.key('ctrl+v', window=dialog)
            log('replace all pressed')
            k.key('alt+a', window=dialog)
            box, text = k.wait_message_box(REPLACE_ALL_CAPTION, timeout=120)
            log('replace all done')
            self.assertIn('共完成10000次。', text)
            k.key('Return', window=box)
            k.wait_window_gone(REPLACE_ALL_CAPTION)
            k.key('Escape', window=dialog)
            wait_for('the Replace dialog to close', lambda: all(wid != dialog for wid, _ in k.windows()), 10)
            time.sleep(1)
            k.click(300, 300)  # the keys go to the main window
            k.key('ctrl+z')
            log('undo pressed')
            time.sleep(1)
            k.key('ctrl+s')
            k.wait_title(title, timeout=120)
            log('saved')
            self.assertEqual(k.read('a.txt'), original)
            self.assertEqual(k.close(), 0)


if __name__ == '__main__':
    run_scenarios()

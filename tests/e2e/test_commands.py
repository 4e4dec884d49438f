#!/usr/bin/env python3
"""Commands as a user meets them: F9 and Shift+F9 on real keys, and the context menu
with and without a document, its items chosen with the keyboard."""

import time
import unittest

from kesh_e2e import Kesh, run_scenarios, wait_for

NO_FILE = '(无文件) - Kesh'


def open_context_menu(k, x=200, y=150):
    """Right-clicks in the main window; returns the pop-up menu's (x, y, width, height)."""
    before = {wid for wid, _ in k.windows()}
    k.click(x, y, button=3)
    popup = wait_for('the context menu',
                     lambda: next((wid for wid, name in k.windows() if name == '' and wid not in before), None), 10)
    return k.geometry(popup)


class Commands(unittest.TestCase):
    def test_f9_removes_the_caret_line_and_shift_f9_puts_it_back_twice(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'one\r\ntwo\r\nthree'}, name='commands-f9') as k:
            title = f'{k.winpath("a.txt")} - Kesh'
            k.wait_title(title)
            k.key('F9')
            k.wait_title(' * ' + title)
            k.key('shift+F9', 'shift+F9', 'ctrl+s')
            k.wait_title(title)
            self.assertEqual(k.read('a.txt'), b'two\r\none\r\none\r\nthree\r\n')
            self.assertEqual(k.close(), 0)

    def test_context_menu_without_and_with_a_document(self):
        with Kesh(files={'a.txt': b'x'}, name='commands-context-menu') as k:
            k.wait_title(NO_FILE)
            wx, wy, _, _ = k.geometry()
            x, y, _, small = open_context_menu(k)
            self.assertEqual((x, y), (wx + 200 - 4, wy + 150))  # shown 4 pixels left of the pointer
            k.key('Down', 'Return')  # the first of 新建文件, 打开文件, 退出
            k.wait_title(lambda t: t.startswith(k.winpath('Kesh')) and t.endswith('.txt - Kesh'))
            self.assertEqual(k.close(), 0)

        with Kesh(args=['a.txt'], files={'a.txt': b'x'}, name='commands-context-menu-document') as k:
            title = f'{k.winpath("a.txt")} - Kesh'
            k.wait_title(title)
            _, _, _, tall = open_context_menu(k)
            # 粘贴, 全选, a separator, 查找, 保存, 做题 against three items.
            self.assertGreater(tall, small * 5 // 3)
            k.key('Down', 'Down', 'Down', 'Down', 'Return')  # the fourth item: 保存
            wait_for('the save', lambda: k.read('a.txt') == b'x\r\n', 10)
            time.sleep(0.5)
            self.assertEqual(k.title(), title)
            self.assertEqual(k.close(), 0)


if __name__ == '__main__':
    run_scenarios()

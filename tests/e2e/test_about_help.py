#!/usr/bin/env python3
"""The About box and the help box open from their menu items and keys, with or without a
document, and close again."""

import unittest

from kesh_e2e import Kesh, dark, run_scenarios

ABOUT_TITLE = '关于 Kesh'
HELP_CAPTION = '查找替换等操作说明'


class AboutBox(unittest.TestCase):
    def test_alt_slash_opens_about_and_enter_closes_it(self):
        with Kesh(name='about-enter') as k:
            k.title()
            k.key('alt+slash')
            about = k.wait_window(ABOUT_TITLE, timeout=20)
            shot = k.screenshot('-about', window=about)
            self.assertGreater(shot.count(dark), 200, f'no text drawn in the About box: {shot.path}')
            k.key('Return', window=about)
            k.wait_window_gone(ABOUT_TITLE)
            self.assertTrue(k.alive())

    def test_menu_opens_about_with_a_document_and_escape_closes_it(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'abc\r\n'}, name='about-menu') as k:
            k.title()
            k.key('alt+h', 'a')
            about = k.wait_window(ABOUT_TITLE, timeout=20)
            k.key('Escape', window=about)
            k.wait_window_gone(ABOUT_TITLE)


class HelpBox(unittest.TestCase):
    def check_help(self, k, menu_keys):
        k.key(*menu_keys)
        box, text = k.wait_message_box(HELP_CAPTION, timeout=20)
        self.assertIsNotNone(text)
        self.assertTrue(text.startswith('█ 查找【正则表达式】格式为 /表达式/g\t'), text[:40])
        # Wine's trace shortens long texts; the box's height shows all 28 lines are there.
        self.assertIn('\n【单字符】.任意  \\d数字', text)
        self.assertNotIn('\r', text)
        _, _, _, height = k.geometry(box)
        self.assertGreater(height, 28 * 12, 'the help box is too short for 28 lines')
        k.key('Return', window=box)
        k.wait_window_gone(HELP_CAPTION)

    def test_help_menu_item_without_a_document(self):
        with Kesh(name='help-no-document') as k:
            k.title()
            self.check_help(k, ('alt+h', 't'))

    def test_both_menu_items_with_a_document(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'abc\r\n'}, name='help-document') as k:
            k.title()
            self.check_help(k, ('alt+h', 't'))
            self.check_help(k, ('alt+e', 't'))


if __name__ == '__main__':
    run_scenarios()

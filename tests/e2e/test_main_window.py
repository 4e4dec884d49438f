#!/usr/bin/env python3
"""The main window draws its menu and the document, and Alt+F4 ends the program cleanly."""

import unittest

from kesh_e2e import Kesh, dark, light, run_scenarios

# Wine draws no caption here (it leaves that to a window manager, and there is none): the
# X window starts with the 20-pixel menu bar, then the client area. The scroll bar takes
# the right 17 pixels; the line numbers sit just left of it.
MENU_HEIGHT = 20
SCROLL_BAR = 17
GUTTER = 45


def lit(p):
    return max(p) > 40  # the editor's background is black


class MainWindow(unittest.TestCase):
    def test_menu_bar_is_drawn(self):
        with Kesh(args=['sample.txt'], files={'sample.txt': '一、总则\r\n'.encode('gbk')}, name='menu-bar') as k:
            k.title()
            shot = k.screenshot()
            strip = shot.crop(0, 0, shot.width, MENU_HEIGHT - 2)
            area = strip.width * strip.height
            self.assertGreater(strip.count(light), area // 2, f'menu strip mostly not light: {shot.path}')
            self.assertGreater(strip.count(dark), 40, f'no menu titles in the strip: {shot.path}')
            # The titles sit at the left: the right end of the strip is plain.
            right = strip.crop(strip.width - 100, 0, 100, strip.height)
            self.assertEqual(right.count(dark), 0, f'unexpected ink at the right of the menu: {shot.path}')

    def test_document_rows_and_line_numbers_are_drawn(self):
        text = '一、总则\r\n（一）适用范围\r\n1. abc\r\n'
        with Kesh(args=['a.txt'], files={'a.txt': text.encode('gbk')}, name='document-drawn') as k:
            k.title()

            def drawn(shot):
                body = shot.crop(0, MENU_HEIGHT, shot.width - SCROLL_BAR - GUTTER, shot.height - MENU_HEIGHT)
                gutter = shot.crop(shot.width - SCROLL_BAR - GUTTER, MENU_HEIGHT, GUTTER, shot.height - MENU_HEIGHT)
                return body.count(lit) > 200 and gutter.count(lit) > 20
            k.wait_picture('document text and line numbers on the screen', drawn)

    def test_alt_f4_exits_with_code_zero(self):
        with Kesh(name='alt-f4') as k:
            k.title()
            self.assertEqual(k.close(), 0)
            self.assertEqual(k.windows(), [])


if __name__ == '__main__':
    run_scenarios()

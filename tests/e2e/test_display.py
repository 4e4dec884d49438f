#!/usr/bin/env python3
"""What the editing window shows: coloured C tokens, the line-number gutter, word wrap,
a mouse click that places the caret, and repainting after the window changes size.

Pixels are checked by colour in each 24-pixel row of the client area, and by the order
of colours within a row, so that the checks hold whatever font Wine picks."""

import time
import unittest

from kesh_e2e import Kesh, run_scenarios

ROW = 24
GUTTER_GREEN = (0x00, 0x85, 0x00)
PALETTE = {
    'keyword12': (0xFF, 0x00, 0x00), 'keyword13': (0xFF, 0x00, 0xFF), 'keyword5': (0x97, 0x3B, 0x00),
    'keyword9': (0xFF, 0x73, 0x73), 'keyword14': (0xFF, 0xFF, 0x00), 'operator': (0x00, 0xFF, 0xFF),
    'comment': (0x00, 0xFF, 0x00), 'digit': (0xFF, 0xFF, 0xFF), 'plain': (0xDD, 0xDD, 0xDD),
}
C_SOURCE = b'#include <stdio.h>\r\nint main(void) {\r\n    /* note */\r\n    return 0;\r\n}\r\n'


def near(colour, tolerance=24):
    return lambda p: all(abs(a - b) <= tolerance for a, b in zip(p, colour))


def client_top(shot):
    """First row of the client area: the first black row under the light menu bar."""
    for y in range(shot.height):
        if shot.pixel(2, y) == (0, 0, 0) and any(min(shot.pixel(2, v)) > 200 for v in range(y)):
            return y
    raise AssertionError(f'no client area in {shot.path}')


class Rows:
    """The client area of a screenshot cut into text rows."""

    def __init__(self, shot):
        self.shot = shot
        self.top = client_top(shot)

    def row(self, r, x=0, width=None):
        width = self.shot.width - x if width is None else width
        return self.shot.crop(x, self.top + r * ROW, width, ROW)

    def first_x(self, r, colour, start=0):
        """Leftmost x (from `start` on) in row r of a pixel of this colour, or None."""
        band = self.row(r)
        test = near(colour)
        for x in range(start, band.width):
            if any(test(band.pixel(x, y)) for y in range(band.height)):
                return x
        return None

    def gutter(self, r):
        """Pixels of line-number green in the right 166 pixels of row r (an edge of a
        green comment can have the same colour, so only the gutter's strip counts)."""
        return self.row(r, self.shot.width - 166).count(near(GUTTER_GREEN, 8))

    def has(self, r, colour, minimum=3):
        """True when the text area of row r (left of the gutter and the scroll bar) holds
        at least `minimum` pixels of this colour."""
        return self.row(r, 0, self.shot.width - 200).count(near(colour)) >= minimum

    def ink_runs(self, r, limit=300):
        """[(first x, last x)] of the lit column runs at the left of row r."""
        band = self.row(r, 0, limit)
        runs, start = [], None
        for x in range(band.width):
            lit = any(min(band.pixel(x, y)) > 120 for y in range(band.height))
            if lit and start is None:
                start = x
            if not lit and start is not None:
                runs.append((start, x - 1))
                start = None
        return runs




class Display(unittest.TestCase):
    def test_c_tokens_are_coloured_and_numbered_in_their_rows(self):
        with Kesh(args=['a.c'], files={'a.c': C_SOURCE}, name='display-colours') as k:
            k.title()
            shot = k.screenshot()
            rows = Rows(shot)
            p = PALETTE
            self.assertTrue(rows.has(0, p['keyword12']) and rows.has(0, p['operator']), shot.path)
            self.assertLess(rows.first_x(0, p['keyword12']), rows.first_x(0, p['operator']))  # #include <
            order = [rows.first_x(1, p[c]) for c in ('keyword9', 'keyword5', 'keyword12', 'keyword13')]
            self.assertEqual(order, sorted(order), f'int, main, ( and {{ out of order in {shot.path}: {order}')
            self.assertTrue(rows.has(2, p['comment'], 30) and not rows.has(2, p['keyword14']), shot.path)
            self.assertTrue(rows.has(3, p['keyword14']) and rows.has(3, p['digit']), shot.path)
            self.assertLess(rows.first_x(3, p['keyword14']), rows.first_x(3, p['digit']))  # return 0
            self.assertTrue(rows.has(4, p['keyword13']) and not rows.has(4, p['comment']), shot.path)
            # Six lines (the file ends with a line break): a number at the right of each row.
            for r in range(6):
                self.assertGreater(rows.gutter(r), 10, f'no line number in row {r}: {shot.path}')
            self.assertEqual(rows.gutter(6), 0, shot.path)

    def test_f1_hides_and_shows_the_line_numbers(self):
        with Kesh(args=['a.c'], files={'a.c': C_SOURCE}, name='display-gutter') as k:
            k.title()
            self.assertGreater(Rows(k.screenshot('-shown')).gutter(0), 10)
            k.key('F1')
            shot = k.screenshot('-hidden')
            rows = Rows(shot)
            self.assertEqual([rows.gutter(r) for r in range(6)], [0] * 6, shot.path)
            self.assertTrue(rows.has(0, PALETTE['keyword12']), shot.path)  # the text stays
            k.key('F1')
            self.assertGreater(Rows(k.screenshot('-again')).gutter(0), 10)

    def test_ctrl_w_wraps_a_long_line_onto_several_rows(self):
        text = b' '.join(b'int word%d' % i for i in range(50))
        with Kesh(args=['long.txt'], files={'long.txt': text}, name='display-wrap') as k:
            k.title()
            shot = k.screenshot('-off')
            rows = Rows(shot)
            self.assertTrue(rows.has(0, PALETTE['keyword9']), shot.path)  # int is a keyword
            self.assertFalse(any(rows.has(r, PALETTE['plain'], 20) for r in range(1, 8)), shot.path)
            k.key('ctrl+w')
            shot = k.screenshot('-on')
            rows = Rows(shot)
            wrapped = [r for r in range(8) if rows.has(r, PALETTE['plain'], 20)]
            self.assertGreaterEqual(len(wrapped), 3, f'rows with text {wrapped} in {shot.path}')
            self.assertEqual(wrapped, list(range(len(wrapped))), shot.path)
            self.assertFalse(rows.has(0, PALETTE['keyword9']), f'colouring stays on under word wrap: {shot.path}')
            self.assertEqual(k.save_and_read('long.txt'), text + b'\r\n')  # soft breaks are not written

    def test_a_click_places_the_caret_where_typing_goes(self):
        text = '中中\r\nabc\r\n'.encode('gbk')
        with Kesh(args=['a.txt'], files={'a.txt': text}, name='display-click') as k:
            k.title()
            rows = Rows(k.screenshot('-before'))
            glyphs = [run for run in rows.ink_runs(0) if run[1] - run[0] >= 6]
            self.assertEqual(len(glyphs), 2, f'two glyphs expected in row 0: {glyphs}')
            top = rows.top
            k.click(glyphs[1][0] + 2, top + 12)  # the left half of the second 中
            k.type('X')
            k.click(400, top + ROW + 12)  # right of the end of abc
            k.type('Y')
            k.click(40, top + 10 * ROW)  # below the last line
            k.type('Z')
            self.assertEqual(k.save_and_read('a.txt'), '中X中\r\nabcY\r\nZ\r\n'.encode('gbk'))

    def test_the_window_repaints_after_a_resize_and_after_being_hidden(self):
        with Kesh(args=['a.c'], files={'a.c': C_SOURCE}, name='display-repaint') as k:
            wid = k.main_window()
            k.title()
            _, _, width, height = k.geometry()
            subprocess_x('xdotool', 'windowsize', str(wid), str(width - 200), str(height - 100))
            time.sleep(1.5)
            shot = k.screenshot('-smaller')
            rows = Rows(shot)
            x = rows.first_x(0, GUTTER_GREEN, shot.width - 400)
            self.assertIsNotNone(x, shot.path)
            self.assertLess(x, width - 200, f'the gutter did not follow the right edge: {shot.path}')
            self.assertTrue(rows.has(0, PALETTE['keyword12']), shot.path)
            subprocess_x('xdotool', 'windowunmap', '--sync', str(wid))
            time.sleep(0.5)
            subprocess_x('xdotool', 'windowmap', '--sync', str(wid))
            time.sleep(1.5)
            shot = k.screenshot('-shown-again')
            rows = Rows(shot)
            self.assertTrue(rows.has(0, PALETTE['keyword12']) and rows.has(2, PALETTE['comment'], 30), shot.path)
            self.assertGreater(rows.gutter(5), 10, shot.path)


def subprocess_x(*command):
    from kesh_e2e import _x
    _x(*command)


if __name__ == '__main__':
    run_scenarios()

#!/usr/bin/env python3
"""F7 records real keys, F6 plays them back; the banner shows only while recording."""

import unittest

from kesh_e2e import Kesh, run_scenarios


def is_banner_red(p):
    return p[0] > 200 and p[1] < 60 and p[2] < 60




class Recorder(unittest.TestCase):
    def test_typing_enter_and_caret_moves_are_replayed(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'z'}, name='recorder-replay') as k:
            k.title()
            k.key('F7')
            k.type('ab')
            k.key('Return')
            k.type('cd')
            k.key('Left')
            k.type('X')
            k.key('End')
            k.key('F7')
            self.assertEqual(k.save_and_read('a.txt'), b'ab\r\ncXdz\r\n')
            k.key('F6')
            self.assertEqual(k.save_and_read('a.txt'), b'ab\r\ncXdzab\r\ncXd\r\n')

    def test_banner_is_shown_while_recording(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'abc\r\n'}, name='recorder-banner') as k:
            k.title()
            corner = lambda shot: shot.crop(shot.width - 320, 0, 320, 160)
            self.assertEqual(corner(k.screenshot('-before')).count(is_banner_red), 0)
            k.key('F7')
            shot = k.screenshot('-recording')
            self.assertGreater(corner(shot).count(is_banner_red), 300, f'no banner in {shot.path}')
            k.key('F7')
            shot = k.screenshot('-stopped')
            self.assertEqual(corner(shot).count(is_banner_red), 0, f'banner left behind in {shot.path}')


if __name__ == '__main__':
    run_scenarios()

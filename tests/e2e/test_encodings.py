#!/usr/bin/env python3
"""Files in UTF-8 and UTF-16 open with readable Chinese and their encoding in the caption,
take typed text, and Save writes them back in their own encoding; a character GBK lacks
(an emoji) is shown as a marked placeholder, copied as itself, and kept by edits and saves
elsewhere."""

import unittest

from kesh_e2e import Kesh, run_scenarios

TEXT = '第一行：中文与English混排\r\n第二行，繁體字們學習\r\n'


class UnicodeFiles(unittest.TestCase):
    def edit_and_save(self, encoding, mark, tag, name):
        data = mark + TEXT.encode(encoding)
        with Kesh(args=['u.txt'], files={'u.txt': data}, name=name) as k:
            title = f'{k.winpath("u.txt")} [{tag}] - Kesh'
            k.wait_title(title)
            self.assertEqual(k.message_boxes(), [])
            self.assertEqual(k.copy_all(), TEXT.replace('\r\n', '\n') + '\n')
            k.key('ctrl+Home')
            k.type('X')
            k.wait_title(' * ' + title)
            self.assertEqual(k.save_and_read('u.txt'), mark + ('X' + TEXT).encode(encoding))
            k.wait_title(title)
            self.assertEqual(k.close(), 0)

    def test_utf8_opens_takes_a_letter_and_saves_as_utf8(self):
        self.edit_and_save('utf-8', b'', 'UTF-8', 'encoding-utf8')

    def test_utf16le_opens_takes_a_letter_and_saves_as_utf16le(self):
        self.edit_and_save('utf-16-le', b'\xff\xfe', 'UTF-16 LE', 'encoding-utf16le')

    def test_an_emoji_survives_edits_and_saves_around_it(self):
        text = '表情\U0001F600在此\r\n第二行\r\n'
        with Kesh(args=['e.txt'], files={'e.txt': text.encode('utf-8')}, name='encoding-emoji') as k:
            title = f'{k.winpath("e.txt")} [UTF-8] - Kesh'
            k.wait_title(title)
            self.assertEqual(k.copy_all(), text.replace('\r\n', '\n') + '\n')
            k.screenshot('-placeholder')
            k.key('ctrl+Home', 'Down')
            k.type('Y')
            k.wait_title(' * ' + title)
            self.assertEqual(k.save_and_read('e.txt'), '表情\U0001F600在此\r\nY第二行\r\n'.encode('utf-8'))
            self.assertEqual(k.close(), 0)


if __name__ == '__main__':
    run_scenarios()

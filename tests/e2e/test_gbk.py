#!/usr/bin/env python3
"""Every GBK character stays whole: a file whose name is Chinese opens, is edited and is
saved; characters whose first byte is 0x81-0xA0 (學 們 對 將) or whose second byte is
below 0xA1 (皧 皩) are stepped over and deleted whole, and Save writes exactly the bytes
that are left."""

import unittest

from kesh_e2e import CHINESE_FILE_NAMES, WINE_LOCALE, Kesh, run_scenarios


def gbk(text):
    return text.encode('gbk')


class WholeCharacters(unittest.TestCase):
    @unittest.skipUnless(CHINESE_FILE_NAMES, f'Wine runs under {WINE_LOCALE}: run scripts/setup.sh')
    def test_a_file_with_a_chinese_name_opens_edits_and_saves(self):
        name = '文档.txt'
        with Kesh(args=[name], files={name: gbk('中文\r\n')}, name='gbk-chinese-name') as k:
            title = f'{k.winpath(name)} - Kesh'
            k.wait_title(title)
            self.assertEqual(k.message_boxes(), [])  # no "不能打开文件"
            k.key('ctrl+End', 'BackSpace')  # joins the empty last line onto 中文
            k.type('ok')
            k.wait_title(' * ' + title)
            self.assertEqual(k.save_and_read(name), gbk('中文ok') + b'\r\n')
            k.wait_title(title)
            self.assertEqual(sorted(p.name for p in k.path().iterdir()), [name])
            self.assertEqual(k.close(), 0)

    def test_caret_steps_and_backspace_delete_whole_characters(self):
        line = '學生們、皧皩、對將'
        with Kesh(args=['a.txt'], files={'a.txt': gbk(line) + b'\r\nend'}, name='gbk-whole-characters') as k:
            title = f'{k.winpath("a.txt")} - Kesh'
            k.wait_title(title)
            self.assertEqual(k.copy_all(), line + '\nend\n')  # loaded as two lines, bytes intact
            # Right steps over one character at a time: three steps stand after 們.
            k.key('ctrl+Home', 'Right', 'Right', 'Right', 'BackSpace')
            k.key('Right', 'Right', 'BackSpace')      # over 、 and 皧, which goes
            k.key('End', 'BackSpace', 'BackSpace')    # 將 and 對
            k.wait_title(' * ' + title)
            self.assertEqual(k.save_and_read('a.txt'), gbk('學生、皩、') + b'\r\nend\r\n')
            # Undo brings each character back whole.
            k.key('ctrl+z', 'ctrl+z', 'ctrl+z', 'ctrl+z')
            self.assertEqual(k.save_and_read('a.txt'), gbk(line) + b'\r\nend\r\n')
            self.assertEqual(k.close(), 0)


if __name__ == '__main__':
    run_scenarios()

#!/usr/bin/env python3
"""Word wrap only shows a paragraph: switching it on does not mark the file modified, and
undoing and redoing the wrap, then switching it off, saves the paragraph byte for byte."""

import unittest

from kesh_e2e import Kesh, run_scenarios

# About forty rows' worth of Chinese prose with its punctuation, as one line of the file.
PARAGRAPH = ('自动换行只是显示段落的一种方式，不会在文件中增加、删除或移动任何字节。'
             '撤销和重做之后，软回车仍然是软回车；保存时整段仍写成一行。' * 12)


class Wrap(unittest.TestCase):
    def test_wrap_undo_redo_and_save_keep_the_paragraph(self):
        text = PARAGRAPH.encode('gbk')
        with Kesh(args=['p.txt'], files={'p.txt': text}, name='wrap-undo-redo') as k:
            title = f'{k.winpath("p.txt")} - Kesh'
            k.wait_title(title)
            k.key('ctrl+w')
            # Copying the whole text waits until the wrap is done; soft returns copy as nothing.
            self.assertEqual(k.copy_all(), PARAGRAPH + '\n')
            self.assertEqual(k.title(), title, 'switching wrap on marked the file modified')
            k.key('ctrl+z', 'ctrl+z', 'ctrl+z')
            k.key('ctrl+y', 'ctrl+y', 'ctrl+y')
            k.key('ctrl+w')
            # The loaded line ends with a hard return, which Save writes as CR LF.
            self.assertEqual(k.save_and_read('p.txt'), text + b'\r\n')
            k.wait_title(title)
            self.assertEqual(k.close(), 0)


if __name__ == '__main__':
    run_scenarios()

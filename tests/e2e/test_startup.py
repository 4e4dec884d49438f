#!/usr/bin/env python3
"""What the command line opens: the caption names it and the text is the file's."""

import unittest

from kesh_e2e import Kesh, run_scenarios

# A word-processor file: its text starts at byte 2560, stored as UTF-16LE.
DOC_HEADER = bytes(2560)
DOC_TEXT = '一、概述\r\nKesh 文本\r\n'.encode('utf-16-le')


class Startup(unittest.TestCase):
    def test_no_file_names_no_file(self):
        with Kesh(name='caption-no-file') as k:
            self.assertEqual(k.title(), '(无文件) - Kesh')

    def test_quoted_path_with_spaces_is_one_file(self):
        # Wine quotes the argument, so WinMain sees "my file.txt" with its quotes.
        with Kesh(args=['my file.txt'], files={'my file.txt': '中文 text\r\n第二行'.encode('gbk')},
                  name='caption-spaces') as k:
            expected = f'{k.winpath("my file.txt")} - Kesh'
            self.assertTrue(expected.startswith('Z:\\'), expected)
            self.assertEqual(k.title(), expected)
            self.assertEqual(k.windows(), [(k.main_window(), expected)], 'no message box expected')
            # GBK on disk, Unicode on the clipboard: the whole file arrived.
            self.assertEqual(k.copy_all().rstrip('\n'), '中文 text\n第二行')

    def test_relative_path_is_made_absolute_from_the_working_directory(self):
        with Kesh(args=['..\\notes\\a.txt'], cwd='work', files={'notes/a.txt': b'abc\r\n', 'work/x': b''},
                  name='caption-relative') as k:
            self.assertEqual(k.title(), f'{k.winpath("notes/a.txt")} - Kesh')

    def test_word_processor_file_is_named_as_text(self):
        # The extracted text must never be saved over the original: its name gains ".txt".
        with Kesh(args=['report.DOC'], files={'report.DOC': DOC_HEADER + DOC_TEXT}, name='caption-doc') as k:
            title = k.title()
            self.assertTrue(title.endswith('.DOC.txt - Kesh'), title)
            self.assertEqual(title, f'{k.winpath("report.DOC")}.txt - Kesh')
            self.assertEqual(k.copy_all().rstrip('\n'), '一、概述\nKesh 文本')


if __name__ == '__main__':
    run_scenarios()

#!/usr/bin/env python3
"""Files as a user meets them: the Open and Save As dialogs, Ctrl+S, New, the web page
export and the save question on Alt+F4, checked by the bytes on disk."""

import html.parser
import unittest

from kesh_e2e import Kesh, run_scenarios

NO_FILE = '(无文件) - Kesh'
QUESTION = '将退出编辑！！ 请确认：'


def choose_in_dialog(k, title, path):
    """Types a path into the file-name box of a common file dialog and presses Enter."""
    dialog = k.wait_window(title)
    k.key('Home', 'shift+End', window=dialog)  # Save As proposes a name: type over it
    k.type(path, window=dialog)
    k.key('Return', window=dialog)
    k.wait_window_gone(title)


class SpanCounter(html.parser.HTMLParser):
    """The classes of the page's spans in order, and its text."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.spans, self.text, self.title = [], [], ''
        self._in_title = False

    def handle_starttag(self, tag, attrs):
        if tag == 'span':
            self.spans.append(dict(attrs).get('class'))
        self._in_title = tag == 'title'

    def handle_endtag(self, tag):
        self._in_title = False

    def handle_data(self, data):
        if self._in_title:
            self.title += data
        else:
            self.text.append(data)


class Files(unittest.TestCase):
    def test_open_dialog_loads_and_cancel_leaves_no_document(self):
        with Kesh(files={'a.txt': b'alpha\r\n'}, name='files-open') as k:
            k.wait_title(NO_FILE)
            k.key('ctrl+o')
            choose_in_dialog(k, '打开文件', k.winpath('a.txt'))
            k.wait_title(f'{k.winpath("a.txt")} - Kesh')
            k.key('ctrl+o')  # the document closes before the dialog opens
            k.key('Escape', window=k.wait_window('打开文件'))
            k.wait_title(NO_FILE)
            self.assertEqual(k.close(), 0)

    def test_typed_text_in_a_new_file_is_saved_byte_for_byte(self):
        with Kesh(name='files-new-save') as k:
            k.key('ctrl+n')
            title = k.wait_title(lambda t: t.startswith(k.winpath('Kesh')) and t.endswith('.txt - Kesh'))
            name = title[len(k.winpath('')):-len(' - Kesh')].lstrip('\\')
            self.assertEqual(k.read(name), b'\x1a')  # on disk at once, before any save
            k.type('ab')
            k.key('Return')
            k.type('c d')
            k.wait_title(' * ' + title)
            k.key('ctrl+s')
            k.wait_title(title)
            self.assertEqual(k.read(name), b'ab\r\nc d\r\n')
            self.assertEqual([p.name for p in k.path().iterdir()], [name])  # no temporary left
            self.assertEqual(k.close(), 0)

    def test_save_as_writes_the_chosen_file_and_names_it(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'one\r\ntwo'}, name='files-save-as') as k:
            k.wait_title(f'{k.winpath("a.txt")} - Kesh')
            k.key('ctrl+shift+s')
            choose_in_dialog(k, '指定另存文件名', k.winpath('copy.txt'))
            k.wait_title(f'{k.winpath("copy.txt")} - Kesh')
            self.assertEqual(k.read('copy.txt'), b'one\r\ntwo\r\n')
            self.assertEqual(k.read('a.txt'), b'one\r\ntwo')
            self.assertEqual(k.close(), 0)

    def test_export_writes_one_span_per_colour_run(self):
        source = 'int a<b; // 注释\r\n  x\r\n'.encode('gbk')
        with Kesh(args=['code.c'], files={'code.c': source}, name='files-export') as k:
            k.wait_title(f'{k.winpath("code.c")} - Kesh')
            k.key('F4')
            choose_in_dialog(k, '指定另存文件名', k.winpath('code.htm'))
            k.wait_title(f'{k.winpath("code.htm")} - Kesh')
            page = k.read('code.htm')
            self.assertTrue(page.endswith(b'</body></html>'))
            self.assertIn(b'<span class="cb">&lt;</span>', page)
            self.assertIn(b' &nbsp;<span class="c7">x</span><br />\r\n', page)
            parser = SpanCounter()
            parser.feed(page.decode('gbk'))
            self.assertEqual(parser.title, k.winpath('code.htm') + '(Kesh导出)')
            self.assertEqual(parser.spans, ['c9', 'c7', 'cb', 'c7', 'ce', 'ca', 'c7'])
            self.assertIn('// 注释', ''.join(parser.text))
            self.assertEqual(k.close(), 0)

    def test_alt_f4_on_a_modified_document_asks_first(self):
        with Kesh(args=['a.txt'], files={'a.txt': b'kept\r\n'}, name='files-question') as k:
            k.wait_title(f'{k.winpath("a.txt")} - Kesh')
            k.type('x')
            k.wait_title(f' * {k.winpath("a.txt")} - Kesh')
            k.key('alt+F4')
            box, text = k.wait_message_box(QUESTION)
            self.assertEqual(text, f'保存修改到 "{k.winpath("a.txt")}"?')
            k.key('Escape', window=box)  # Cancel: nothing happens
            k.wait_window_gone(QUESTION)
            self.assertTrue(k.alive())
            self.assertEqual(k.title(), f' * {k.winpath("a.txt")} - Kesh')
            k.key('alt+F4')
            k.key('n', window=k.wait_window(QUESTION))  # No: closes without saving
            self.assertEqual(k.wait_exit(), 0)
            self.assertEqual(k.read('a.txt'), b'kept\r\n')


if __name__ == '__main__':
    run_scenarios()

#!/usr/bin/env python3
"""The quiz over a document with three questions, driven by real keys and clicks: Ctrl+T
opens "做题", a wrong letter leaves the question, the right one shows the message window
and moves on, U hides the answer, the bank goes to the clipboard, and clearing the three
type boxes closes the quiz with the reminder. The dialog's controls are read with
kesh_quiz_probe.exe, since Wine gives them no X windows of their own."""

import subprocess
import time
import unittest
from pathlib import Path

from kesh_e2e import E2EError, Kesh, kesh_exe, run_scenarios, session, wait_for, _x

QUIZ_TITLE = '做题'
REMINDER_CAPTION = '退出做题'

BANK = ('1.一加一等于几\r\nA.一\r\nB.二\r\nC.三\r\n答案:B\r\n'
        '2.太阳从东方升起\r\n答案:正确\r\n'
        '3.哪些是偶数\r\nA.二\r\nB.三\r\nC.四\r\n答案:AC\r\n').encode('gbk')


def probe_exe():
    return str(Path(kesh_exe()).with_name('kesh_quiz_probe.exe'))


def run_probe(k, *extra, timeout=120):
    """Runs the probe in kesh's working directory; returns its output lines."""
    out = k.path('probe.txt')
    if out.exists():
        out.unlink()
    subprocess.run(['wine', probe_exe(), k.winpath('probe.txt'), *extra], env=session().env,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=timeout, check=False)
    return out.read_bytes().decode('utf-8').splitlines() if out.exists() else []


def controls(k):
    """{id: {'visible', 'ticked', 'rect', 'text'}} of the quiz dialog's controls."""
    found = {}
    for line in run_probe(k):
        if line == 'none':
            return {}
        cid, visible, ticked, rect, text = line.split('\t', 4)
        found[int(cid)] = {'visible': visible == '1', 'ticked': ticked == '1',
                           'rect': tuple(int(v) for v in rect.split(',')), 'text': text}
    return found


def wait_controls(k, what, predicate, timeout=30.0):
    seen = []

    def probe():
        state = controls(k)
        seen.append(state)
        return state if state and predicate(state) else None
    try:
        return wait_for(what, probe, timeout, interval=0.3)
    except E2EError as e:
        raise E2EError(f'{e}; last seen {seen[-1] if seen else None}') from None


def click_control(state, cid):
    left, top, right, bottom = state[cid]['rect']
    _x('xdotool', 'mousemove', str((left + right) // 2), str((top + bottom) // 2))
    _x('xdotool', 'click', '1')
    time.sleep(0.3)


class Quiz(unittest.TestCase):
    def test_answering_hiding_copying_and_closing(self):
        with Kesh(args=['bank.txt'], files={'bank.txt': BANK}, name='quiz') as k:
            k.title()
            k.key('ctrl+t')
            quiz = k.wait_window(QUIZ_TITLE, timeout=30)
            state = wait_controls(k, 'the first question', lambda s: s[1031]['text'] == '1')
            self.assertEqual(state[1005]['text'], '1.一加一等于几')
            self.assertEqual(state[1038]['text'], '答对0次 / 共3道题')
            self.assertEqual(state[1024]['text'], '【单项选择题】')
            self.assertTrue(state[1022]['visible'])

            # A wrong letter ticks its box and stays on the question.
            k.key('a', window=quiz)
            state = wait_controls(k, 'A ticked', lambda s: s[1006]['ticked'])
            self.assertEqual(state[1031]['text'], '1')
            self.assertEqual(state[1038]['text'], '答对0次 / 共3道题')

            # The right letter shows the message window, counts and moves on.
            out = k.path('watch.txt')
            watcher = subprocess.Popen(['wine', probe_exe(), k.winpath('watch.txt'), 'watch', '20000'],
                                       env=session().env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            time.sleep(3)  # the watcher is up and looking
            k.key('b', window=quiz)
            watcher.wait(60)
            self.assertEqual(out.read_text().strip(), 'seen', 'no message window over the quiz')
            state = wait_controls(k, 'the second question', lambda s: s[1031]['text'] == '2')
            self.assertEqual(state[1038]['text'], '答对1次 / 共3道题')
            self.assertEqual(state[1005]['text'], '2.太阳从东方升起')
            self.assertEqual((state[1006]['text'], state[1007]['text']), ('A. 对', 'B. 错'))
            self.assertEqual(state[1022]['text'], '答案:A')  # "正确" was rewritten

            # U hides the answer.
            k.key('u', window=quiz)
            wait_controls(k, 'the answer hidden', lambda s: not s[1022]['visible'])

            # The bank goes to the clipboard.
            k.set_clipboard('before the copy')
            click_control(state, 1040)
            copied = wait_for('the bank on the clipboard',
                              lambda: (lambda t: t if t and t != 'before the copy' else None)(k.clipboard()), 20)
            self.assertTrue(copied.startswith('\n1.一加一等于几\nA.一\n'), repr(copied[:40]))
            self.assertIn('\n2.太阳从东方升起\nA.', copied.replace('答案:A', 'A.'))
            self.assertNotIn('\n\n', copied)
            self.assertTrue(copied.rstrip('\n').endswith('答案:AC'), repr(copied[-20:]))
            time.sleep(2.5)  # the "成功复制到剪贴板." window closes itself

            # Clearing the three type boxes closes the quiz with the reminder.
            for box in (1032, 1033, 1034):
                click_control(state, box)
                if box != 1034:
                    wait_controls(k, f'box {box} cleared', lambda s, b=box: not s[b]['ticked'])
            _, text = k.wait_message_box(REMINDER_CAPTION, timeout=30)
            self.assertTrue(text and text.startswith('请确认在此文本中，存在规范题库'), text)
            self.assertFalse(any(name == QUIZ_TITLE for _, name in k.windows()))
            k.key('Return', window=k.wait_window(REMINDER_CAPTION))
            k.wait_window_gone(REMINDER_CAPTION)
            self.assertTrue(k.alive())

    def test_a_document_without_questions_shows_the_reminder(self):
        # Full-width punctuation that the quiz's conversion would narrow: a document
        # without questions must keep it, and must not turn modified.
        plain = '只是一段文字：甲，乙（注）？\r\n'.encode('gbk')
        with Kesh(args=['plain.txt'], files={'plain.txt': plain}, name='quiz-none') as k:
            title = k.title()
            k.key('ctrl+t')
            box, text = k.wait_message_box(REMINDER_CAPTION, timeout=30)
            self.assertTrue(text and text.startswith('请确认在此文本中'), text)
            self.assertFalse(any(name == QUIZ_TITLE for _, name in k.windows()))
            k.key('Return', window=box)
            k.wait_window_gone(REMINDER_CAPTION)
            self.assertTrue(k.alive())
            self.assertEqual(k.title(), title)  # not modified
            time.sleep(1)
            k.key('ctrl+s')
            time.sleep(1.5)
            self.assertEqual(k.read('plain.txt'), plain)


if __name__ == '__main__':
    run_scenarios()

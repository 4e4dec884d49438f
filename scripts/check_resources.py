#!/usr/bin/env python3
"""Compile res/kesh.rc with MinGW windres and check what ends up in the binary.

This catches the faults that only show once the program runs: menu texts
garbled by a wrong code page or a bad escape, lost spaces, a submenu closed
at the wrong place, a wrong initial check mark, accelerators with the wrong
modifiers, a WAVE resource stored under a type PlaySound will not find, a
sound or icon whose format differs from what the program expects, and a
committed icon or sound that no longer matches its generator script.

Usage: scripts/check_resources.py [path/to/windres]
Exit status 0 when every check passes; the last line reads "N passed, N failed".
"""

import io
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import wave

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, 'res')

RT_ICON, RT_MENU, RT_STRING, RT_ACCELERATOR, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 4, 6, 9, 14, 16, 24
RT_DIALOG = 5
MF_CHECKED, MF_POPUP, MF_END = 0x0008, 0x0010, 0x0080
FVIRTKEY, FSHIFT, FCONTROL, FALT = 0x01, 0x04, 0x08, 0x10
VK_OEM_2 = 0xBF

SEP = None  # a separator item

MENU = [
    ('文件(&F)', [
        (32772, '新建(&N)\tCtrl-N'),
        (32773, '打开(&O) ...\tCtrl-O'),
        (32776, '关闭(&C)'),
        (32774, '保存(&S)\tCtrl-S'),
        (32775, '另存为(&A) ...\tCtrlShift-S'),
        (32867, '导出为网页(&I)\tF4'),
        SEP,
        (105, '退出(&X)\tAlt-F4'),
    ]),
    ('编辑(&E)', [
        (32854, '撤销(&Z)\tCtrl-Z'),
        (32856, '重做(&Y)\tCtrl-Y'),
        SEP,
        (32778, '剪切(&X)\tCtrl-X'),
        (32779, '复制(&C)\tCtrl-C'),
        (32869, '复制数据列(&D)\tCtrl-D'),
        (32780, '粘贴(&V)\tCtrl-V'),
        (32786, '全选(&A)\tCtrl-A'),
        (32820, '选嵌套{[(<>)]}\tF8'),
        SEP,
        (32783, '查找(&F) ...\tCtrl-F'),
        (32784, '再查(&R)\tCtrl-R'),
        (32785, '替换(&H) ...\tCtrl-H'),
        (32836, '查找替换说明(&T) ...'),
        (32833, '查找空格(&K)\tCtrl-0'),
        (32835, '查找字母(&W)\tCtrl-8'),
        (32834, '查找数字(&S)\tCtrl-9'),
        SEP,
        (32850, '设置书签(&M)\tCtrl-回车'),
        (32851, '向上查找书签(&P)\tCtrl-上页'),
        (32852, '向下查找书签(&N)\tCtrl-下页'),
        SEP,
        (32839, '全文全角转半角(&B)'),
        (32864, '块内字母转小写(&I)'),
        (32866, '块内字母转大写(&J)'),
        (32847, '删光标前半行(&Q)\tCtrl-退格'),
        (32849, '删光标后半行(&L)\tCtrl-Del'),
        (32842, '删光标处整行(&D)\tF9'),
        (32844, '粘贴所删行(&U)\tShift-F9'),
    ]),
    ('功能(&G)', [
        (32792, '按行首缩进分段(&D)'),
        ('按数字标题分段(&S)', [
            (32794, '中文数字标题分段(&P)\tCtrl-P'),
            (32795, '一、 二、 三、......(&1)\tCtrl-1'),
            (32796, '（一） （二） ......(&2)\tCtrl-2'),
            (32797, '1.  2.   3.   4.  ......(&3)\tCtrl-3'),
            (32798, '(1)   (2)   (3)   ......(&4)\tCtrl-4'),
            (32799, '一是    二是    ......(&5)\tCtrl-5'),
            (32805, 'A.  B.  C.  D.   ......(&6)\tCtrl-6'),
            (32816, 'a.   b.   c.   d. ......(&7)\tCtrl-7'),
            ('其他序号分段(&X)', [
                (32823, '甲. 乙. 丙. ...(&1)'),
                (32824, '\u2160. \u2161. \u2162. ...(&2)'),
                (32825, '\u2170. \u2171. \u2172. ...(&3)'),
                (32826, '\u3220 \u3221 \u3222 \u3223...(&4)'),
                (32827, '\u2488 \u2489 \u248a \u248b...(&5)'),
                (32828, '\u2474 \u2475 \u2476 \u2477 ...(&6)'),
                (32829, '\u2460 \u2461 \u2462 \u2463 ...(&7)'),
                (32830, '\u0391. \u0392. \u0393. \u0394. ...(&8)'),
                (32831, '\u03b1. \u03b2. \u03b3. \u03b4. ...(&9)'),
            ]),
            (32800, '第一章 第二章 ......(&Z)'),
            (32802, '第一条 第二条 ......(&T)'),
            (32803, '第1章  第2章   ......(&H)'),
            (32804, '第1条  第2条   ......(&A)'),
        ]),
        (32837, '块内数字相加求和(&J)\tCtrl-J'),
        (32838, '行块内按光标列排序(&P)\tCtrl-M'),
        (32868, '行块内按数据列排序(&I)\tCtrl-B'),
        (32788, '行块内规范行首2空格(&E)\tCtrl-E'),
        (32789, '行块内删除行首空格(&B)\tCtrlShift-E'),
        (32845, '行块内删光标列空格(&L)\tCtrl-['),
        (32846, '行块内增光标列空格(&A)\tCtrl-]'),
        (32790, '行块内删除空行(&K)\tCtrl-K'),
        (32857, '行块内设置硬回车(&Z)\tShift软回车'),
        (32841, '行块内编码/解码(&C)\tAlt-C'),
        (32817, '粘贴为16进制(&V)\tCtrlShift-V'),
        (32818, '切换自动换行(&R)\tCtrl-W'),
        (32819, '切换显示行号(&X)\tF1'),
        (32861, '开始/结束记忆键序列(&Y)\tF7'),
        (32859, '运行键序列(&G)\tF6'),
        ('设置行块风格(&F)', [
            (32811, '普通正文(&Z)'),
            (32812, '一级标题(&A)'),
            (32813, '二级标题(&B)'),
            (32814, '三级标题(&C)'),
            (32815, '注释正文(&D)'),
        ]),
        (32808, '做练习题(&T) ...\tCtrl-T'),
        (32871, '整理微信交易证明(&W)'),
    ]),
    ('帮助(&H)', [
        (104, '关于(&A) ...'),
        (32791, '字数统计(&C) ...'),
        (32836, '操作说明(&T) ...'),
    ]),
]

CHECKED_ITEMS = {32819}

WS_POPUP, WS_CAPTION, WS_BORDER, WS_DLGFRAME, WS_SYSMENU = 0x80000000, 0x00C00000, 0x00800000, 0x00400000, 0x00080000
WS_VISIBLE, WS_CHILD = 0x10000000, 0x40000000
DS_FIXEDSYS, DS_SETFONT, DS_MODALFRAME = 0x0008, 0x0040, 0x0080
SS_ICON, SS_NOPREFIX, BS_DEFPUSHBUTTON = 0x0003, 0x0080, 0x0001
BUTTON_CLASS, STATIC_CLASS = 0x0080, 0x0082
IDOK = 1

# The About box: (class, text or resource ordinal, id, x, y, cx, cy) of each control.
ABOUT_CONTROLS = [
    (STATIC_CLASS, 132, 0xFFFFFFFF, 11, 11, 20, 20),
    (STATIC_CLASS, 'Kesh 中文纯文本编辑器 0.1 版', 0xFFFFFFFF, 44, 12, 114, 8),
    (STATIC_CLASS, '(C) 2026 Kesh developers', 0xFFFFFFFF, 44, 27, 114, 8),
    (STATIC_CLASS, 'kesh@example.org', 0xFFFFFFFF, 45, 38, 69, 8),
    (BUTTON_CLASS, '确定', IDOK, 96, 60, 46, 14),
]

# The quiz dialog in template (and tab) order: (id, kind, text, x, y, cx, cy, visible).
# Kinds: push, check (auto check box), option (multi-line auto check box, text at top),
# text (left static), centred (centred static), filter and number (edit controls).
QUIZ_CONTROLS = [
    (1021, 'push', '下一题', 289, 352, 31, 14, True),
    (1042, 'filter', '', 259, 369, 97, 12, True),
    (1029, 'push', '>>', 323, 352, 15, 14, True),
    (1027, 'push', '>|', 341, 352, 15, 14, True),
    (1020, 'push', '上一题', 255, 352, 31, 14, True),
    (1024, 'text', '题型', 46, 2, 123, 13, True),
    (1028, 'check', '全选', 7, 1, 32, 10, True),
    (1005, 'text', '1.题目', 7, 16, 382, 48, True),
    (1006, 'option', 'A.', 7, 75, 382, 19, True),
    (1007, 'option', 'B.', 7, 98, 382, 21, False),
    (1008, 'option', 'C.', 7, 121, 382, 21, False),
    (1009, 'option', 'D.', 7, 144, 382, 21, False),
    (1010, 'option', 'E.', 7, 167, 382, 21, False),
    (1011, 'option', 'F.', 7, 191, 382, 14, False),
    (1012, 'option', 'G.', 7, 206, 382, 16, False),
    (1022, 'text', '答案', 304, 300, 74, 8, True),
    (1023, 'text', '解析', 7, 309, 382, 32, True),
    (1032, 'check', '单选题', 2, 352, 40, 10, True),
    (1033, 'check', '多选题', 49, 352, 40, 10, True),
    (1034, 'check', '判断题', 96, 352, 38, 10, True),
    (1025, 'push', '打乱', 149, 352, 28, 14, True),
    (1004, 'push', '答案', 181, 352, 28, 14, True),
    (1026, 'push', '|<', 219, 352, 15, 14, True),
    (1030, 'push', '<<', 237, 352, 15, 14, True),
    (1031, 'number', '', 360, 352, 32, 14, True),
    (1035, 'check', '声音', 2, 368, 30, 10, True),
    (1037, 'push', '快捷键', 34, 367, 30, 12, True),
    (1038, 'centred', '答对数', 143, 371, 110, 8, True),
    (1040, 'push', '复制题库到剪贴板', 66, 367, 74, 13, True),
    (1041, 'push', '过滤题目', 359, 368, 38, 13, True),
    (1013, 'option', 'H.', 7, 230, 382, 16, False),
    (1014, 'option', 'I.', 7, 257, 382, 16, False),
]
EDIT_CLASS = 0x0081
BS_TYPE_MASK, BS_PUSHBUTTON, BS_AUTOCHECKBOX, BS_TOP, BS_MULTILINE = 0xF, 0x0, 0x3, 0x0400, 0x2000
SS_TYPE_MASK, SS_LEFT, SS_CENTER = 0x1F, 0x0, 0x1
ES_CENTER, ES_AUTOHSCROLL, ES_NUMBER = 0x0001, 0x0080, 0x2000
WS_DISABLED, WS_TABSTOP = 0x08000000, 0x00010000


def quiz_control_fault(found, wanted):
    """What is wrong with one control of the quiz dialog, or None."""
    cid, kind, text, x, y, cx, cy, visible = wanted
    style = found['style']
    if (found['id'], found['text'], found['rect']) != (cid, text, (x, y, cx, cy)):
        return 'id, text or place %r' % ((found['id'], found['text'], found['rect']),)
    if bool(style & WS_VISIBLE) != visible:
        return 'visible should be %s' % visible
    if bool(style & WS_DISABLED) != (cid == 1028):
        return 'only "全选" starts disabled'
    cls = found['class']
    if kind == 'push' and not (cls == BUTTON_CLASS and style & BS_TYPE_MASK == BS_PUSHBUTTON):
        return 'not a push button'
    if kind in ('check', 'option') and not (cls == BUTTON_CLASS and style & BS_TYPE_MASK == BS_AUTOCHECKBOX):
        return 'not an auto check box'
    if kind == 'option' and style & (BS_MULTILINE | BS_TOP) != BS_MULTILINE | BS_TOP:
        return 'option text not multi-line at the top'
    if kind == 'text' and not (cls == STATIC_CLASS and style & SS_TYPE_MASK == SS_LEFT):
        return 'not a left-aligned static text'
    if kind == 'centred' and not (cls == STATIC_CLASS and style & SS_TYPE_MASK == SS_CENTER):
        return 'not a centred static text'
    if kind == 'filter' and not (cls == EDIT_CLASS and style & WS_BORDER and style & ES_AUTOHSCROLL):
        return 'not a bordered edit that scrolls sideways'
    if kind == 'number' and not (cls == EDIT_CLASS and style & WS_BORDER and style & ES_CENTER
                                 and style & ES_NUMBER):
        return 'not a bordered, centred, digits-only edit'
    return None


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0
        self.group = ''

    def start(self, group):
        self.group = group
        print('[%s]' % group)

    def check(self, condition, what, detail=''):
        if condition:
            self.passed += 1
        else:
            self.failed += 1
            print('  FAIL %s: %s%s' % (self.group, what, (' (' + detail + ')') if detail else ''))
        return condition


# ---- .res reading ----

def _read_id(data, pos):
    if struct.unpack_from('<H', data, pos)[0] == 0xFFFF:
        return struct.unpack_from('<H', data, pos + 2)[0], pos + 4
    end = pos
    while struct.unpack_from('<H', data, end)[0] != 0:
        end += 2
    return data[pos:end].decode('utf-16-le'), end + 2


def read_res(data):
    """{(type, name): (language, bytes)} from a 32-bit .res file."""
    resources = {}
    pos = 0
    while pos + 32 <= len(data):
        size, header_size = struct.unpack_from('<II', data, pos)
        rtype, p = _read_id(data, pos + 8)
        name, p = _read_id(data, p)
        p = (p + 3) & ~3
        language = struct.unpack_from('<H', data, p + 6)[0]
        body = data[pos + header_size:pos + header_size + size]
        if not (rtype == 0 and name == 0 and size == 0):
            resources[(rtype, name)] = (language, body)
        pos = (pos + header_size + size + 3) & ~3
    return resources


def _read_wstr(data, pos):
    end = pos
    while struct.unpack_from('<H', data, end)[0] != 0:
        end += 2
    return data[pos:end].decode('utf-16-le'), end + 2


def parse_menu(data):
    """Nested list like MENU (separators as None) plus a {id: flags} map."""
    version, header = struct.unpack_from('<HH', data, 0)
    assert version == 0, 'not a standard menu template'
    flags_by_id = {}

    def level(pos):
        items = []
        while True:
            flags = struct.unpack_from('<H', data, pos)[0]
            pos += 2
            if flags & MF_POPUP:
                text, pos = _read_wstr(data, pos)
                children, pos = level(pos)
                items.append((text, children))
            else:
                item_id = struct.unpack_from('<H', data, pos)[0]
                text, pos = _read_wstr(data, pos + 2)
                if item_id == 0 and text == '' and (flags & ~MF_END) == 0:
                    items.append(SEP)
                else:
                    items.append((item_id, text))
                    flags_by_id.setdefault(item_id, []).append(flags & ~MF_END)
            if flags & MF_END:
                return items, pos

    items, _ = level(4 + header)
    return items, flags_by_id


def _read_sz_or_ord(data, pos):
    if struct.unpack_from('<H', data, pos)[0] == 0xFFFF:
        return struct.unpack_from('<H', data, pos + 2)[0], pos + 4
    return _read_wstr(data, pos)


def parse_dialog(data):
    """{style, rect, title, font, controls} from an extended dialog template."""
    version, signature, _, ex_style, style, count, x, y, cx, cy = struct.unpack_from('<HHIIIHhhhh', data, 0)
    assert (version, signature) == (1, 0xFFFF), 'not an extended dialog template'
    menu, pos = _read_sz_or_ord(data, 26)
    window_class, pos = _read_sz_or_ord(data, pos)
    title, pos = _read_wstr(data, pos)
    font = None
    if style & DS_SETFONT:
        points, weight, italic, charset = struct.unpack_from('<HHBB', data, pos)
        face, pos = _read_wstr(data, pos + 6)
        font = (points, weight, italic, charset, face)
    controls = []
    for _ in range(count):
        pos = (pos + 3) & ~3
        _, item_ex_style, item_style, ix, iy, icx, icy, item_id = struct.unpack_from('<IIIhhhhI', data, pos)
        item_class, pos = _read_sz_or_ord(data, pos + 24)
        text, pos = _read_sz_or_ord(data, pos)
        extra = struct.unpack_from('<H', data, pos)[0]
        pos += 2 + extra
        # A class given by name is the same class as its predefined ordinal.
        item_class = {'BUTTON': BUTTON_CLASS, 'STATIC': STATIC_CLASS}.get(
            item_class.upper() if isinstance(item_class, str) else item_class, item_class)
        controls.append({'class': item_class, 'text': text, 'id': item_id, 'rect': (ix, iy, icx, icy),
                         'style': item_style})
    return {'style': style, 'ex_style': ex_style, 'menu': menu, 'class': window_class,
            'rect': (x, y, cx, cy), 'title': title, 'font': font, 'controls': controls}


def parse_version(data):
    """(fixed file info bytes, {key path: value}) from a VS_VERSIONINFO block."""
    values = {}

    def node(pos, path):
        length, value_length, value_type = struct.unpack_from('<HHH', data, pos)
        key, p = _read_wstr(data, pos + 6)
        p = (p + 3) & ~3
        value_bytes = value_length * 2 if value_type == 1 else value_length
        value = data[p:p + value_bytes]
        full = path + (key,)
        if value_type == 1:
            values['/'.join(full)] = value.decode('utf-16-le').rstrip('\0')
        else:
            values['/'.join(full)] = value
        p = (p + value_bytes + 3) & ~3
        end = pos + length
        while p < end:
            p = (node(p, full) + 3) & ~3
        return end

    node(0, ())
    return values


def _find_windres(argv):
    if len(argv) > 1:
        return argv[1]
    for name in ('x86_64-w64-mingw32-windres', 'windres'):
        found = shutil.which(name)
        if found:
            return found
    return None


def _compile(windres, work):
    """Compile the rc from an unrelated directory, as a build directory would."""
    out = os.path.join(work, 'kesh.res')
    subprocess.run([windres, os.path.join(RES, 'kesh.rc'), '-O', 'res', '-o', out],
                   cwd=work, check=True)
    with open(out, 'rb') as f:
        return f.read()


def _load(name):
    with open(os.path.join(RES, name), 'rb') as f:
        return f.read()


def _run_script(script, *args):
    subprocess.run([sys.executable, os.path.join(ROOT, 'scripts', script)] + list(args),
                   check=True, stdout=subprocess.DEVNULL)


def main(argv):
    windres = _find_windres(argv)
    if windres is None:
        print('windres not found: run scripts/setup.sh first')
        print('0 passed, 1 failed')
        return 1
    c = Checks()
    with tempfile.TemporaryDirectory() as work:
        try:
            res = read_res(_compile(windres, work))
        except subprocess.CalledProcessError as error:
            print('windres failed: %s' % error)
            print('0 passed, 1 failed')
            return 1

        c.start('menu')
        language, menu_data = res.get((RT_MENU, 109), (None, None))
        if c.check(menu_data is not None, 'menu 109 exists'):
            c.check(language == 0x0804, 'resources are tagged Chinese (Simplified)', hex(language))
            items, flags = parse_menu(menu_data)
            c.check(items == MENU, 'menu tree and texts match exactly',
                    _first_difference(items, MENU))
            checked = {i for i, fl in flags.items() if any(f & MF_CHECKED for f in fl)}
            c.check(checked == CHECKED_ITEMS, 'only 32819 starts checked', repr(sorted(checked)))
            c.check(all(f == 0 or f == MF_CHECKED for fl in flags.values() for f in fl),
                    'no item is disabled, greyed or otherwise flagged')
            c.check(menu_data[4:4 + 2 + 14] == struct.pack('<H', MF_POPUP)
                    + '文件(&F)'.encode('utf-16-le') + b'\0\0',
                    'first popup is UTF-16 6587 4EF6 0028 0026 0046 0029')

        c.start('accelerators')
        _, accel = res.get((RT_ACCELERATOR, 109), (None, None))
        if c.check(accel is not None, 'accelerator table 109 exists'):
            entries = [struct.unpack_from('<HHHH', accel, i) for i in range(0, len(accel), 8)]
            c.check(len(entries) == 2, 'exactly two entries', str(len(entries)))
            c.check(entries and entries[-1][0] & 0x80, 'last entry carries the end flag')
            keys = sorted((f & ~0x80, k, i) for f, k, i, _ in entries)
            c.check(keys == sorted([(FVIRTKEY | FALT, VK_OEM_2, 104),
                                    (FVIRTKEY | FALT | FSHIFT, VK_OEM_2, 104)]),
                    'Alt+/ and Alt+Shift+/ (Alt+?) send 104', repr(keys))

        c.start('strings')
        _, table = res.get((RT_STRING, 103 // 16 + 1), (None, None))
        if c.check(table is not None, 'string block for 103 and 109 exists'):
            strings, pos = [], 0
            for _ in range(16):
                n = struct.unpack_from('<H', table, pos)[0]
                strings.append(table[pos + 2:pos + 2 + 2 * n].decode('utf-16-le'))
                pos += 2 + 2 * n
            c.check(strings[103 % 16] == 'Kesh', 'string 103 is Kesh', strings[103 % 16])
            c.check(strings[109 % 16] == 'Kesh', 'string 109 is Kesh', strings[109 % 16])

        c.start('icon')
        _, group = res.get((RT_GROUP_ICON, 132), (None, None))
        if c.check(group is not None, 'icon group 132 exists'):
            count = struct.unpack_from('<HHH', group, 0)[2]
            sizes = []
            for i in range(count):
                w, h, _, _, planes, bits, size, image_id = struct.unpack_from('<BBBBHHIH', group, 6 + 14 * i)
                image = res.get((RT_ICON, image_id), (None, b''))[1]
                sizes.append(w or 256)
                c.check(len(image) == size and bits == 32, 'icon image %d stored whole, 32 bpp' % (w or 256))
                if w == 0:
                    c.check(image.startswith(b'\x89PNG'), '256 px image is PNG')
                else:
                    c.check(struct.unpack_from('<Iii', image, 0) == (40, w, 2 * w), '%d px image is a BMP' % w)
            c.check(sorted(sizes) == [16, 32, 48, 256], 'sizes 16, 32, 48, 256', repr(sizes))

        c.start('dialogs')
        language, about = res.get((RT_DIALOG, 106), (None, None))
        if c.check(about is not None, 'About dialog 106 exists'):
            c.check(language == 0x0804, 'dialog 106 is tagged Chinese (Simplified)', hex(language))
            d = parse_dialog(about)
            wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS
            c.check(d['style'] & wanted == wanted, 'About: popup with caption, system menu, modal frame',
                    hex(d['style']))
            c.check(d['rect'] == (66, 36, 170, 80), 'About: at (66, 36), 170 x 80', repr(d['rect']))
            c.check(d['title'] == '关于 Kesh', 'About: title', repr(d['title']))
            c.check(d['font'] is not None and (d['font'][0], d['font'][4]) == (9, 'MS Shell Dlg'),
                    'About: 9-point MS Shell Dlg', repr(d['font']))
            found = [(k['class'], k['text'], k['id']) + k['rect'] for k in d['controls']]
            c.check(found == ABOUT_CONTROLS, 'About: icon, three text lines and the OK button',
                    repr(found))
            styles = [k['style'] for k in d['controls']]
            if len(styles) == 5:
                c.check(styles[0] & 0x1F == SS_ICON, 'About: the first control shows icon 132')
                c.check(all(st & SS_NOPREFIX for st in styles[1:4]), 'About: texts show "&" as it is')
                c.check(styles[4] & 0xF == BS_DEFPUSHBUTTON, 'About: OK is the default button')
                c.check(all(st & WS_VISIBLE and st & WS_CHILD for st in styles), 'About: controls visible')
        language, message = res.get((RT_DIALOG, 133), (None, None))
        if c.check(message is not None, 'message window dialog 133 exists'):
            c.check(language == 0x0804, 'dialog 133 is tagged Chinese (Simplified)', hex(language))
            d = parse_dialog(message)
            c.check(d['style'] & (WS_POPUP | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS)
                    == WS_POPUP | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS, 'message window: popup with system menu',
                    hex(d['style']))
            c.check(d['style'] & (WS_CAPTION | WS_BORDER | WS_DLGFRAME | DS_MODALFRAME) == 0,
                    'message window: no caption and no border', hex(d['style']))
            c.check(d['rect'] == (56, 26, 249, 136), 'message window: at (56, 26), 249 x 136', repr(d['rect']))
            c.check(d['title'] == '', 'message window: empty title', repr(d['title']))
            c.check(d['font'] is not None and (d['font'][0], d['font'][1], d['font'][4]) == (8, 400, 'MS Shell Dlg'),
                    'message window: 8-point MS Shell Dlg, weight 400', repr(d['font']))
            c.check(d['controls'] == [], 'message window: no controls', repr(d['controls']))
        language, quiz = res.get((RT_DIALOG, 134), (None, None))
        if c.check(quiz is not None, 'quiz dialog 134 exists'):
            c.check(language == 0x0804, 'dialog 134 is tagged Chinese (Simplified)', hex(language))
            d = parse_dialog(quiz)
            wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT
            c.check(d['style'] & wanted == wanted, 'quiz: popup with caption and system menu', hex(d['style']))
            c.check(d['style'] & WS_VISIBLE == 0, 'quiz: created hidden', hex(d['style']))
            c.check(d['rect'] == (36, 26, 399, 388), 'quiz: at (36, 26), 399 x 388', repr(d['rect']))
            c.check(d['title'] == '做题', 'quiz: title', repr(d['title']))
            c.check(d['font'] is not None and (d['font'][0], d['font'][4]) == (8, 'MS Shell Dlg'),
                    'quiz: 8-point MS Shell Dlg', repr(d['font']))
            c.check(len(d['controls']) == len(QUIZ_CONTROLS), 'quiz: %d controls' % len(QUIZ_CONTROLS),
                    repr(len(d['controls'])))
            for found, wanted_control in zip(d['controls'], QUIZ_CONTROLS):
                fault = quiz_control_fault(found, wanted_control)
                c.check(fault is None, 'quiz: control %d in its place' % wanted_control[0], fault or '')
            c.check(d['controls'] and d['controls'][0]['style'] & WS_TABSTOP,
                    'quiz: "下一题" comes first and takes the focus')

        c.start('sounds')
        for rid, name, low, high in ((135, 'right.wav', 0.7, 0.9), (138, 'click.wav', 0.05, 0.15)):
            _, body = res.get(('WAVE', rid), (None, None))
            c.check(body is not None, '%d stored under type name WAVE' % rid)
            c.check(body == _load(name), '%d holds res/%s unchanged' % (rid, name))
            with wave.open(io.BytesIO(_load(name))) as w:
                params = (w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getcomptype())
                c.check(params == (1, 1, 11025, 'NONE'), '%s is mono 8-bit 11025 Hz PCM' % name, repr(params))
                seconds = w.getnframes() / 11025.0
                c.check(low <= seconds <= high, '%s lasts about as long as it should' % name, '%.3f s' % seconds)
                frames = w.readframes(w.getnframes())
                c.check(max(frames) - min(frames) > 40, '%s is audible' % name)
                c.check(max(frames) < 255 and min(frames) > 0, '%s does not clip' % name)
                c.check(abs(frames[0] - 128) <= 2 and abs(frames[-1] - 128) <= 2,
                        '%s starts and ends at silence (no pop)' % name)

        c.start('manifest')
        _, manifest = res.get((RT_MANIFEST, 1), (None, None))
        if c.check(manifest is not None, 'manifest is resource 1 of RT_MANIFEST'):
            text = manifest.decode('utf-8')
            c.check('Microsoft.Windows.Common-Controls' in text and 'version="6.0.0.0"' in text,
                    'asks for Common Controls 6')
            c.check('PerMonitorV2' in text and 'true/PM' in text, 'declares per-monitor DPI awareness')
            c.check('activeCodePage' not in text, 'leaves the ANSI code page alone')

        c.start('version')
        _, version = res.get((RT_VERSION, 1), (None, None))
        if c.check(version is not None, 'version resource 1 exists'):
            values = parse_version(version)
            fixed = values.get('VS_VERSION_INFO', b'')
            c.check(len(fixed) == 52 and struct.unpack_from('<IIII', fixed, 8) == (1, 0, 1, 0),
                    'file and product version 0.1.0.0')
            block = 'VS_VERSION_INFO/StringFileInfo/080404B0/'
            c.check(values.get(block + 'ProductName') == 'Kesh', 'ProductName')
            c.check(values.get(block + 'FileDescription') == 'Kesh 中文纯文本编辑器', 'FileDescription',
                    repr(values.get(block + 'FileDescription')))
            c.check(values.get(block + 'LegalCopyright') == 'Copyright (C) 2026 Kesh developers',
                    'LegalCopyright')
            c.check(values.get(block + 'ProductVersion') == '0.1.0.0', 'ProductVersion')
            c.check(values.get('VS_VERSION_INFO/VarFileInfo/Translation') == struct.pack('<HH', 0x0804, 1200),
                    'Translation 0x0804, 1200')

        c.start('generated files are current')
        _run_script('make_icon.py', os.path.join(work, 'kesh.ico'))
        _run_script('make_sounds.py', work)
        for name in ('kesh.ico', 'right.wav', 'click.wav'):
            with open(os.path.join(work, name), 'rb') as f:
                c.check(f.read() == _load(name), 'res/%s matches its generator' % name)

    print('%d passed, %d failed' % (c.passed, c.failed))
    return 0 if c.failed == 0 else 1


def _first_difference(actual, expected, path='menu'):
    if isinstance(actual, list) and isinstance(expected, list):
        for i, (a, e) in enumerate(zip(actual, expected)):
            found = _first_difference(a, e, '%s[%d]' % (path, i))
            if found:
                return found
        if len(actual) != len(expected):
            return '%s has %d items, expected %d' % (path, len(actual), len(expected))
        return ''
    if isinstance(actual, tuple) and isinstance(expected, tuple) and isinstance(actual[1], list) \
            and isinstance(expected[1], list):
        if actual[0] != expected[0]:
            return '%s: %r != %r' % (path, actual[0], expected[0])
        return _first_difference(actual[1], expected[1], path + '/' + expected[0])
    if actual != expected:
        return '%s: %r != %r' % (path, actual, expected)
    return ''


if __name__ == '__main__':
    sys.exit(main(sys.argv))

#include "app/help_text.h"

#include "platform/platform.h"

// Lines 18 and 24 begin with a full-width space: they continue the numbered item above.
const char* const HELP_TEXT =
    "█ 查找【正则表达式】格式为 /表达式/g\t【注意:不能与通配符同时使用】\n"
    "【单字符】.任意  \\d数字 \\D非数字 \\w字母 \\W非字母 \\s空白 \\S非空  [ ]指其1\n"
    "【多字符】( )1组  |指或者  【数量】 *指0或多 +指1或多  {n,m}最少n最多m\n"
    "例: /[Nn]ame:\\w+\\s(Tel|Phone):[0-9]{7,11}/g 可查 Name:XXX Tel:1234567\n"
    "\n"
    "█ 查找/替换 时均可用的【通配符】:\t\\~ 1组任意字符(直到行尾)\n"
    "\\@ 1组大小写字母\t\\A 1组大写字母\t\\a 1组小写字母\n"
    "\\& 1组中文数字\t\\% 1组罗马数字\t\\! 1组全角序号\n"
    "\\C0(即\\!或\\C) \\C1...\\C9\t1组汉字\n"
    "\\M0(即\\:或\\M) \\M1...\\M9\t1组英文变量名\n"
    "\\N0(即\\#或\\N) \\N1...\\N9\t1组半角数字\n"
    "\\S0(即\\*或\\S) \\S1...\\S9\t1组非空/非数/非字母\n"
    "\\<> \\() \\[] \\{} 成对括号内容\t\\n 换行或在行首\t\\t TAB空位\n"
    "█ 仅用于 查找 的【通配符】:\n"
    "\\$ 1组空格\t\\;1组半角标点\t^$ 1个空白字符\t^# 1个半角数字\n"
    "\\? 1个任意字符\t^@ 1个英文\t^A 1个大写\t^a 1个小写\n"
    "█ 仅用于 替换 的【通配符】:\t\t①\\ID 默认以1开始的递增序号\n"
    "　\\ID数字 以指定数字开始的递增序号 如: \\ID39 则以39开始\n"
    "②\\ROW 当前所在第几行\t\t③\\COL 当前所在第几列\n"
    "④{内容}重复次数 如{ab,}2 替换成 ab,ab,\n"
    "█ 按住【Shift键】状态下:\t\t①查找时，英文字母将作为\\*内容\n"
    "②读入或粘贴时以逗号代替Tab字符\t③行块左侧整体减少TAB\n"
    "④查找空白/数字/英文时向上查找\t⑤行块内按光标列排序时按降序\n"
    "　或行块内按数据列排序时按降序,显/不显行号时数字按值/文本排序\n"
    "\n"
    "█ 录入时,输入中文标点符号的【快捷键】:\n"
    "Alt+I 输入顿号、\tAlt+K 输入句号。\tAlt+M 输入〇\n"
    "Alt+J 输入左引号“\t\tAlt+L 输入右引号”";

const char* const HELP_CAPTION = "查找替换等操作说明";

void showHelpText() { platform::showMessageBox(HELP_TEXT, HELP_CAPTION, platform::BOX_OK); }

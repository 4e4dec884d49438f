#include "batch/split_commands.h"

#include <cctype>

#include "app/messages.h"

namespace {

struct SplitCommand {
    int commandId;
    const char* key;       // "" when the menu gives it none
    const char* menuText;  // as the menu shows it, without the mnemonic and the key
};

const SplitCommand SPLIT_COMMANDS[] = {
    {CMD_SPLIT_BY_INDENT, "indent", "按行首缩进分段"},
    {32794, "ctrl-p", "中文数字标题分段"},
    {32795, "ctrl-1", "一、 二、 三、......"},
    {32796, "ctrl-2", "（一） （二） ......"},
    {32797, "ctrl-3", "1.  2.   3.   4.  ......"},
    {32798, "ctrl-4", "(1)   (2)   (3)   ......"},
    {32799, "ctrl-5", "一是    二是    ......"},
    {32805, "ctrl-6", "A.  B.  C.  D.   ......"},
    {32816, "ctrl-7", "a.   b.   c.   d. ......"},
    {32823, "", "甲. 乙. 丙. ..."},
    {32824, "", "Ⅰ. Ⅱ. Ⅲ. ..."},
    {32825, "", "ⅰ. ⅱ. ⅲ. ..."},
    {32826, "", "㈠ ㈡ ㈢ ㈣..."},
    {32827, "", "⒈ ⒉ ⒊ ⒋..."},
    {32828, "", "⑴ ⑵ ⑶ ⑷ ..."},
    {32829, "", "① ② ③ ④ ..."},
    {32830, "", "Α. Β. Γ. Δ. ..."},
    {32831, "", "α. β. γ. δ. ..."},
    {32800, "", "第一章 第二章 ......"},
    {32802, "", "第一条 第二条 ......"},
    {32803, "", "第1章  第2章   ......"},
    {32804, "", "第1条  第2条   ......"},
};

std::string firstWord(const std::string& text) { return text.substr(0, text.find(' ')); }

// ASCII letters folded to lower case; GBK bytes (0x80 and up) are left as they are.
std::string folded(const std::string& text) {
    std::string out = text;
    for (char& byte : out)
        if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte - 'A' + 'a');
    return out;
}

}  // namespace

int splitCommandNamed(const std::string& name) {
    const std::string wanted = folded(name);
    for (const SplitCommand& command : SPLIT_COMMANDS) {
        const std::string menu = command.menuText;
        if (wanted == command.key || name == menu || name == firstWord(menu)) return command.commandId;
    }
    // "ctrl+1" as well as "ctrl-1".
    if (wanted.size() > 5 && wanted.compare(0, 5, "ctrl+") == 0) return splitCommandNamed("ctrl-" + wanted.substr(5));
    return 0;
}

std::string splitCommandNames() {
    std::string names;
    for (const SplitCommand& command : SPLIT_COMMANDS) {
        names += "  ";
        names += command.key[0] ? std::string(command.key) + "  " : std::string();
        const std::string menu = command.menuText;
        names += "\"" + firstWord(menu) + "\"" + (firstWord(menu) == menu ? "" : "  \"" + menu + "\"") + "\n";
    }
    return names;
}

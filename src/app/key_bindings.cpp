#include "app/key_bindings.h"

#include <cstdlib>
#include <cstring>

#include "app/messages.h"
#include "platform/platform.h"

namespace {
constexpr int N = KEYMOD_NONE, C = KEYMOD_CTRL, S = KEYMOD_SHIFT, CS = KEYMOD_CTRL_SHIFT;
constexpr int F(int n) { return vkeyFunction(n); }
}  // namespace

const KeyBinding DEFAULT_KEY_BINDINGS[] = {
    {VKEY_DOWN, N, 2073}, {VKEY_DOWN, S, 2074}, {VKEY_DOWN, C, 2011},
    {VKEY_UP, N, 2077}, {VKEY_UP, S, 2078}, {VKEY_UP, C, 2091},
    {VKEY_LEFT, N, 2058}, {VKEY_LEFT, S, 2059}, {VKEY_LEFT, C, 2093}, {VKEY_LEFT, CS, 2088},
    {VKEY_RIGHT, N, 2060}, {VKEY_RIGHT, S, 2061}, {VKEY_RIGHT, C, 2010}, {VKEY_RIGHT, CS, 2090},
    {VKEY_HOME, N, 2085}, {VKEY_HOME, S, 2086}, {VKEY_HOME, C, 2065}, {VKEY_HOME, CS, 2066},
    {VKEY_END, N, 2075}, {VKEY_END, S, 2076}, {VKEY_END, C, 2063}, {VKEY_END, CS, 2064},
    {VKEY_PRIOR, N, 2082}, {VKEY_PRIOR, S, 2083}, {VKEY_PRIOR, C, 2003},
    {VKEY_NEXT, N, 2080}, {VKEY_NEXT, S, 2081}, {VKEY_NEXT, C, 2002},
    {VKEY_BACK, N, 2062},
    {VKEY_DELETE, N, 771}, {VKEY_DELETE, S, 768},
    {VKEY_INSERT, N, 2067}, {VKEY_INSERT, S, 770}, {VKEY_INSERT, C, 769},
    {VKEY_ESCAPE, N, 2057},
    {VKEY_TAB, N, 2084}, {VKEY_TAB, S, 2056},
    {VKEY_RETURN, N, 2079}, {VKEY_RETURN, C, 2017},
    {'A', C, 2016}, {'B', C, 2047}, {'C', C, 769}, {'D', C, 2004},
    {'E', CS, 2048}, {'E', C, 2049},
    {'F', C, 2008}, {'H', C, 2009}, {'J', C, 2001}, {'K', C, 2028}, {'L', C, 2070},
    {'M', C, 2046}, {'N', C, 2068}, {'O', C, 2069}, {'P', C, 2032}, {'Q', C, 2022},
    {'R', C, 2015}, {'S', C, 2020}, {'S', CS, 2021}, {'T', C, 2027}, {'V', C, 770},
    {'V', CS, 2043}, {'W', C, 2023}, {'X', C, 768}, {'Y', C, 2014}, {'Z', C, 772},
    {'1', C, 2033}, {'2', C, 2034}, {'3', C, 2035}, {'4', C, 2036}, {'5', C, 2037},
    {'6', C, 2031}, {'7', C, 2038}, {'8', C, 2010}, {'8', CS, 2093},
    {'9', C, 2011}, {'9', CS, 2091}, {'0', C, 2012}, {'0', CS, 2092},
    {F(1), N, 2055}, {F(2), N, 2020}, {F(3), N, 2015}, {F(4), N, 2019}, {F(5), N, 2008},
    {F(6), N, 2044}, {F(7), N, 2045}, {F(8), N, 2029}, {F(9), N, 2007}, {F(9), S, 2018},
    {VKEY_OEM_COMMA, C, 2025}, {VKEY_OEM_PERIOD, C, 2024}, {VKEY_OEM_4, C, 2025}, {VKEY_OEM_6, C, 2024},
    {VKEY_BACK, C, 2006}, {VKEY_DELETE, C, 2005},
    {0, 0, 0},
};

KeyBindingTable keyBindingTable;

void addOrReplaceBinding(int virtualKey, int modifiers, int actionCode) {
    KeyBindingTable& table = keyBindingTable;
    for (int i = 0; i < table.count; ++i) {
        if (table.entries[i].virtualKey == virtualKey && table.entries[i].modifiers == modifiers) {
            table.entries[i].actionCode = actionCode;
            return;
        }
    }
    if (table.count + 1 >= table.capacity) {
        const int grown = table.capacity + 5;
        auto* entries = static_cast<KeyBinding*>(std::malloc(sizeof(KeyBinding) * grown));
        if (entries == nullptr) return;  // start-up goes on without this binding
        if (table.count > 0) std::memcpy(entries, table.entries, sizeof(KeyBinding) * table.count);
        std::free(table.entries);
        table.entries = entries;
        table.capacity = grown;
    }
    table.entries[table.count++] = KeyBinding{virtualKey, modifiers, actionCode};
}

void buildKeyBindingTable() {
    for (const KeyBinding* binding = DEFAULT_KEY_BINDINGS; binding->virtualKey != 0; ++binding)
        addOrReplaceBinding(binding->virtualKey, binding->modifiers, binding->actionCode);
}

void freeKeyBindingTable() {
    std::free(keyBindingTable.entries);
    keyBindingTable = KeyBindingTable{};
}

int findKeyAction(int virtualKey, int modifiers) {
    for (int i = 0; i < keyBindingTable.count; ++i) {
        const KeyBinding& binding = keyBindingTable.entries[i];
        if (binding.virtualKey == virtualKey && binding.modifiers == modifiers) return binding.actionCode;
    }
    return 0;
}

int currentModifiers() {
    return (platform::isKeyDown(VKEY_CONTROL) ? KEYMOD_CTRL : 0) + (platform::isKeyDown(VKEY_SHIFT) ? KEYMOD_SHIFT : 0);
}

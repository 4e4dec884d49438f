// The shortcuts of a compiled expression. They follow the matcher's way through the
// nodes: it goes from node to node in order and leaves one out only when the node
// stands before a "|" and fails (the alternative after the "|" goes on at the same
// position) or stands after a "|" whose earlier alternative matched (it is jumped). So a
// node with no "|" beside it lies on the way of every match.
#include "search/regex_shortcuts.h"

#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#define KESH_SCAN_SSE2 1
#endif

namespace {

bool isRepeat(const RegexNode& node) { return node.min != 0 || node.max != 0; }

bool consumesBytes(int kind) {
    return kind == RX_ANY || kind == RX_CHAR || kind == RX_STRING || kind == RX_CLASS || kind == RX_NCLASS;
}

// A node that takes at least one element wherever the way passes it.
bool takesAnElement(const RegexNode& node) { return consumesBytes(node.kind) && (!isRepeat(node) || node.min >= 1); }

// A run's bytes without its escape backslashes, as the matcher compares them.
std::string runBytes(const RegexNode& node) {
    std::string bytes;
    for (int j = 0; j < node.length; ++j) {
        if (node.text[j] == '\\') ++j;
        bytes.push_back(node.text[j]);
    }
    return bytes;
}

// Works out whether the members form one unbroken range.
void settleShape(ByteSet& bytes) {
    bytes.low = 256;
    bytes.high = -1;
    for (int b = 0; b < 256; ++b) {
        if (!bytes.member[b]) continue;
        if (b < bytes.low) bytes.low = b;
        bytes.high = b;
    }
    bytes.isRange = bytes.high >= bytes.low;
    for (int b = bytes.low; b <= bytes.high && bytes.isRange; ++b) bytes.isRange = bytes.member[b];
}

// Adds the bytes one element of `node` can begin with (never the terminator).
void addFirstBytes(const RegexNode& node, ByteSet& bytes) {
    ByteSet own;
    switch (node.kind) {
    case RX_CHAR: own.member[static_cast<unsigned char>(node.byte)] = true; break;
    case RX_STRING: own.member[static_cast<unsigned char>(runBytes(node)[0])] = true; break;
    case RX_ANY:
        for (int b = 1; b < 256; ++b) own.member[b] = true;
        break;
    default: regexClassBytes(node, own); break;
    }
    for (int b = 1; b < 256; ++b) bytes.member[b] = bytes.member[b] || own.member[b];
}

// The bytes a match can begin with: the first bytes of every node the matcher can stand
// at before it has taken a byte. Such a state is (node, previous-matched), and every
// step leads to a later node, so one pass in node order finds them all; reaching the end
// (or a "$" that ends the expression) means a match may take no bytes at all.
void findFirstBytes(const RegexProgram& program, int firstNode, RegexShortcuts& shortcuts) {
    const RegexNode* nodes = program.nodes;
    std::vector<uint8_t> reached(static_cast<size_t>(program.count) + 1, 0);  // bit 1: previous clear, 2: set
    reached[static_cast<size_t>(firstNode)] = 1;
    for (int j = firstNode; j < program.count; ++j) {
        const uint8_t states = reached[static_cast<size_t>(j)];
        if (states == 0) continue;
        const RegexNode& node = nodes[j];
        const bool alternativeNext = nodes[j + 1].kind == RX_ALT;
        auto reach = [&](int target, bool previous) { reached[static_cast<size_t>(target)] |= previous ? 2 : 1; };
        switch (node.kind) {
        case RX_END: return;  // a match of no bytes
        case RX_OPEN:
        case RX_CLOSE:
            if (states & 1) reach(j + 1, false);
            if (states & 2) reach(j + 1, true);
            continue;
        case RX_ALT:
            if (states & 1) reach(regexAfterAlternation(nodes, j, false), false);
            if (states & 2) reach(regexAfterAlternation(nodes, j, true), false);
            continue;
        case RX_EOL:
            if (nodes[j + 1].kind == RX_END) return;
            break;
        default: break;
        }
        if (consumesBytes(node.kind)) addFirstBytes(node, shortcuts.firstBytes);
        // No repetition at all, of a node that takes bytes or of "^", "$" or the empty
        // node, which never match as an element but may be repeated no times.
        if (isRepeat(node) && node.min == 0) reach(j + 1, true);
        if (alternativeNext) reach(j + 1, false);  // the node fails: the alternative goes on
    }
    shortcuts.mustConsume = true;
    settleShape(shortcuts.firstBytes);
}

// Most bytes node `node` can take: a repeat stops at its upper bound, REPEAT_MAX too.
long mostBytes(const RegexNode& node) {
    if (!consumesBytes(node.kind)) return 0;
    const long element = node.kind == RX_STRING ? static_cast<long>(runBytes(node).size()) : 1;
    return element * (isRepeat(node) ? node.max : 1);
}

// Keeps `bytes` among the further literals unless it is known already.
void addOtherLiteral(RegexShortcuts& shortcuts, const std::string& bytes) {
    if (bytes == shortcuts.literal) return;
    for (const std::string& known : shortcuts.otherLiterals)
        if (known == bytes) return;
    shortcuts.otherLiterals.push_back(bytes);
}

// The longest literal on the way of every match, and how far after the start it can lie.
void findLiteral(const RegexProgram& program, int firstNode, RegexShortcuts& shortcuts) {
    const RegexNode* nodes = program.nodes;
    long reach = 0;
    bool literalRepeated = false;
    for (int i = firstNode; nodes[i].kind != RX_END; ++i) {
        const RegexNode& node = nodes[i];
        const bool onEveryWay = nodes[i + 1].kind != RX_ALT && (i == 0 || nodes[i - 1].kind != RX_ALT);
        if ((node.kind == RX_CHAR || node.kind == RX_STRING) && takesAnElement(node) && onEveryWay) {
            const std::string bytes = node.kind == RX_CHAR ? std::string(1, node.byte) : runBytes(node);
            // Longer is rarer; of two as long, a repeated one is likelier to fill the line.
            const bool better = bytes.size() > shortcuts.literal.size() ||
                                (bytes.size() == shortcuts.literal.size() && literalRepeated && !isRepeat(node));
            if (better) {
                literalRepeated = isRepeat(node);
                const std::string shorter = shortcuts.literal;
                shortcuts.literal = bytes;
                shortcuts.literalReach = reach;
                if (!shorter.empty()) addOtherLiteral(shortcuts, shorter);
            } else {
                addOtherLiteral(shortcuts, bytes);
            }
        }
        reach += mostBytes(node);
    }
}

// The expression from `firstNode` is one byte test, repeated or not, and nothing after it.
void findSingleElementRun(const RegexProgram& program, int firstNode, RegexShortcuts& shortcuts) {
    const RegexNode* nodes = program.nodes;
    int i = firstNode;
    int opened = 0;
    while (nodes[i].kind == RX_OPEN) ++i, ++opened;
    const RegexNode& node = nodes[i];
    if (!consumesBytes(node.kind) || node.kind == RX_STRING) return;
    for (int k = 1; k <= opened; ++k)
        if (nodes[i + k].kind != RX_CLOSE) return;
    // A repeat counts as last before ")" and the end only, so further ")" stop the path.
    if (nodes[i + opened + 1].kind != RX_END || opened > 1) return;
    shortcuts.singleElementRun = true;
    addFirstBytes(node, shortcuts.runBytes);
    settleShape(shortcuts.runBytes);
    shortcuts.runMin = isRepeat(node) ? node.min : 1;
    shortcuts.runMax = isRepeat(node) ? node.max : 1;
}

}  // namespace

void regexClassBytes(const RegexNode& node, ByteSet& bytes) {
    for (int b = 1; b < 256; ++b) {
        const bool accepted = regexClassAccepts(node.text, node.length, static_cast<char>(b));
        bytes.member[b] = node.kind == RX_NCLASS ? !accepted : accepted;
    }
    bytes.member[0] = false;
    settleShape(bytes);
}

RegexShortcuts analyseRegex(const RegexProgram& program, int firstNode) {
    RegexShortcuts shortcuts;
    if (regexNeverMatches(program)) return shortcuts;
    findFirstBytes(program, firstNode, shortcuts);
    findLiteral(program, firstNode, shortcuts);
    findSingleElementRun(program, firstNode, shortcuts);
    return shortcuts;
}

int findByteInSet(const ByteSet& bytes, const char* text, int from, int length) {
    if (bytes.isRange && bytes.low == bytes.high) {
        const void* found = std::memchr(text + from, bytes.low, static_cast<size_t>(length - from));
        return found ? static_cast<int>(static_cast<const char*>(found) - text) : length;
    }
    int at = from;
#ifdef KESH_SCAN_SSE2
    if (bytes.isRange) {
        // A byte b is in low..high when the unsigned b - low is at most high - low.
        const __m128i low = _mm_set1_epi8(static_cast<char>(bytes.low));
        const __m128i span = _mm_set1_epi8(static_cast<char>(bytes.high - bytes.low));
        for (; at + 16 <= length; at += 16) {
            const __m128i shifted = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at)), low);
            const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(shifted, span), shifted));
            if (hits != 0) return at + __builtin_ctz(static_cast<unsigned>(hits));
        }
    }
#endif
    while (at < length && !bytes.member[static_cast<unsigned char>(text[at])]) ++at;
    return at;
}

int findLiteral(const std::string& literal, const char* text, int from, int length) {
    const size_t size = literal.size();
    const char first = literal[0];
    for (int at = from; length - at >= static_cast<int>(size);) {
        const void* found = std::memchr(text + at, first, static_cast<size_t>(length - at) - size + 1);
        if (found == nullptr) return -1;
        at = static_cast<int>(static_cast<const char*>(found) - text);
        if (std::memcmp(text + at + 1, literal.data() + 1, size - 1) == 0) return at;
        ++at;
    }
    return -1;
}

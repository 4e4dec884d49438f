// The regular-expression engine: the check, the compiler from "/expr/g" to a flat node
// array, and a matcher that gives exactly the results of the recursive matching rules
// (fewest repetitions before the rest when more follows, as many as possible when last,
// "|" between the single nodes around it) in bounded time and stack.
//
// Why the matcher is not a plain recursion: the rules retry the rest of the expression
// after every repetition, so "a*a*a*a*a*c" against a long line of "a" takes time of a high
// power of the line's length, and a recursion per byte overflows the stack on a long line.
// The matcher has no captures, so the outcome of matching from a node at a position
// depends only on (node, position, previous-matched). Only a repeat branches (every other
// node has one way on), so the outcomes of repeat nodes are remembered per line, and the
// runs of a repeated element and the positions where the rest of the expression fails are
// remembered as skip pointers: every repeat settles in near-constant time. Recursion only
// ever goes on to a later repeat node, so its depth is bounded by the program's length (at
// most 1024 nodes), never by the text's.
#include "search/regex.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "document/gbk.h"
#include "search/find_state.h"
#include "search/regex_shortcuts.h"

namespace {

bool lastMatchEmpty = false;

// ==== The check and the compiler ====

bool isOneOf(char byte, const char* set) { return byte != '\0' && std::strchr(set, byte) != nullptr; }

// The bytes that end a literal run and make the byte before them a node of its own.
bool isSpecialByte(char byte) { return isOneOf(byte, "^$.*+?|(){}["); }
// A literal byte followed by one of these becomes its own node, so the quantifier or dot
// after it applies to that byte alone.
bool endsRunBefore(char byte) { return isOneOf(byte, "^.*+?{}"); }
bool isClassEscape(char byte) { return isOneOf(byte, "dDsSwW"); }

// Parses digits at body[at]; false when there are none or the number exceeds REPEAT_MAX.
bool parseBound(const char* body, int length, int& at, int& value, bool& tooLarge) {
    if (at >= length || body[at] < '0' || body[at] > '9') return false;
    value = 0;
    while (at < length && body[at] >= '0' && body[at] <= '9') {
        if (value <= REPEAT_MAX) value = value * 10 + (body[at] - '0');
        ++at;
    }
    if (value > REPEAT_MAX) tooLarge = true;
    return true;
}

struct Builder {
    const char* body;
    int length;
    RegexProgram& program;
    int at = 0;
    bool failed = false;
    RegexProblem problem = RegexProblem::None;  // why it failed

    void fail(RegexProblem why) {
        failed = true;
        if (problem == RegexProblem::None) problem = why;
    }

    // Appends a node, keeping the last row free for RX_END.
    void add(const RegexNode& node) {
        if (program.count >= REGEX_MAX_NODES - 1) {
            fail(RegexProblem::TooLong);
            return;
        }
        program.nodes[program.count++] = node;
    }

    // The node a quantifier applies to: the previous one, or the one before it when the
    // previous is a parenthesis; null before the first node.
    RegexNode* quantifierTarget() {
        const int count = program.count;
        if (count == 0) return nullptr;
        RegexNode* previous = &program.nodes[count - 1];
        if ((previous->kind == RX_OPEN || previous->kind == RX_CLOSE) && count >= 2) return previous - 1;
        return previous;
    }

    // "*", "+", "?": before any node they leave an empty node that never matches.
    void quantify(int min, int max) {
        RegexNode* target = quantifierTarget();
        if (target == nullptr) {
            RegexNode empty;
            empty.min = min;
            empty.max = max;
            add(empty);
        } else {
            target->min = min;
            target->max = max;
        }
        ++at;
    }

    // "{n}", "{n,}" or "{n,m}" at `at`; false leaves "{" to be read as a literal byte.
    bool braceQuantifier() {
        RegexNode* target = quantifierTarget();
        if (target == nullptr) return false;
        int j = at + 1, min = 0, max = 0;
        bool tooLarge = false;
        if (!parseBound(body, length, j, min, tooLarge)) return false;
        if (j < length && body[j] == '}') {
            max = min;
        } else if (j < length && body[j] == ',') {
            ++j;
            if (j < length && body[j] == '}') {
                max = REPEAT_MAX;
            } else if (!parseBound(body, length, j, max, tooLarge) || j >= length || body[j] != '}' || max < min) {
                return false;
            }
        } else {
            return false;
        }
        if (tooLarge) fail(RegexProblem::CountTooLarge);  // a count beyond REPEAT_MAX cannot be searched
        target->min = min;
        target->max = max;
        at = j + 1;
        return true;
    }

    // "[...]" or "[^...]" up to the next "]" not preceded by a backslash.
    void bracketClass() {
        int start = at + 1;
        RegexNode node;
        node.kind = RX_CLASS;
        if (start < length && body[start] == '^') {
            node.kind = RX_NCLASS;
            ++start;
        }
        int end = start;
        while (end < length && !(body[end] == ']' && body[end - 1] != '\\')) ++end;
        if (end >= length) {  // no closing bracket inside the expression
            fail(RegexProblem::UnclosedClass);
            return;
        }
        node.text = body + start;
        node.length = end - start;
        add(node);
        at = end + 1;
    }

    // A backslash: "\d"-style class, an escaped byte, or (last in the body) a backslash.
    void escape() {
        RegexNode node;
        if (at + 1 >= length) {
            node.kind = RX_CHAR;
            node.byte = '\\';
            ++at;
        } else if (isClassEscape(body[at + 1])) {
            node.kind = RX_CLASS;
            node.text = body + at;
            node.length = 2;
            at += 2;
        } else {
            node.kind = RX_CHAR;
            node.byte = body[at + 1];
            at += 2;
        }
        add(node);
    }

    // A literal byte: a node of its own, or the start of a run of literal bytes. A run
    // keeps its escapes whole: it stops before an escape whose escaped byte is followed by
    // a quantifier, so "a\.*" repeats the dot, as a reader expects.
    void literal() {
        RegexNode node;
        if (at == length - 1 || isSpecialByte(body[at + 1])) {
            node.kind = RX_CHAR;
            node.byte = body[at++];
            add(node);
            return;
        }
        int end = at + 1;
        while (end < length) {
            const char byte = body[end];
            if (isSpecialByte(byte)) break;
            if (byte == '\\') {
                if (end + 1 >= length || isClassEscape(body[end + 1])) break;
                if (end + 2 < length && endsRunBefore(body[end + 2])) break;
                end += 2;
                continue;
            }
            if (end + 1 < length && endsRunBefore(body[end + 1])) break;
            ++end;
        }
        node.kind = RX_STRING;
        node.text = body + at;
        node.length = end - at;
        add(node);
        at = end;
    }

    void simpleNode(int kind) {
        RegexNode node;
        node.kind = kind;
        add(node);
        ++at;
    }

    void build() {
        while (at < length && !failed) {
            switch (body[at]) {
            case '^': simpleNode(RX_BOL); break;
            case '$': simpleNode(RX_EOL); break;
            case '.': simpleNode(RX_ANY); break;
            case '(': simpleNode(RX_OPEN); break;
            case ')': simpleNode(RX_CLOSE); break;
            case '|': simpleNode(RX_ALT); break;
            case '*': quantify(0, REPEAT_MAX); break;
            case '+': quantify(1, REPEAT_MAX); break;
            case '?': quantify(0, 1); break;
            case '[': bracketClass(); break;
            case '\\': escape(); break;
            case '{':
                if (!braceQuantifier()) literal();
                break;
            default: literal(); break;
            }
        }
    }
};

// ==== Matching single bytes ====

bool isBlankByte(unsigned char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }
bool isWordByte(unsigned char byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte == '_';
}

// The byte after a backslash inside a class or in "\d"-style classes.
bool escapeAccepts(char escaped, char byte) {
    const unsigned char b = static_cast<unsigned char>(byte);
    switch (escaped) {
    case 'd': return b >= '0' && b <= '9';
    case 'D': return !(b >= '0' && b <= '9');
    case 's': return isBlankByte(b);
    case 'S': return !isBlankByte(b);
    case 'w': return isWordByte(b);
    case 'W': return !isWordByte(b);
    default: return escaped == byte;
    }
}

}  // namespace

// Whether the text of a class (the bytes between its brackets) accepts `byte`. Ranges
// compare as signed bytes; a "-" counts as itself only first or last in the class.
bool regexClassAccepts(const char* text, int length, char byte) {
    int i = 0;
    while (i < length) {
        if (length - i >= 3 && text[i + 1] == '-') {
            const signed char low = static_cast<signed char>(text[i]);
            const signed char high = static_cast<signed char>(text[i + 2]);
            const signed char value = static_cast<signed char>(byte);
            if (value >= low && value <= high && byte != '-') return true;
            i += 3;
        } else if (text[i] == '\\' && i + 1 < length) {
            if (escapeAccepts(text[i + 1], byte)) return true;
            i += 2;
        } else {
            if (text[i] == byte) return byte != '-' || i == 0 || i == length - 1;
            ++i;
        }
    }
    return false;
}

bool regexTextPassesCheck(const char* text) {
    const size_t length = std::strlen(text);
    if (length < 2 || text[0] != '/' || text[length - 2] != '/' || text[length - 1] != 'g') return false;
    int depth = 0;
    for (size_t i = 1; i < length; ++i) {
        if (text[i] == '\\' && isOneOf(text[i + 1], "()[]{}")) {
            ++i;
        } else if (isOneOf(text[i], "([{")) {
            ++depth;
        } else if (isOneOf(text[i], ")]}")) {
            --depth;
        }
    }
    return depth == 0;
}

int buildRegexProgram(const char* text, RegexProgram& program, RegexProblem* problem) {
    program.count = 0;
    RegexProblem unused;
    RegexProblem& why = problem ? *problem : unused;
    why = RegexProblem::None;
    const int bodyLength = static_cast<int>(std::strlen(text)) - 3;
    if (!regexTextPassesCheck(text)) {
        why = bodyLength < 0 ? RegexProblem::NoBody : RegexProblem::UnbalancedBrackets;
        return 0;
    }
    if (bodyLength < 0) {  // exactly "/g": the two slashes overlap
        why = RegexProblem::NoBody;
        return 0;
    }
    Builder builder{text + 1, bodyLength, program};
    builder.build();
    if (builder.failed) {
        why = builder.problem;
        program.count = 0;
        return 0;
    }
    program.nodes[program.count] = RegexNode();
    program.nodes[program.count].kind = RX_END;
    ++program.count;
    return 1;
}

int regexAfterAlternation(const RegexNode* nodes, int node, bool previous) {
    if (!previous) return node + 1;
    int k = node;
    while (nodes[k].kind == RX_ALT) {
        if (nodes[k + 1].kind == RX_END) return k + 1;
        k += 2;
    }
    return k;
}

bool regexNeverMatches(const RegexProgram& program) {
    return program.count == 0 || program.nodes[0].kind == RX_EMPTY;
}

const char* regexProblemText(RegexProblem problem) {
    switch (problem) {
    case RegexProblem::None: return "";
    case RegexProblem::UnbalancedBrackets: return "圆括号、方括号或花括号不配对";
    case RegexProblem::NoBody: return "两个斜杠之间没有表达式";
    case RegexProblem::UnclosedClass: return "方括号没有闭合";
    case RegexProblem::CountTooLarge: return "重复次数不能超过 32767";
    case RegexProblem::TooLong: return "表达式太长，最多 1023 项";
    }
    return "";
}

// ==== Remembered outcomes ====

namespace {

// Per-line memory of outcomes, in chunks of rows (one row per text position). A row holds
// two skip pointers and the outcome bits of every repeat node. Each use of a chunk gets a
// new generation number and a row is valid only while its stamp equals it, so neither a
// new line nor a recycled chunk costs any clearing; chunks below the current start column
// are recycled, since no state ever looks back.
class StateMemo {
public:
    // Chunks take about 64 KB, and no more rows than `longestLine` needs.
    void configure(int repeatCount, int longestLine) {
        repeatCount_ = repeatCount;
        rowBytes_ = (9 * repeatCount + 3) & ~3;
        chunkShift_ = 4;
        while (chunkShift_ < 12 && (1 << chunkShift_) <= longestLine && (2 << chunkShift_) * rowBytes_ <= 64 * 1024)
            ++chunkShift_;
        rowsPerChunk_ = 1 << chunkShift_;
        chunkBytes_ = 4 + static_cast<size_t>(rowsPerChunk_) * (4 + rowBytes_);
        pool_.clear();
        table_.clear();
        liveBytes_ = 0;
    }

    void beginLine(int length) {
        releaseAll();
        table_.resize((static_cast<size_t>(length) >> chunkShift_) + 1);
    }

    // Recycles every chunk that lies wholly before `position`.
    void releaseBefore(int position) {
        const size_t below = static_cast<size_t>(position) >> chunkShift_;
        for (; releasedBelow_ < below && releasedBelow_ < table_.size(); ++releasedBelow_) release(releasedBelow_);
    }

    int32_t& runPointer(int position, int repeat) { return ints(position)[repeat]; }
    int32_t& probePointer(int position, int repeat) { return ints(position)[repeatCount_ + repeat]; }
    uint8_t& outcome(int position, int repeat) {
        return reinterpret_cast<uint8_t*>(ints(position) + 2 * repeatCount_)[repeat];
    }

private:
    using Chunk = std::unique_ptr<uint8_t[]>;  // generation, row stamps, then the rows

    // Outcomes are facts about the line, so dropping them all is always safe: when a
    // pathological expression holds too many, they are forgotten and found again.
    static constexpr size_t BUDGET = 256u * 1024 * 1024;
    static constexpr size_t POOL_LIMIT = 16;

    int32_t* ints(int position) {
        const size_t index = static_cast<size_t>(position) >> chunkShift_;
        const int row = position & (rowsPerChunk_ - 1);
        if (!table_[index]) acquire(index);
        uint8_t* base = table_[index].get();
        uint32_t* header = reinterpret_cast<uint32_t*>(base);
        uint32_t* stamps = header + 1;
        int32_t* data =
            reinterpret_cast<int32_t*>(base + 4 + 4 * static_cast<size_t>(rowsPerChunk_) + static_cast<size_t>(row) * rowBytes_);
        if (stamps[row] != *header) {
            stamps[row] = *header;
            std::memset(data, 0, rowBytes_);
        }
        return data;
    }

    void acquire(size_t index) {
        if (liveBytes_ + chunkBytes_ > BUDGET) {
            for (size_t i = 0; i < table_.size(); ++i) release(i);
        }
        if (++generation_ == 0) {  // after a wrap old stamps could match again
            pool_.clear();
            generation_ = 1;
            wrapped_ = true;
        }
        const bool fresh = pool_.empty();
        if (fresh) {
            table_[index].reset(new uint8_t[chunkBytes_]);
        } else {
            table_[index] = std::move(pool_.back());
            pool_.pop_back();
        }
        uint32_t* header = reinterpret_cast<uint32_t*>(table_[index].get());
        if (fresh || wrapped_) std::memset(header, 0, 4 + 4 * static_cast<size_t>(rowsPerChunk_));
        *header = generation_;  // the rows of the chunk's earlier use are stale now
        liveBytes_ += chunkBytes_;
    }

    void release(size_t index) {
        if (!table_[index]) return;
        if (pool_.size() < POOL_LIMIT) pool_.push_back(std::move(table_[index]));
        table_[index].reset();
        liveBytes_ -= chunkBytes_;
    }

    void releaseAll() {
        for (size_t i = 0; i < table_.size(); ++i) release(i);
        releasedBelow_ = 0;
    }

    int repeatCount_ = 0, rowBytes_ = 4, chunkShift_ = 4, rowsPerChunk_ = 16;
    size_t chunkBytes_ = 0, liveBytes_ = 0, releasedBelow_ = 0;
    uint32_t generation_ = 0;
    bool wrapped_ = false;
    std::vector<Chunk> table_;  // one entry per chunk of the line, null until used
    std::vector<Chunk> pool_;   // recycled chunks
};

// Repeats of at most this many repetitions are counted afresh each time.
constexpr int DIRECT_COUNT_LIMIT = 64;

// Outcome bits of a repeat node's state.
constexpr uint8_t KNOWN_BIT = 1;
constexpr uint8_t TRUE_BIT = 2;

// ==== The matcher ====

class Matcher {
public:
    // `longestLine` sizes the memory's chunks (any line may still be searched).
    Matcher(const RegexProgram& program, int longestLine) : nodes_(program.nodes) {
        const int count = program.count;
        literal_.resize(count);
        elementLength_.assign(count, 1);
        repeatIndex_.assign(count, -1);
        last_.assign(count, false);
        int repeats = 0;
        for (int i = 0; i < count; ++i) {
            const RegexNode& node = nodes_[i];
            if (node.kind == RX_STRING) {
                for (int j = 0; j < node.length; ++j) {
                    if (node.text[j] == '\\') ++j;
                    literal_[i].push_back(node.text[j]);
                }
                elementLength_[i] = static_cast<int>(literal_[i].size());
            }
            if (isRepeat(node)) {
                repeatIndex_[i] = repeats++;
                const int next = nodes_[i + 1].kind;
                last_[i] = next == RX_END || (next == RX_CLOSE && nodes_[i + 2].kind == RX_END);
            }
        }
        classBytes_.resize(count);
        for (int i = 0; i < count; ++i)
            if (nodes_[i].kind == RX_CLASS || nodes_[i].kind == RX_NCLASS) regexClassBytes(nodes_[i], classBytes_[i]);
        walked_.resize(repeats + 1);
        memo_.configure(repeats, longestLine);
    }

    void beginLine(const char* line, int length) {
        line_ = line;
        length_ = length;
        memo_.beginLine(length);
    }

    // Gives back the memory of the last line searched.
    void endSearch() { memo_.beginLine(0); }

    // Tells the memory that no state before `start` will be asked about again.
    void startingAt(int start) { memo_.releaseBefore(start); }

    // True when a match from `node` at `position` is impossible at a glance: the node
    // must take at least one element here (no "|" after it to fall back on) and cannot.
    // Saves the remembered state of most start columns.
    bool cannotStartAt(int node, int position) const {
        const RegexNode& n = nodes_[node];
        if (nodes_[node + 1].kind == RX_ALT) return false;
        switch (n.kind) {
        case RX_EMPTY: return true;
        case RX_ANY:
        case RX_CHAR:
        case RX_CLASS:
        case RX_NCLASS:
        case RX_STRING: return (!isRepeat(n) || n.min >= 1) && !elementMatches(node, position);
        default: return false;
        }
    }

    // The end of the match of the program from `node` at `position`, or -1.
    int matchEnd(int node, int position) {
        if (!matchHere(node, position, false)) return -1;
        return traceEnd(node, position, false);
    }

private:
    static bool isRepeat(const RegexNode& node) { return node.min != 0 || node.max != 0; }

    int afterAlternation(int node, bool previous) const { return regexAfterAlternation(nodes_, node, previous); }

    bool byteMatches(const RegexNode& node, int position) const {
        const char byte = line_[position];
        if (byte == '\0') return false;
        switch (node.kind) {
        case RX_ANY: return true;
        case RX_CHAR: return node.byte == byte;
        case RX_CLASS:
        case RX_NCLASS: return classBytes_[&node - nodes_].member[static_cast<unsigned char>(byte)];
        default: return false;  // "^", "$" and the empty node hold byte 0 here
        }
    }

    // One repetition of node `node` at `position`: a run compares its bytes, any other
    // node tests one byte.
    bool elementMatches(int node, int position) const {
        if (nodes_[node].kind == RX_STRING) {
            const std::string& bytes = literal_[node];
            return static_cast<int>(bytes.size()) <= length_ - position &&
                   std::memcmp(line_ + position, bytes.data(), bytes.size()) == 0;
        }
        return byteMatches(nodes_[node], position);
    }

    // Whether the program from `node` matches at `position`. The nodes that are no repeat
    // have one way on each (their own test passes, or the alternative after them), so they
    // are followed in a loop; only a repeat branches, and its outcome is remembered.
    bool matchHere(int node, int position, bool previous) {
        for (;;) {
            const RegexNode& n = nodes_[node];
            switch (n.kind) {
            case RX_ALT:
                node = afterAlternation(node, previous);
                previous = false;
                continue;
            case RX_OPEN:
            case RX_CLOSE: ++node; continue;
            case RX_END: return true;
            default: break;
            }
            if (n.kind != RX_EMPTY) {
                if (isRepeat(n)) return repeatOutcome(node, position);
                if (n.kind == RX_EOL && nodes_[node + 1].kind == RX_END) {
                    if (position == length_) return true;
                } else if (elementMatches(node, position)) {
                    position += elementLength_[node];
                    ++node;
                    previous = true;
                    continue;
                }
            }
            // The node failed: an alternative after it is tried at the same position.
            if (nodes_[node + 1].kind != RX_ALT) return false;
            ++node;
            previous = false;
        }
    }

    // The outcome of a repeat node, previous-matched being of no account to it.
    bool repeatOutcome(int node, int position) {
        const int repeat = repeatIndex_[node];
        const uint8_t bits = memo_.outcome(position, repeat);
        if (bits & KNOWN_BIT) return (bits & TRUE_BIT) != 0;
        bool result = false;
        const Continuation next = repeatRule(node, position);
        if (next.kind == Continuation::SUCCESS) {
            result = true;
        } else if (next.kind == Continuation::NODE && matchHere(node + 1, next.position, true)) {
            result = true;
        } else if (nodes_[node + 1].kind == RX_ALT) {
            result = matchHere(node + 1, position, false);
        }
        memo_.outcome(position, repeat) = KNOWN_BIT | (result ? TRUE_BIT : 0);
        return result;
    }

    struct Continuation {
        enum Kind { FAIL, SUCCESS, NODE } kind;
        int position;  // SUCCESS: the end; NODE: where the next node goes on
    };

    // The repeat rule: with more expression after it, the fewest repetitions (from one)
    // after which the rest matches, else as many as there are; when last, as many as
    // possible. The caller goes on at the next node with previous-matched set.
    Continuation repeatRule(int node, int start) {
        const RegexNode& n = nodes_[node];
        const int step = elementLength_[node];
        const int count = repetitions(node, start, n.max);
        if (!last_[node]) {
            const int fewest = n.min > 1 ? n.min : 1;
            if (count >= fewest) {
                const int found = firstProbeSuccess(node, start + fewest * step, start + count * step);
                if (found >= 0) return {Continuation::NODE, found};
            }
            if (count < n.min) return {Continuation::FAIL, 0};
            return {Continuation::NODE, start + count * step};
        }
        if (count < n.min) return {Continuation::FAIL, 0};
        return {Continuation::SUCCESS, start + count * step};
    }

    // Number of repetitions of `node` from `start`, at most `cap`. Skip pointers per
    // position: +(h+1) when every repetition from here up to h matches, -(h+1) when in
    // addition none matches at h.
    int repetitions(int node, int start, int cap) {
        const int repeat = repeatIndex_[node];
        const int step = elementLength_[node];
        if (cap <= DIRECT_COUNT_LIMIT) {  // cheaper to count than to look up
            int count = 0;
            while (count < cap && elementMatches(node, start + count * step)) ++count;
            return count;
        }
        const int64_t limit = start + static_cast<int64_t>(cap) * step;
        std::vector<int>& walked = walked_.back();
        walked.clear();
        int position = start;
        bool exact = false;
        while (position < limit) {
            const int32_t pointer = memo_.runPointer(position, repeat);
            if (pointer < 0) {
                position = -pointer - 1;
                exact = true;
                break;
            }
            walked.push_back(position);
            if (pointer > 0) {
                position = pointer - 1;
            } else if (elementMatches(node, position)) {
                position += step;
            } else {
                exact = true;
                break;
            }
        }
        for (int at : walked) memo_.runPointer(at, repeat) = exact ? -(position + 1) : position + 1;
        const int64_t count = (position - start) / step;
        return count < cap ? static_cast<int>(count) : cap;
    }

    // The first position from `from` to `to` (every `step` bytes) where the rest of the
    // expression after `node` matches with previous-matched clear, or -1. Skip pointers:
    // +(h+1) when the rest fails everywhere up to h, -(h+1) when it then matches at h.
    int firstProbeSuccess(int node, int from, int to) {
        const int repeat = repeatIndex_[node];
        const int step = elementLength_[node];
        std::vector<int>& walked = walked_[repeat];
        walked.clear();
        int position = from;
        bool exact = false;
        while (position <= to) {
            const int32_t pointer = memo_.probePointer(position, repeat);
            if (pointer < 0) {
                position = -pointer - 1;
                exact = true;
                break;
            }
            walked.push_back(position);
            if (pointer > 0) {
                position = pointer - 1;
            } else if (matchHere(node + 1, position, false)) {
                exact = true;
                break;
            } else {
                position += step;
            }
        }
        for (int at : walked) memo_.probePointer(at, repeat) = exact ? -(position + 1) : position + 1;
        return exact && position <= to ? position : -1;
    }

    // Follows the successful path of a state known to match, to find where it ends.
    int traceEnd(int node, int position, bool previous) {
        for (;;) {
            const RegexNode& n = nodes_[node];
            switch (n.kind) {
            case RX_ALT:
                node = afterAlternation(node, previous);
                previous = false;
                continue;
            case RX_OPEN:
            case RX_CLOSE: ++node; continue;
            case RX_END: return position;
            default: break;
            }
            if (n.kind != RX_EMPTY) {
                if (isRepeat(n)) {
                    Continuation next = repeatRule(node, position);
                    if (next.kind == Continuation::SUCCESS) return next.position;
                    if (next.kind == Continuation::NODE && matchHere(node + 1, next.position, true)) {
                        ++node;
                        position = next.position;
                        previous = true;
                        continue;
                    }
                } else if (n.kind == RX_EOL && nodes_[node + 1].kind == RX_END) {
                    if (position == length_) return position;
                } else if (elementMatches(node, position)) {
                    position += elementLength_[node];
                    ++node;
                    previous = true;
                    continue;
                }
            }
            ++node;  // the alternative after a failed node
            previous = false;
        }
    }

    const RegexNode* nodes_;
    std::vector<std::string> literal_;  // a run's bytes without its escape backslashes
    std::vector<int> elementLength_;    // text bytes one repetition consumes
    std::vector<int> repeatIndex_;      // the node's number among repeat nodes, or -1
    std::vector<bool> last_;            // the repeat is the expression's last element
    std::vector<ByteSet> classBytes_;   // the bytes a class node accepts, by node
    std::vector<std::vector<int>> walked_;  // positions a skip-pointer walk passed, per repeat
    StateMemo memo_;
    const char* line_ = "";
    int length_ = 0;
};

}  // namespace

int regexMatchAt(const RegexProgram& program, const char* line, int length, int start) {
    if (regexNeverMatches(program) || start < 0 || start > length) return -1;
    Matcher matcher(program, length);
    matcher.beginLine(line, length);
    return matcher.matchEnd(0, start);
}

namespace {

// How the lines are searched for one expression: from which node, whether only at the
// first column ("^"), and what the expression tells about its matches beforehand.
struct SearchPlan {
    int firstNode = 0;
    bool anchored = false;
    RegexShortcuts shortcuts;
};

SearchPlan planFor(const RegexProgram& program) {
    SearchPlan plan;
    plan.anchored = program.nodes[0].kind == RX_BOL;
    plan.firstNode = plan.anchored ? 1 : 0;
    plan.shortcuts = analyseRegex(program, plan.firstNode);
    return plan;
}

// The search of one line. Starts are tried in order at character boundaries (a match
// never starts on the second byte of a double-byte character); the plan's shortcuts only
// pass over starts where no match can begin, so the first match found is the one the
// matcher would find trying every boundary.
class LineSearch {
public:
    LineSearch(Matcher& matcher, const SearchPlan& plan, const char* line)
        : matcher_(matcher), plan_(plan), shortcuts_(plan.shortcuts), line_(line),
          length_(static_cast<int>(std::strlen(line))) {}

    bool run(int firstCol, int& start, int& end) {
        if (firstCol > length_) return false;
        const int col = boundaryAtOrAfter(line_, 0, firstCol);
        known_ = col;
        if (plan_.anchored) return tryStart(col, start, end).matched;
        if (shortcuts_.literal.empty()) return scan(col, length_, start, end);
        for (const std::string& literal : shortcuts_.otherLiterals)
            if (findLiteral(literal, line_, col, length_) < 0) return false;
        // Every match holds the literal at most literalReach bytes after its start: only
        // the starts just before each occurrence are worth trying.
        for (int from = col; from <= length_;) {
            const int found = findLiteral(shortcuts_.literal, line_, from, length_);
            if (found < 0) return false;
            const long reachStart = static_cast<long>(found) - shortcuts_.literalReach;
            if (scan(reachStart > from ? static_cast<int>(reachStart) : from, found, start, end)) return true;
            from = found + 1;
        }
        return false;
    }

private:
    struct Attempt {
        bool matched;
        int next;  // the first start still worth trying after a failure
    };

    // Tries the boundaries from `from` to `to` in order.
    bool scan(int from, int to, int& start, int& end) {
        // A match that must take a byte cannot start at the line's end.
        const int last = shortcuts_.mustConsume && to == length_ ? length_ - 1 : to;
        int at = from;
        for (;;) {
            if (shortcuts_.mustConsume && at <= last) at = findByteInSet(shortcuts_.firstBytes, line_, at, last + 1);
            if (at > last) return false;
            const int boundary = boundaryAtOrAfter(line_, known_, at);
            known_ = boundary;
            if (boundary != at) {  // a second byte: go on from the character after it
                at = boundary;
                continue;
            }
            const Attempt attempt = tryStart(at, start, end);
            if (attempt.matched) return true;
            if (attempt.next > length_) return false;
            at = attempt.next;
        }
    }

    // Tries a match from boundary `at`.
    Attempt tryStart(int at, int& start, int& end) {
        const int matchedEnd = shortcuts_.singleElementRun ? runMatchEnd(at) : matcherEnd(at);
        if (matchedEnd >= 0) {
            start = at;
            end = matchedEnd;
            return {true, at};
        }
        if (shortcuts_.singleElementRun) return {false, at + runLength_ + 1};
        return {false, at < length_ ? at + charLength(line_, at) : length_ + 1};
    }

    int matcherEnd(int at) {
        if (!begun_) {
            matcher_.beginLine(line_, length_);
            begun_ = true;
        }
        if (matcher_.cannotStartAt(plan_.firstNode, at)) return -1;
        matcher_.startingAt(at);
        return matcher_.matchEnd(plan_.firstNode, at);
    }

    // The expression is one byte test repeated: as many repetitions as there are, up to
    // the upper bound. After a failure the run was shorter than the lower bound, and so is
    // the run from each of its later bytes, and the byte that ended it fails too.
    int runMatchEnd(int at) {
        int count = 0;
        while (count < shortcuts_.runMax && shortcuts_.runBytes.member[static_cast<unsigned char>(line_[at + count])])
            ++count;
        runLength_ = count;
        return count >= shortcuts_.runMin ? at + count : -1;
    }

    Matcher& matcher_;
    const SearchPlan& plan_;
    const RegexShortcuts& shortcuts_;
    const char* line_;
    int length_;
    int known_ = 0;       // a character boundary at or before every start still to try
    bool begun_ = false;  // the matcher has been told about this line
    int runLength_ = 0;   // the run the last single-element attempt counted
};

// The compiled form of the last find text: a replace-all searches for the same text once
// per match, so it is compiled once. The program's nodes point into `text`.
struct CompiledFind {
    std::string text;
    bool usable = false;
    RegexProgram program;
    SearchPlan plan;
    std::unique_ptr<Matcher> matcher;
};

const CompiledFind& compiledFind(const char* text) {
    static CompiledFind* compiled = new CompiledFind;  // 40 KB of nodes: off the stack
    if (compiled->matcher && compiled->text == text) return *compiled;
    compiled->text = text;
    compiled->usable = buildRegexProgram(compiled->text.c_str(), compiled->program) &&
                       !regexNeverMatches(compiled->program);
    if (compiled->usable) compiled->plan = planFor(compiled->program);
    compiled->matcher.reset(new Matcher(compiled->program, 1 << 30));
    return *compiled;
}

}  // namespace

bool regexSearchLine(const RegexProgram& program, const char* line, int firstCol, int& start, int& end) {
    if (regexNeverMatches(program)) return false;
    Matcher matcher(program, static_cast<int>(std::strlen(line)));
    const SearchPlan plan = planFor(program);
    return LineSearch(matcher, plan, line).run(firstCol, start, end);
}

void regexFind(const char* text) {
    lastMatchEmpty = false;
    if (doc.caretLine == nullptr) return;
    const CompiledFind& compiled = compiledFind(text);
    if (!compiled.usable) return;
    LineNode* line = doc.caretLine;
    int firstCol = doc.caretCol, start = 0, end = 0;
    for (; line; line = line->next, firstCol = 0)
        if (LineSearch(*compiled.matcher, compiled.plan, line->text).run(firstCol, start, end)) break;
    compiled.matcher->endSearch();  // the memory goes with the search that needed it
    if (line == nullptr) return;
    findState.matchStartLine = line;
    findState.matchStartCol = start;
    if (end == start) {
        lastMatchEmpty = true;
        doc.anchorLine = nullptr;
        doc.anchorCol = 0;
    } else {
        doc.anchorLine = line;
        doc.anchorCol = end - 1;
    }
    findState.found = 1;
}

bool regexMatchWasEmpty() { return lastMatchEmpty; }

// A plain recursive matcher of the regular-expression rules: exponential in the worst
// case, but short enough to check by reading, so the engine is compared against it.
#include "support/regex_reference.h"

#include <cctype>

#include "document/gbk.h"

namespace {

bool refBlank(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }
bool refWord(unsigned char c) { return std::isalnum(c) || c == '_'; }

bool refEscape(char e, char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (e == 'd') return u >= '0' && u <= '9';
    if (e == 'D') return !(u >= '0' && u <= '9');
    if (e == 's') return refBlank(u);
    if (e == 'S') return !refBlank(u);
    if (e == 'w') return refWord(u);
    if (e == 'W') return !refWord(u);
    return e == c;
}

bool refClass(const std::string& t, char c) {
    for (size_t i = 0; i < t.size();) {
        if (t.size() - i >= 3 && t[i + 1] == '-') {
            if (static_cast<signed char>(c) >= static_cast<signed char>(t[i]) &&
                static_cast<signed char>(c) <= static_cast<signed char>(t[i + 2]) && c != '-')
                return true;
            i += 3;
        } else if (t[i] == '\\' && i + 1 < t.size()) {
            if (refEscape(t[i + 1], c)) return true;
            i += 2;
        } else if (t[i] == c) {
            return c != '-' || i == 0 || i + 1 == t.size();
        } else {
            ++i;
        }
    }
    return false;
}

struct Reference {
    const RegexProgram& p;
    const char* text;
    long budget;  // match calls left; at 0 the reference gives up

    const RegexNode& at(int i) const { return p.nodes[i]; }
    std::string classText(const RegexNode& n) const { return std::string(n.text, n.length); }

    bool byteOk(const RegexNode& n, int pos) const {
        const char c = text[pos];
        if (c == 0) return false;
        if (n.kind == RX_ANY) return true;
        if (n.kind == RX_CHAR) return n.byte == c;
        if (n.kind == RX_CLASS) return refClass(classText(n), c);
        if (n.kind == RX_NCLASS) return !refClass(classText(n), c);
        return false;
    }
    // A run's text bytes, or -1 when they differ.
    int runEnd(const RegexNode& n, int pos) const {
        for (int j = 0; j < n.length; ++j) {
            if (n.text[j] == '\\') ++j;
            if (text[pos] != n.text[j]) return -1;
            ++pos;
        }
        return pos;
    }
    int one(int node, int pos) const {
        const RegexNode& n = at(node);
        if (n.kind == RX_STRING) return runEnd(n, pos);
        return byteOk(n, pos) ? pos + 1 : -1;
    }
    int repeat(int node, int pos) {
        const RegexNode& n = at(node);
        const int next = at(node + 1).kind;
        const bool last = next == RX_END || (next == RX_CLOSE && at(node + 2).kind == RX_END);
        int count = 0;
        bool early = false;
        while (count < n.max && text[pos]) {
            const int moved = one(node, pos);
            if (moved < 0) break;
            pos = moved;
            ++count;
            if (!last && match(node + 1, pos, false) >= 0 && count >= n.min) {
                early = true;
                break;
            }
        }
        if (!early && count < n.min) return -1;
        if (count > n.max) return -1;
        if (last) return pos;
        return match(node + 1, pos, true);
    }
    int match(int node, int pos, bool prev) {
        if (budget <= 0) return -1;
        --budget;
        for (;;) {
            const RegexNode& n = at(node);
            if (n.kind == RX_ALT) {
                if (prev) {
                    do {
                        if (at(node + 1).kind == RX_END) {
                            ++node;
                            break;
                        }
                        node += 2;
                    } while (at(node).kind == RX_ALT);
                } else {
                    ++node;
                }
                prev = false;
                continue;
            }
            if (n.kind == RX_OPEN || n.kind == RX_CLOSE) {
                ++node;
                continue;
            }
            if (n.kind == RX_END) return pos;
            if (n.kind != RX_EMPTY) {
                if (n.min || n.max) {
                    const int end = repeat(node, pos);
                    if (end >= 0) return end;
                } else if (n.kind == RX_STRING) {
                    const int end = runEnd(n, pos);
                    if (end >= 0) return match(node + 1, end, true);
                } else if (n.kind == RX_EOL && at(node + 1).kind == RX_END) {
                    if (text[pos] == 0) return pos;
                } else if (byteOk(n, pos)) {
                    ++node;
                    ++pos;
                    prev = true;
                    continue;
                }
            }
            if (at(node + 1).kind != RX_ALT) return -1;
            ++node;
            prev = false;
        }
    }
};

}  // namespace

int referenceMatchAt(const RegexProgram& program, const std::string& text, int start, long budget) {
    if (program.nodes[0].kind == RX_EMPTY) return -1;  // a leading quantifier: nothing matches
    Reference ref{program, text.c_str(), budget};
    const int end = ref.match(0, start, false);
    return ref.budget <= 0 ? REFERENCE_GAVE_UP : end;
}

// The reference search of one line: character boundaries from firstCol, "^" first.
int referenceSearch(const RegexProgram& program, const std::string& text, int firstCol, int& start, int& end,
                    long budget) {
    if (program.nodes[0].kind == RX_EMPTY) return 0;  // a leading quantifier: nothing matches
    Reference ref{program, text.c_str(), budget};
    const bool anchored = program.nodes[0].kind == RX_BOL;
    for (int col = 0; col <= static_cast<int>(text.size()); ++col) {
        // The end of the line is a boundary even after a lone first byte.
        const bool boundary = col == static_cast<int>(text.size()) || !isInsideDoubleByte(text.c_str(), col);
        if (col < firstCol || !boundary) continue;
        end = ref.match(anchored ? 1 : 0, col, false);
        if (ref.budget <= 0) return REFERENCE_GAVE_UP;
        if (end >= 0) {
            start = col;
            return 1;
        }
        if (anchored) return 0;
    }
    return 0;
}

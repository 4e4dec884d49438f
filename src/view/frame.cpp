#include "view/frame.h"

#include <cstdio>
#include <cstring>

#include "document/document.h"
#include "document/stand_ins.h"
#include "document/gbk.h"
#include "document/selection.h"
#include "document/text_length.h"
#include "view/colouring.h"
#include "view/measure.h"
#include "view/styles.h"
#include "view/view_state.h"

const char* const RECORDING_BANNER = " 正在记录键序列... ";

int TextRun::width() const {
    int sum = 0;
    for (int advance : advances) sum += advance;
    return sum;
}

namespace {

constexpr unsigned char SELECTED_BACKGROUND = COLOUR_SELECTION << 4;
constexpr int BANNER_Y = 37;

int cellHeightOf(int style) { return lineStyles[style].height > 0 ? lineStyles[style].height : LINE_HEIGHT; }

// A run of plain text (no tabs) in one style, each character advancing by its extent
// plus the style's spacing.
TextRun plainRun(int x, int y, int style, const char* text, Colour textColour) {
    TextRun run;
    run.x = x;
    run.y = y;
    run.fontSlot = style;
    run.textColour = textColour;
    run.cellHeight = cellHeightOf(style);
    for (int pos = 0; text[pos] != '\0';) {
        const int length = charLength(text, pos);
        run.bytes.append(text + pos, static_cast<size_t>(length));
        run.advances.push_back(characterExtent(style, text + pos, length) + lineStyles[style].spacing);
        pos += length;
    }
    return run;
}

// ==== The gutter ====

// "#" for a bookmark, "." for a soft return ("-" for a hard one under word wrap), and
// the line number, at least two digits.
std::string gutterLabel(const LineNode* line, int number) {
    const char mark = (line->flags & LN_BOOKMARK) ? '#' : ' ';
    const char end = !(line->flags & LN_HARD_RETURN) ? '.' : (view.wrapMode ? '-' : ' ');
    char label[16];
    std::snprintf(label, sizeof label, "%c%c%02d", mark, end, number);
    return label;
}

// Each label is right-aligned at the window's right edge and centred in its row.
void layOutGutter(Frame& frame) {
    const LineNode* line = doc.topLine;
    int number = lineIndex(line) + 1;
    const int rowOffset = (LINE_HEIGHT - cellHeightOf(STYLE_BODY)) / 2;
    for (int y = 0; line && y < view.clientHeight; y += LINE_HEIGHT, line = line->next, ++number) {
        TextRun run = plainRun(0, y + rowOffset, STYLE_BODY, gutterLabel(line, number).c_str(), GUTTER_COLOUR);
        run.x = view.clientWidth - run.width();
        frame.gutter.push_back(std::move(run));
    }
}

// ==== Lines of text ====

// Collects the characters of one row into runs of one colour.
struct RowRuns {
    std::vector<TextRun>& runs;
    int y;
    int style;
    bool open = false;

    void add(int x, const char* bytes, int length, int advance, unsigned char colours) {
        const Colour textColour = Palette[colours & 0x0F];
        const Colour background = Palette[colours >> 4];
        const bool opaque = colours >= 0x10;
        if (!open || runs.back().textColour != textColour || runs.back().opaque != opaque ||
            runs.back().backgroundColour != background) {
            TextRun run;
            run.x = x;
            run.y = y;
            run.fontSlot = style;
            run.textColour = textColour;
            run.backgroundColour = background;
            run.opaque = opaque;
            run.cellHeight = cellHeightOf(style);
            runs.push_back(std::move(run));
            open = true;
        }
        runs.back().bytes.append(bytes, static_cast<size_t>(length));
        runs.back().advances.push_back(advance);
    }
    void close() { open = false; }
};

// A tab is drawn as spaces from its start while less than its width is covered; the
// last space carries the rest of the advance, so the next character lands where the
// measuring rule puts it.
void addTab(RowRuns& row, int x, int advance, int tabWidth, unsigned char colours) {
    const int spaceWidth = characterExtent(row.style, " ", 1);
    if (spaceWidth <= 0) {
        row.close();
        return;
    }
    int covered = 0;
    while (covered < tabWidth) {
        const bool last = covered + spaceWidth >= tabWidth;
        row.add(x + covered, " ", 1, last ? advance - covered : spaceWidth, colours);
        covered += spaceWidth;
    }
}

// A character the code page lacks (document/stand_ins.h) is shown as this mark, white on
// the banner's red unless selected, so the user sees where such characters are.
const char STAND_IN_PLACEHOLDER[] = "〓";

bool isStandIn(const char* pair) {
    return hasStandIns() && characterOfStandIn(static_cast<unsigned char>(pair[0]), static_cast<unsigned char>(pair[1])) != 0;
}

unsigned char standInColours(unsigned char colours) {
    const unsigned char background = colours >= 0x10 ? colours & 0xF0 : COLOUR_BANNER << 4;
    return static_cast<unsigned char>(background | COLOUR_WHITE);
}

// Marks the selected bytes among [from, to), whose colours are at map[i - first].
void markSelection(const LineNode* line, int from, int to, int first, ColourMap& map) {
    if (!(line->flags & LN_SELECTED)) return;
    for (int i = from; i < to; ++i)
        if (isSelectedAt(line, i)) map[static_cast<size_t>(i - first)] |= SELECTED_BACKGROUND;
}

// Lays out the characters of `line` that fall inside the window, on the row at `y`. Only
// the part in the window is measured and coloured, from a remembered point on a long line.
// `carryDepth`: another line follows in the window and needs the comment depth.
void layOutLine(const LineNode* line, int y, bool carryDepth, ColourMap& map, std::vector<TextRun>& runs) {
    const char* text = line->text;
    const int length = static_cast<int>(textLength(text));
    const int style = styleIndexOfLine(line);
    const int spacing = lineStyles[style].spacing;
    const MeasuredPoint start = measuredPointBefore(line, length, -view.scrollX);
    int end = start.pos;
    for (int x = view.scrollX + start.x; end < length && x < view.clientWidth;) {
        int charBytes = 1;
        x += characterAdvance(style, text, end, x - view.scrollX, &charBytes);
        end += charBytes;
    }
    const int first = colourLineSpan(line, start.pos, end, map, carryDepth);
    markSelection(line, start.pos, end, first, map);
    RowRuns row{runs, y, style};
    int x = view.scrollX + start.x;
    for (int pos = start.pos; pos < end && x < view.clientWidth;) {
        const unsigned char colours = map[static_cast<size_t>(pos - first)];
        const bool tab = text[pos] == '\t';
        const int charBytes = tab ? 1 : charLength(text, pos);
        const int tabWidth = tab ? tabAdvance(x - view.scrollX) : 0;
        const int advance = (tab ? tabWidth : characterExtent(style, text + pos, charBytes)) + spacing;
        if (x + advance > 0) {
            if (tab)
                addTab(row, x, advance, tabWidth, colours);
            else if (charBytes == 2 && isStandIn(text + pos))
                row.add(x, STAND_IN_PLACEHOLDER, 2, advance, standInColours(colours));
            else
                row.add(x, text + pos, charBytes, advance, colours);
        }
        x += advance;
        pos += charBytes;
    }
}

void layOutText(Frame& frame) {
    static ColourMap map;
    startColouringPass();
    const LineNode* line = doc.topLine;
    for (int y = 0; line && y < view.clientHeight; y += LINE_HEIGHT, line = line->next) {
        const bool carryDepth = line->next != nullptr && y + LINE_HEIGHT < view.clientHeight;
        layOutLine(line, y, carryDepth, map, frame.text);
    }
}

// ==== The recording banner ====

// A red label with a shadow and white text, stepped one pixel up and left each time.
void layOutBanner(Frame& frame) {
    const int x0 = view.clientWidth - BANNER_OFFSET;
    TextRun back = plainRun(x0, BANNER_Y, STYLE_BODY, RECORDING_BANNER, Palette[COLOUR_BLACK]);
    back.opaque = true;
    back.backgroundColour = Palette[COLOUR_BANNER];
    frame.banner.push_back(std::move(back));
    frame.banner.push_back(plainRun(x0 - 1, BANNER_Y - 1, STYLE_BODY, RECORDING_BANNER, Palette[COLOUR_BLACK]));
    frame.banner.push_back(plainRun(x0 - 2, BANNER_Y - 2, STYLE_BODY, RECORDING_BANNER, Palette[COLOUR_WHITE]));
}

}  // namespace

void buildFrame(Frame& frame) {
    frame = Frame{};
    frame.width = view.clientWidth;
    frame.height = view.clientHeight;
    frame.background = Palette[COLOUR_BLACK];
    if (hasDocument()) {
        if (doc.topLine == nullptr) doc.topLine = doc.head;
        if (view.showLineNumbers) layOutGutter(frame);
        if (view.mouseDown && !view.dragSelection) updateSelection();
        layOutText(frame);
    }
    if (view.recordingBanner) layOutBanner(frame);
}

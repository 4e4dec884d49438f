#include "files/export_page.h"

#include <string>

#include "document/document.h"
#include "document/stand_ins.h"
#include "document/gbk.h"
#include "files/file_writer.h"
#include "files/save.h"
#include "view/colouring.h"
#include "view/palette.h"
#include "view/title.h"

namespace {

constexpr char PAGE_FILTER[] = "HTM(.htm)|*.htm|HTML(.html)|*.html|";

// The page header; "%s" stands for the page's title. Its lines end with LF alone.
constexpr char PAGE_HEADER[] =
    "<!DOCTYPE html><html lang=\"zh-CN\"><meta http-equiv=Content-Type content=\"text/html; charset=gb2312\">\n"
    "<title>%s(Kesh导出)</title>\n"
    "<style type=\"text/css\">\n"
    "<!--\n"
    ".p0{font-family:宋体;font-size:14pt;color:#ddd;background-color : #000;}\n"
    ".c0{color:#000;}\n"
    ".c1{color:#0000a6;}\n"
    ".c2{color:#9000ff;}\n"
    ".c3{color:#00c0c0;}\n"
    ".c4{color:#d00000;}\n"
    ".c5{color:#973b00;}\n"
    ".c6{color:#b0b000;}\n"
    ".c7{color:#ccc;}\n"
    ".c8{color:#ddd;}\n"
    ".c9{color:#ff7373;}\n"
    ".ca{color:#0f0;}\n"
    ".cb{color:#0ff;}\n"
    ".cc{color:#f00;}\n"
    ".cd{color:#f0f;}\n"
    ".ce{color:#ff0;}\n"
    ".cf{color:#fff;}\n"
    "-->\n"
    "</style></head><body  class=\"p0\">\n";

constexpr char PAGE_END[] = "</body></html>";

std::string pageHeader(const std::string& title) {
    std::string header = PAGE_HEADER;
    header.replace(header.find("%s"), 2, title);
    return header;
}

// The HTML form of a byte that may not stand for itself in a page, or null.
const char* entityFor(char byte) {
    switch (byte) {
        case '\t': return "&emsp;";
        case '>': return "&gt;";
        case '<': return "&lt;";
        case '&': return "&amp;";
        case '"': return "&quot;";
        case '\'': return "&apos;";
        case '$': return "&#36;";
        case '%': return "&#37;";
        default: return nullptr;
    }
}

// One line of the page: a span for every run of one colour other than the body colour,
// the text with its entities and kept spaces, "<br />" after a hard return, then CR LF.
// The line is walked character by character and a character takes the colour of its
// first byte, so no tag ever stands between the two bytes of a character.
std::string pageLine(const LineNode* line, ColourMap& colours) {
    colourLine(line, colours);
    const char* text = line->text ? line->text : "";
    std::string out;
    int current = COLOUR_DEFAULT;
    for (int i = 0; text[i] != '\0'; i += charLength(text, i)) {
        const int colour = colours[static_cast<size_t>(i)] & 0x0F;
        if (colour != current) {
            if (current != COLOUR_DEFAULT) out += "</span>";
            current = colour;
            if (current != COLOUR_DEFAULT) out += std::string("<span class=\"c") + "0123456789abcdef"[current] + "\">";
        }
        if (charLength(text, i) == 2) {
            // A character the code page lacks goes into the page as a character reference.
            if (const uint32_t real = characterOfStandIn(static_cast<unsigned char>(text[i]), static_cast<unsigned char>(text[i + 1]))) {
                out += "&#" + std::to_string(real) + ";";
                continue;
            }
            out += text[i];
            // A second byte a browser would not read as one (a lone first byte followed
            // by "<", say) is written like a single byte, so it cannot open a tag.
            const char* entity = isTrailByte(static_cast<unsigned char>(text[i + 1])) ? nullptr : entityFor(text[i + 1]);
            if (entity)
                out += entity;
            else
                out += text[i + 1];
            continue;
        }
        if (const char* entity = entityFor(text[i])) {
            out += entity;
            continue;
        }
        out += text[i];
        // A browser folds a run of spaces into one: the rest of the run is kept as &nbsp;.
        while (text[i] == ' ' && text[i + 1] == ' ') {
            out += "&nbsp;";
            ++i;
        }
    }
    if (current != COLOUR_DEFAULT) out += "</span>";
    if (line->flags & LN_HARD_RETURN) out += "<br />";
    out += "\r\n";
    return out;
}

// Writes the whole page to `path`, through a temporary file; false on any failure.
bool writePage(const std::string& path, const std::string& title) {
    FileWriter writer;
    if (!openFileWriter(writer, path)) return false;
    writeText(writer, pageHeader(title).c_str());
    startColouringPassAtHead();
    ColourMap colours;
    for (const LineNode* line = doc.head; line && !writer.failed; line = line->next) {
        const std::string text = pageLine(line, colours);
        writeBytes(writer, text.data(), text.size());
    }
    writeText(writer, PAGE_END);
    return commitFileWriter(writer);
}

}  // namespace

// `modified` is left as it was: the page is not the user's text file, and clearing the
// flag would let unsaved edits go without the save question once the page is written.
void exportPage() {
    std::string chosen;
    if (!chooseSaveTarget(PAGE_FILTER, ".htm", chosen)) return;
    if (adoptChosenName(chosen) && !writePage(fileName, chosen)) reportCannotSave(fileName);
    updateTitle();
}

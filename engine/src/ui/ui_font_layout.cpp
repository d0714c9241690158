// The two wrapping layouts of UIFont. Both work in the caller's fixed table of
// kMaxLines records: a text that needs more lines ends after the last one.
#include <algorithm>

#include "ui/ui_font.h"

namespace QV {

namespace {

constexpr uint16_t kOpenEnd = 0xFFFF;

// Width of text[from..to], inclusive; an empty range (to < from) is 0.
float runWidth(const UIFont& font, const char16_t* text, size_t from, size_t to, float xcoeff) {
    if (to < from) return 0.0f;
    return font.measureRun(text + from, text + to + 1, xcoeff);
}

// Lines are opened and kept within the table.
class LineTable {
public:
    explicit LineTable(UIFontLine* lines) : mLines(lines) { mLines[0] = UIFontLine(); }
    UIFontLine& current() { return mLines[mCurrent]; }
    int index() const { return mCurrent; }
    // False (nothing changed) when the table is full.
    bool open(size_t start, uint16_t end, float width) {
        if (mCurrent + 1 >= UIFont::kMaxLines) return false;
        ++mCurrent;
        mLines[mCurrent].start = static_cast<uint16_t>(start);
        mLines[mCurrent].end = end;
        mLines[mCurrent].width = width;
        return true;
    }

private:
    UIFontLine* mLines;
    int mCurrent = 0;
};

}  // namespace

int UIFont::singleLine(size_t length, const char16_t* text, float xcoeff, UIFontLine* lines) const {
    length = std::min(length, kMaxLayoutLength);
    if (length == 0) return 0;
    lines[0].start = 0;
    lines[0].end = static_cast<uint16_t>(length - 1);
    lines[0].width = measureRun(text, text + length, xcoeff);
    return 1;
}

int UIFont::layoutDrawLines(const char16_t* text, size_t length, float W, float xcoeff, UIFontLine* lines) const {
    length = std::min(length, kMaxLayoutLength);
    if (length == 0 || !text) return 0;
    LineTable table(lines);
    int breaks = 0;  // break points counted on the current line
    for (size_t i = 0; i < length; ++i) {
        const bool last = i + 1 == length;
        BreakPoint point = canBreak(text[i], last ? char16_t(0) : text[i + 1]);
        if (last && breaks > 0) point = BreakPoint{true, u' '};
        const bool newline = point.character == u'\n';
        if (!point.allowed && !last) continue;
        ++breaks;
        UIFontLine& line = table.current();
        const float w = runWidth(*this, text, line.start, i, xcoeff);
        if (w < W) {
            line.end = static_cast<uint16_t>(i);
            line.width = w;
            if (newline) {
                if (!table.open(i + 1, kOpenEnd, 0.0f)) break;
                breaks = 0;
            }
        } else if (breaks == 1) {
            // A single word wider than the box stays whole on its line.
            line.end = static_cast<uint16_t>(i);
            line.width = w;
            if (!table.open(i + 1, kOpenEnd, 0.0f)) break;
            breaks = 0;
        } else {
            const size_t start = size_t(line.end) + 1;
            if (!table.open(start, static_cast<uint16_t>(i), runWidth(*this, text, start, i, xcoeff))) break;
            breaks = 1;
            if (newline) {
                if (!table.open(i + 1, kOpenEnd, 0.0f)) break;
                breaks = 0;
            }
        }
    }
    return table.current().end != kOpenEnd ? table.index() + 1 : table.index();
}

int UIFont::layoutBoundsLines(const char16_t* text, size_t length, float W, float xcoeff, UIFontLine* lines) const {
    length = std::min(length, kMaxLayoutLength);
    if (length == 0 || !text) return 0;
    LineTable table(lines);
    int breaks = 0;
    size_t afterBreak = 0;  // index after the last break point
    bool cut = false;
    for (size_t i = 0; i < length && !cut; ++i) {
        const bool last = i + 1 == length;
        BreakPoint point = canBreak(text[i], last ? char16_t(0) : text[i + 1]);
        if (last && breaks > 0) point = BreakPoint{true, u' '};
        if (!point.allowed) continue;
        const bool lineFeed = point.character == u'\n';
        UIFontLine& line = table.current();
        const float w = runWidth(*this, text, line.start, i, xcoeff);
        if (w <= W || breaks == 0) {
            line.end = static_cast<uint16_t>(i);
            line.width = w;
            ++breaks;
        } else {
            cut = !table.open(afterBreak, static_cast<uint16_t>(i), runWidth(*this, text, afterBreak, i, xcoeff));
            if (!lineFeed) breaks = 0;
        }
        if (!cut && lineFeed && breaks != 0) {
            cut = !table.open(i + 1, static_cast<uint16_t>(i + 1), 0.0f);
            breaks = 0;
        }
        afterBreak = i + 1;
        if (afterBreak >= length) break;
    }
    if (!cut) {
        UIFontLine& line = table.current();
        line.end = static_cast<uint16_t>(length - 1);
        line.width = runWidth(*this, text, line.start, length - 1, xcoeff);
    }
    return table.index() + 1;
}

}  // namespace QV

#pragma once

#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"

#include <memory>
#include <string>

typedef struct _PangoLayout PangoLayout;

namespace platform::graphics {

class Context;

// How text that does not fit is broken or cut.
enum class LineBreakMode {
    WordWrap, // wrap at word boundaries (a word longer than a line is broken)
    CharacterWrap, // wrap at any character
    Clip, // no wrapping (only at explicit line breaks); the rest is cut off
    HeadTruncation, // "…end"
    TailTruncation, // "start…"
    MiddleTruncation, // "sta…end"
};

enum class TextAlignment { Left, Center, Right };

// Measures and draws UTF-8 text in one font, laid out by Pango. Sizes are in points and are
// rounded up to whole points, as the phone's string measuring does. The Pango context
// behind every layout is made once per thread; a layout is cheap to make per row.
//
// Layout rules:
// - With no width (width <= 0) the text is one line per explicit line break, never wrapped.
// - With a width, WordWrap and CharacterWrap wrap; Clip never wraps; the truncation modes
//   wrap at words and put "…" in the last line that fits the height (with no height limit,
//   the truncation modes keep the text on one line and truncate it to the width).
// - With a height (height > 0) only whole lines that fit are kept, but at least one.
class TextLayout {
public:
    TextLayout(const std::string& text, const Font& font, Size constraint = {},
        LineBreakMode mode = LineBreakMode::WordWrap, TextAlignment alignment = TextAlignment::Left);
    ~TextLayout();
    TextLayout(TextLayout&&) noexcept;
    TextLayout& operator=(TextLayout&&) noexcept;
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;

    // The size the laid-out text covers, rounded up to whole points. For an empty text:
    // width 0 and the height of one line.
    Size size() const;
    // Number of laid-out lines (after truncation to the height).
    int lineCount() const;
    // Distance from the top of the layout to the first baseline.
    double baseline() const;
    // Whether text was left out and replaced by "…".
    bool isTruncated() const;

    // Draws the text with its top-left at `origin` in the context's fill colour (and text
    // drawing mode). Alignment applies within the constraint width. Not clipped: callers
    // that want clipping clip the context (drawInRect does).
    void drawAtPoint(Context& context, Point origin) const;
    // Draws inside `rect`: lays the text out for the rect's width and height and clips to
    // the rect. Answers the size drawn.
    static Size drawInRect(Context& context, const std::string& text, Rect rect, const Font& font,
        LineBreakMode mode = LineBreakMode::WordWrap, TextAlignment alignment = TextAlignment::Left);
    // One line at `point` cut to `width` with the mode (Clip: cut off, truncation: "…").
    static Size drawAtPoint(Context& context, const std::string& text, Point point, double width,
        const Font& font, LineBreakMode mode = LineBreakMode::Clip);
    // One line at `point`, unconstrained.
    static Size drawAtPoint(Context& context, const std::string& text, Point point, const Font& font);

    // Measuring, as the phone's string extensions:
    // one line, unconstrained (explicit line breaks still start new lines)
    static Size sizeWithFont(const std::string& text, const Font& font);
    // one line cut to `width` with the mode; the width answered is at most `width`
    static Size sizeWithFont(const std::string& text, const Font& font, double width, LineBreakMode mode);
    // wrapped for the constraint's width, at most its height (0 = no limit)
    static Size sizeWithFont(const std::string& text, const Font& font, Size constraint, LineBreakMode mode);

    PangoLayout* pangoLayout() const { return m_layout; }

private:
    PangoLayout* m_layout {nullptr};
    Size m_constraint;
    TextAlignment m_alignment {TextAlignment::Left};
    bool m_alignsItself {false}; // Pango aligns within the constraint width
    int m_lineCount {1};
    double m_height {0}; // of the visible lines, unrounded
    bool m_heightLimited {false}; // lines below the constraint height are hidden
};

} // namespace platform::graphics

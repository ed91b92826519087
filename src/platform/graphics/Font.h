#pragma once

#include <string>
#include <vector>

typedef struct _PangoFontDescription PangoFontDescription;
typedef struct _PangoContext PangoContext;

namespace platform::graphics {

// A font: a family, a weight, a slant and a size in points. A cheap value; the Pango
// description and metrics behind it are built on first use and cached per thread.
//
// The phone's Helvetica is stood in for by the metric-compatible Liberation Sans:
// the system font, "Helvetica" and "Helvetica-Bold" all resolve to it.
class Font {
public:
    // The system font (Liberation Sans) of 12 points.
    Font();

    static Font systemFontOfSize(double size);
    static Font boldSystemFontOfSize(double size);
    static Font italicSystemFontOfSize(double size);
    // A PostScript-style name: "Family", "Family-Bold", "Family-Oblique", "Family-BoldOblique"
    // (also "-Italic", "-BoldItalic"). Helvetica and Arial map to Liberation Sans, Times to
    // Liberation Serif, Courier to Liberation Mono; other families are passed to fontconfig,
    // which falls back to a sans font when the family is not installed.
    static Font fontWithName(const std::string& name, double size);

    // A family as fontconfig names it, without mapping.
    static Font fontWithFamily(const std::string& family, bool bold, bool italic, double size);

    // The same face at another size.
    Font fontWithSize(double size) const;

    const std::string& familyName() const { return m_family; }
    double pointSize() const { return m_size; }
    bool isBold() const { return m_bold; }
    bool isItalic() const { return m_italic; }

    // Vertical metrics in points, from the face: ascender above the baseline (positive),
    // descender below it (negative, as on the phone), line height = the distance from one
    // baseline to the next for single-spaced text.
    double ascender() const;
    double descender() const;
    double lineHeight() const;

    // For the text layer: the Pango description of this font, owned by the font.
    const PangoFontDescription* pangoDescription() const;
    // For the text layer: this thread's Pango context, made once, laying text out in points
    // (72 units per inch) without hinting, so sizes do not depend on the device scale.
    static PangoContext* pangoContext();

    // Loading a face the first time text uses it matches it against every installed font,
    // a millisecond or more each. prefetch() has Pango start that on its font thread and
    // returns; load() waits for it and loads the face and its metrics. Neither counts as a
    // use below.
    void prefetch() const;
    void load() const;
    bool isLoaded() const;
    // The faces text used on this thread, most recently used first.
    static std::vector<Font> facesUsed();

    bool operator==(const Font& other) const;

private:
    Font(std::string family, bool bold, bool italic, double size);
    const struct FontMetrics& metrics() const;

    std::string m_family {"Liberation Sans"};
    bool m_bold {false};
    bool m_italic {false};
    double m_size {12};
};

} // namespace platform::graphics

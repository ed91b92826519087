#include "platform/graphics/Font.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

// Fontconfig keeps what it parsed from its configuration files until the process ends and
// frees none of it; Pango loads it on a thread of its own on first use. LeakSanitizer would
// report that as a leak of every process that draws text. (Defined here, beside the first
// use of fonts, so that the linker keeps it.)
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace platform::graphics {

namespace {

const char* const kSansFamily = "Liberation Sans";

struct PangoContextHolder {
    PangoFontMap* fontMap {nullptr};
    PangoContext* context {nullptr};

    PangoContextHolder() {
        // A font map of our own rather than the process default, so that a thread's
        // layouts never share Pango state with another thread.
        fontMap = pango_cairo_font_map_new();
        context = pango_font_map_create_context(fontMap);
        pango_cairo_context_set_resolution(context, 72);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
        pango_context_set_round_glyph_positions(context, FALSE);
        pango_context_set_language(context, pango_language_from_string("en-us"));
    }
    ~PangoContextHolder() {
        g_object_unref(context);
        g_object_unref(fontMap);
    }
};

PangoContextHolder& contextHolder() {
    thread_local PangoContextHolder holder;
    return holder;
}

} // namespace

struct FontMetrics {
    double ascender {0};
    double descender {0};
    double lineHeight {0};
};

namespace {

struct FaceEntry {
    std::unique_ptr<PangoFontDescription, void (*)(PangoFontDescription*)> description {
        nullptr, pango_font_description_free};
    std::unique_ptr<FontMetrics> metrics;
    // When text last used the face, on this thread's count; 0 when it was only preloaded.
    std::uint64_t lastUse {0};
};

using FaceKey = std::tuple<std::string, bool, bool, double>;

std::map<FaceKey, FaceEntry>& faceCache() {
    thread_local std::map<FaceKey, FaceEntry> cache;
    return cache;
}

FaceEntry& usedFace(FaceEntry& entry) {
    thread_local std::uint64_t uses = 0;
    entry.lastUse = ++uses;
    return entry;
}

FaceEntry& faceEntry(const std::string& family, bool bold, bool italic, double size) {
    auto [it, inserted] = faceCache().try_emplace(FaceKey {family, bold, italic, size});
    FaceEntry& entry = it->second;
    if (inserted) {
        PangoFontDescription* description = pango_font_description_new();
        pango_font_description_set_family(description, family.c_str());
        pango_font_description_set_weight(description, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
        pango_font_description_set_style(description, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
        // Absolute size in device units; the context runs at 72 dpi so a unit is a point.
        pango_font_description_set_absolute_size(description, std::max(size, 0.1) * PANGO_SCALE);
        entry.description.reset(description);
    }
    return entry;
}

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

const FontMetrics& loadedMetrics(FaceEntry& entry) {
    if (!entry.metrics) {
        auto metrics = std::make_unique<FontMetrics>();
        PangoFontMetrics* fontMetrics
            = pango_context_get_metrics(Font::pangoContext(), entry.description.get(), nullptr);
        metrics->ascender = pango_font_metrics_get_ascent(fontMetrics) / double(PANGO_SCALE);
        metrics->descender = -pango_font_metrics_get_descent(fontMetrics) / double(PANGO_SCALE);
        metrics->lineHeight = pango_font_metrics_get_height(fontMetrics) / double(PANGO_SCALE);
        if (metrics->lineHeight <= 0)
            metrics->lineHeight = metrics->ascender - metrics->descender;
        pango_font_metrics_unref(fontMetrics);
        entry.metrics = std::move(metrics);
    }
    return *entry.metrics;
}

} // namespace

Font::Font() = default;

Font::Font(std::string family, bool bold, bool italic, double size)
    : m_family(std::move(family))
    , m_bold(bold)
    , m_italic(italic)
    , m_size(std::isfinite(size) && size > 0 ? size : 12) { }

Font Font::systemFontOfSize(double size) {
    return Font(kSansFamily, false, false, size);
}

Font Font::boldSystemFontOfSize(double size) {
    return Font(kSansFamily, true, false, size);
}

Font Font::italicSystemFontOfSize(double size) {
    return Font(kSansFamily, false, true, size);
}

Font Font::fontWithName(const std::string& name, double size) {
    std::string family = name;
    std::string style;
    if (auto dash = name.rfind('-'); dash != std::string::npos) {
        family = name.substr(0, dash);
        style = lowercase(name.substr(dash + 1));
    }
    bool bold = style.find("bold") != std::string::npos;
    bool italic = style.find("oblique") != std::string::npos || style.find("italic") != std::string::npos;

    std::string key = lowercase(family);
    key.erase(std::remove(key.begin(), key.end(), ' '), key.end());
    if (key == "helvetica" || key == "helveticaneue" || key == "arial" || key == "arialmt")
        family = kSansFamily;
    else if (key == "times" || key == "timesnewroman" || key == "timesnewromanps")
        family = "Liberation Serif";
    else if (key == "courier" || key == "couriernew")
        family = "Liberation Mono";
    return Font(family, bold, italic, size);
}

Font Font::fontWithFamily(const std::string& family, bool bold, bool italic, double size) {
    return Font(family, bold, italic, size);
}

Font Font::fontWithSize(double size) const {
    return Font(m_family, m_bold, m_italic, size);
}

const PangoFontDescription* Font::pangoDescription() const {
    return usedFace(faceEntry(m_family, m_bold, m_italic, m_size)).description.get();
}

PangoContext* Font::pangoContext() {
    return contextHolder().context;
}

const FontMetrics& Font::metrics() const {
    return loadedMetrics(usedFace(faceEntry(m_family, m_bold, m_italic, m_size)));
}

double Font::ascender() const {
    return metrics().ascender;
}

double Font::descender() const {
    return metrics().descender;
}

double Font::lineHeight() const {
    return metrics().lineHeight;
}

void Font::prefetch() const {
    PangoContext* context = pangoContext();
    PangoFontset* fontset = pango_context_load_fontset(context,
        faceEntry(m_family, m_bold, m_italic, m_size).description.get(), pango_context_get_language(context));
    if (fontset)
        g_object_unref(fontset); // the font map keeps it
}

void Font::load() const {
    loadedMetrics(faceEntry(m_family, m_bold, m_italic, m_size));
}

bool Font::isLoaded() const {
    auto it = faceCache().find(FaceKey {m_family, m_bold, m_italic, m_size});
    return it != faceCache().end() && it->second.metrics;
}

std::vector<Font> Font::facesUsed() {
    std::vector<std::pair<std::uint64_t, Font>> used;
    for (auto& [key, entry] : faceCache()) {
        if (entry.lastUse)
            used.emplace_back(entry.lastUse,
                Font(std::get<0>(key), std::get<1>(key), std::get<2>(key), std::get<3>(key)));
    }
    std::sort(used.begin(), used.end(), [](auto& a, auto& b) { return a.first > b.first; });
    std::vector<Font> faces;
    for (auto& [use, font] : used)
        faces.push_back(std::move(font));
    return faces;
}

bool Font::operator==(const Font& other) const {
    return m_family == other.m_family && m_bold == other.m_bold && m_italic == other.m_italic
        && m_size == other.m_size;
}

} // namespace platform::graphics

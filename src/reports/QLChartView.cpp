#include "reports/QLChartView.h"

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/DrawingUtilities.h"
#include "platform/graphics/TextLayout.h"

using namespace platform::graphics;

QLChartView::QLChartView(std::string noDataMessage, double titleFontSize, Color lineColor)
    : m_noDataMessage(std::move(noDataMessage))
    , m_font(Font::systemFontOfSize(12))
    , m_titleFont(Font::systemFontOfSize(titleFontSize))
    , m_titleColor(Color::rgba(200 / 255.0, 50 / 255.0, 0, 1))
    , m_lineColor(lineColor)
    , m_gradientColor(Color::white(200 / 255.0)) { }

float QLChartView::titleHeight() const {
    if (!m_title)
        return 0;
    return static_cast<float>(TextLayout::sizeWithFont(*m_title, m_titleFont).height) + 1.5f * m_marginTop;
}

void QLChartView::drawBackgroundAndTitle(Context& context, float titleHeight) {
    QLDrawLinearGradient(context, bounds(), changeAlpha(m_gradientColor, 0.05f), m_gradientColor, 0, 1.0f);
    if (m_title) {
        context.setFillColor(m_titleColor);
        context.drawText(*m_title, Rect(0, m_marginTop, bounds().width(), titleHeight), m_titleFont,
            LineBreakMode::WordWrap, TextAlignment::Center);
    }
}

void QLChartView::drawNoDataMessage(Context& context, float wrapWidth, Color color) {
    const double width = bounds().width(), height = bounds().height();
    Size message = TextLayout::sizeWithFont(m_noDataMessage, m_font, wrapWidth, LineBreakMode::WordWrap);
    context.setFillColor(color);
    context.drawText(m_noDataMessage, Rect(0, (height - message.height) / 2, width, message.height), m_font,
        LineBreakMode::WordWrap, TextAlignment::Center);
}

#pragma once

#include <memory>

#include "platform/graphics/Color.h"
#include "platform/graphics/Context.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/views/View.h"

#include <optional>
#include <string>

class QLChartViewDelegate;

// What the line and the pie chart have in common: the delegate, a title, the message shown
// without data, fonts, colours and margins, and the first strokes of every draw (background
// and title) and the no-data message.
class QLChartView : public platform::views::View {
public:
    // Properties; after changing them the owner asks for a redraw.
    std::shared_ptr<QLChartViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<QLChartViewDelegate> delegate) { m_delegate = std::move(delegate); }
    const std::optional<std::string>& title() const { return m_title; }
    void setTitle(std::optional<std::string> title) { m_title = std::move(title); }
    const std::string& noDataMessage() const { return m_noDataMessage; }
    void setNoDataMessage(std::string message) { m_noDataMessage = std::move(message); }
    const platform::graphics::Font& font() const { return m_font; }
    void setFont(const platform::graphics::Font& font) { m_font = font; }
    const platform::graphics::Font& titleFont() const { return m_titleFont; }
    void setTitleFont(const platform::graphics::Font& font) { m_titleFont = font; }
    platform::graphics::Color titleColor() const { return m_titleColor; }
    void setTitleColor(platform::graphics::Color color) { m_titleColor = color; }
    platform::graphics::Color lineColor() const { return m_lineColor; }
    void setLineColor(platform::graphics::Color color) { m_lineColor = color; }
    platform::graphics::Color gradientColor() const { return m_gradientColor; }
    void setGradientColor(platform::graphics::Color color) { m_gradientColor = color; }
    float marginTop() const { return m_marginTop; }
    void setMarginTop(float margin) { m_marginTop = margin; }
    float marginBottom() const { return m_marginBottom; }
    void setMarginBottom(float margin) { m_marginBottom = margin; }
    float marginLeft() const { return m_marginLeft; }
    void setMarginLeft(float margin) { m_marginLeft = margin; }
    float marginRight() const { return m_marginRight; }
    void setMarginRight(float margin) { m_marginRight = margin; }

protected:
    QLChartView(std::string noDataMessage, double titleFontSize, platform::graphics::Color lineColor);

    // The height the title takes above the chart, margin included; 0 without a title.
    float titleHeight() const;
    // The background gradient, then the title centred in its band.
    void drawBackgroundAndTitle(platform::graphics::Context& context, float titleHeight);
    // The no-data message in `color`, wrapped to `wrapWidth` and centred in the view.
    void drawNoDataMessage(
        platform::graphics::Context& context, float wrapWidth, platform::graphics::Color color);

    std::weak_ptr<QLChartViewDelegate> m_delegate;
    std::optional<std::string> m_title;
    std::string m_noDataMessage;
    platform::graphics::Font m_font;
    platform::graphics::Font m_titleFont;
    platform::graphics::Color m_titleColor;
    platform::graphics::Color m_lineColor;
    platform::graphics::Color m_gradientColor;
    float m_marginTop {10};
    float m_marginBottom {10};
    float m_marginLeft {10};
    float m_marginRight {10};
};

#include "reports/QLPieChartView.h"

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/DrawingUtilities.h"
#include "platform/graphics/TextLayout.h"
#include "reports/QLChartViewDelegate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

using namespace platform::graphics;

QLPieChartView::QLPieChartView()
    : QLChartView("No data", 20, Color::darkGray()) { }

QLPieChartView::QLPieChartView(Rect frame)
    : QLPieChartView() {
    setFrame(frame);
}

std::string QLPieChartView::formatKeyLabel(const QLPieChartData& item) {
    if (auto delegate = m_delegate.lock()) {
        if (auto text = delegate->formatKeyLabel(item, *this))
            return *text;
    }
    char value[64];
    std::snprintf(value, sizeof value, "%1.2f", static_cast<double>(item.value));
    return item.label + " (" + value + ")";
}

void QLPieChartView::calculateMetrics() {
    Metrics m;
    const float x0 = static_cast<float>(bounds().x()), y0 = static_cast<float>(bounds().y());
    const float W = static_cast<float>(bounds().width()), H = static_cast<float>(bounds().height());

    m_items.clear();
    for (const QLPieChartData& item : m_data)
        if (std::isfinite(item.value))
            m_items.push_back(item);

    m.titleHeight = titleHeight();
    m.minX = x0 + m_marginLeft;
    m.minY = y0 + m_marginTop + m.titleHeight;
    m.maxX = x0 + W - m_marginRight;
    m.maxY = H - m_marginBottom;
    const float w = m.maxX - m.minX, h = m.maxY - m.minY;

    m.radius = static_cast<float>(std::max(0.0, std::min(w, h) * (w > h ? 0.52 : 0.45)));
    if (w <= h) {
        m.x = m.radius + ((w - 2 * m.radius) / 2 + m.minX);
        m.y = m.minY + m.radius;
        const float keyTop = m.y + m.radius + 10;
        m.keyRect = Rect(m.minX, keyTop, w, m.maxY - keyTop);
    } else {
        m.x = m.minX + m.radius;
        m.y = m.radius + ((h - 2 * m.radius) / 2 + m.minY);
        const float keyLeft = m.x + m.radius + 10;
        m.keyRect = Rect(keyLeft, m.minY, m.maxX - keyLeft, h);
    }

    for (const QLPieChartData& item : m_items)
        m.totalValue += std::max(0.0f, item.value);
    m_metrics = m;
}

bool QLPieChartView::hasSlices() const {
    return !m_items.empty() && m_metrics.totalValue > 0;
}

std::vector<std::pair<double, double>> QLPieChartView::sliceAngles() const {
    std::vector<std::pair<double, double>> angles;
    if (!hasSlices())
        return angles;
    double a = 0;
    for (const QLPieChartData& item : m_items) {
        double e = a + std::max(0.0f, item.value) * 360.0 / m_metrics.totalValue;
        angles.emplace_back(a, e);
        a = e;
    }
    return angles;
}

std::vector<QLPieChartView::KeyItem> QLPieChartView::keyLayout() {
    struct Measured {
        std::string text;
        double width;
        double height;
    };
    std::vector<Measured> measured;
    for (const QLPieChartData& item : m_items) {
        std::string text = formatKeyLabel(item);
        Size size = TextLayout::sizeWithFont(text, m_font);
        measured.push_back({std::move(text), size.width, size.height});
    }

    std::vector<KeyItem> layout;
    const Rect key = m_metrics.keyRect;
    const size_t count = measured.size();
    auto place = [&](size_t i, double penX, double penY, double textWidth) {
        const Measured& item = measured[i];
        layout.push_back({item.text, Rect(penX, penY + (item.height - 8) / 2, 8, 8),
            Rect(penX + 13, penY, std::max(0.0, textWidth), item.height)});
    };
    m_keyClipped = false;

    if (key.height() < key.width()) {
        // Rows, each centred; an item takes 8 + its width + 10.
        double penY = key.y();
        size_t i = 0;
        while (i < count) {
            double rowWidth = 0;
            size_t end = i;
            while (end < count) {
                double footprint = 8 + measured[end].width + 10;
                rowWidth += footprint;
                if (rowWidth >= key.width()) {
                    rowWidth -= footprint;
                    break;
                }
                ++end;
            }
            double rowHeight = 0;
            if (end == i) {
                // Wider than the key on its own: a row of its own, cut at the key's edge.
                place(i, key.x(), penY, key.maxX() - (key.x() + 13));
                rowHeight = measured[i].height;
                end = i + 1;
            } else {
                double penX = key.x() + (key.width() - rowWidth) / 2;
                for (size_t j = i; j < end; ++j) {
                    place(j, penX, penY, measured[j].width);
                    penX += 13 + measured[j].width + 5;
                    rowHeight = std::max(rowHeight, measured[j].height);
                }
            }
            penY += rowHeight + 5;
            i = end;
        }
    } else {
        // A column, centred vertically; taller than the key it starts at the top.
        double columnHeight = 0;
        for (const Measured& item : measured)
            columnHeight += item.height + 5;
        double penY = key.y() + (key.height() - columnHeight) / 2;
        if (columnHeight > key.height()) {
            penY = key.y();
            m_keyClipped = true;
        }
        const double penX = key.x() + 15;
        for (size_t i = 0; i < count; ++i) {
            place(i, penX, penY, measured[i].width);
            penY += measured[i].height + 5;
        }
    }
    return layout;
}

void QLPieChartView::drawRect(Context& context, Rect rect) {
    calculateMetrics();
    context.saveGState();
    drawChart(context);
    context.restoreGState();
}

void QLPieChartView::drawChart(Context& context) {
    const Metrics& m = m_metrics;
    context.setInterpolationQuality(InterpolationQuality::High);

    drawBackgroundAndTitle(context, m.titleHeight);

    if (!hasSlices()) {
        drawNoDataMessage(context, m.maxX - m.minX, m_textColor);
        return;
    }

    context.setStrokeColor(m_lineColor);
    context.setLineWidth(2);
    const auto angles = sliceAngles();
    for (size_t i = 0; i < m_items.size(); ++i) {
        const double toRadians = std::numbers::pi / 180;
        context.beginPath();
        context.addArc(m.x, m.y, m.radius, angles[i].first * toRadians, angles[i].second * toRadians, 0);
        context.addLineToPoint(m.x, m.y);
        context.closePath();
        context.setFillColor(m_items[i].color);
        context.drawPath(PathDrawingMode::FillStroke);
    }

    context.setFillColor(Color::black());
    drawKey(context, keyLayout());
}

void QLPieChartView::drawKey(Context& context, const std::vector<KeyItem>& layout) {
    context.saveGState();
    if (m_keyClipped)
        context.clipToRect(m_metrics.keyRect);
    for (size_t i = 0; i < layout.size(); ++i) {
        const KeyItem& item = layout[i];
        context.setFillColor(m_items[i].color);
        context.fillEllipseInRect(item.dot);
        context.setFillColor(m_textColor);
        context.drawText(item.label, item.text.origin, item.text.width(), m_font, LineBreakMode::Clip);
    }
    context.restoreGState();
}

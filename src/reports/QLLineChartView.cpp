#include "reports/QLLineChartView.h"

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/DrawingUtilities.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/TextLayout.h"
#include "reports/QLChartViewDelegate.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>

using namespace platform::graphics;

namespace {

// Rounds an interval to a 1-2-5 step of its decade.
double roundInterval(double interval) {
    if (!std::isfinite(interval) || interval <= 0)
        return interval;
    double p = std::pow(10.0, std::floor(std::log10(interval)));
    int m = static_cast<int>(interval / p + 0.5);
    if (m > 5)
        m = 10;
    else if (m > 2)
        m = 5;
    else if (m > 1)
        m = 2;
    return m * p;
}

// No real axis has more labels than this; it bounds the loops whatever the numbers.
constexpr int kMaxTicks = 1000;

} // namespace

QLLineChartView::QLLineChartView()
    : QLChartView("No data.", 18, Color::rgba(1, 0.5, 0, 1)) { } // an orange line

QLLineChartView::QLLineChartView(Rect frame)
    : QLLineChartView() {
    setFrame(frame);
}

std::string QLLineChartView::formatValue(float value) {
    if (auto delegate = m_delegate.lock()) {
        if (auto text = delegate->formatValue(value, *this))
            return *text;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%1.2f", static_cast<double>(value));
    return buffer;
}

float QLLineChartView::scaledValue(float value) const {
    if (m_metrics.scaleRange == 0)
        return 0;
    return (value - m_metrics.scaleMin) / m_metrics.scaleRange * m_metrics.plotArea;
}

void QLLineChartView::calculateMetrics() {
    Metrics m;
    const Rect b = bounds();
    const float x = static_cast<float>(b.x()), y = static_cast<float>(b.y());
    const float W = static_cast<float>(b.width()), H = static_cast<float>(b.height());

    m_series.clear();
    for (float v : m_data)
        if (std::isfinite(v))
            m_series.push_back(v);

    m.titleHeight = titleHeight();

    // The scan starts from the smallest positive normal number, not the most negative one,
    // so an all-negative series still reaches up to zero.
    m.scaleMin = FLT_MAX;
    m.scaleMax = FLT_MIN;
    float sum = 0;
    for (float v : m_series) {
        if (v < m.scaleMin)
            m.scaleMin = v;
        if (v > m.scaleMax)
            m.scaleMax = v;
        sum += v;
    }
    m.average = m_series.empty() ? 0 : sum / static_cast<float>(m_series.size());
    if (m.scaleMin == m.scaleMax)
        m.scaleMax = 2 * m.scaleMin;

    Size label = TextLayout::sizeWithFont(formatValue(m.scaleMax), m_font);
    m.axisXLabelMargin = static_cast<float>(label.width);
    m.textHeight = static_cast<float>(label.height);

    m.minY = y + m_marginTop + m.titleHeight;
    m.maxX = x + W - m_marginRight;
    m.maxY = H - axisYLabelMargin - m_marginBottom;

    if (m_series.empty()) {
        // Nothing to scale; the draw shows the message.
        m.scaleMin = m.scaleMax = m.scaleInterval = 0;
    } else {
        // How many label rows fit, fractional. A plot too low for any still gets one.
        double n = (m.maxY - m.minY) / (3.0 * m.textHeight);
        if (!std::isfinite(n) || n <= 0)
            n = 1;
        double interval = roundInterval(m.scaleMax / n);
        if (std::isfinite(interval) && interval > 0) {
            // One step above the largest value's step; the bottom snaps towards zero.
            double top = static_cast<double>(m.scaleMax)
                - std::fmod(static_cast<double>(m.scaleMax), interval) + interval;
            double bottom
                = static_cast<double>(m.scaleMin) - std::fmod(static_cast<double>(m.scaleMin), interval);
            // Values near the float limit would snap past it.
            m.scaleMax = static_cast<float>(std::min(top, static_cast<double>(FLT_MAX)));
            m.scaleMin = static_cast<float>(std::max(bottom, -static_cast<double>(FLT_MAX)));
            m.scaleInterval = static_cast<float>(roundInterval((top - bottom) / n));
        } else {
            m.scaleInterval = static_cast<float>(interval);
        }
    }

    m.scaleRange = m.scaleMax - m.scaleMin;
    m.plotArea = m.maxY - m.minY;
    m_metrics = m;

    // The label column is as wide as the formatted maximum; a label of the snapped scale can
    // be wider ("100.00" over "95.00", "-5.00" under "0.00") and would lose digits or its
    // sign to the clipping, so the column widens to the widest label drawn.
    if (!m_series.empty()) {
        for (const std::string& text : valueLabels())
            m.axisXLabelMargin = std::max(
                m.axisXLabelMargin, static_cast<float>(TextLayout::sizeWithFont(text, m_font).width));
    }
    m.minX = x + m.axisXLabelMargin + m_marginLeft;
    m.segmentWidth = m_series.size() >= 2 ? (m.maxX - m.minX) / static_cast<float>(m_series.size() - 1)
                                          : m.maxX - m.minX;
    m_metrics = m;
}

int QLLineChartView::tickCount() const {
    const Metrics& m = m_metrics;
    if (m_series.empty() || !(m.scaleInterval > 0))
        return 0;
    float ratio = m.scaleRange / m.scaleInterval;
    if (!std::isfinite(ratio) || ratio < 0)
        return 0;
    return static_cast<int>(std::min(ratio, static_cast<float>(kMaxTicks)));
}

std::vector<std::string> QLLineChartView::valueLabels() {
    std::vector<std::string> labels;
    if (m_series.empty())
        return labels;
    const int k = tickCount();
    for (int i = 0; i <= k; ++i)
        labels.push_back(formatValue(m_metrics.scaleMin + static_cast<float>(i) * m_metrics.scaleInterval));
    return labels;
}

void QLLineChartView::drawRect(Context& context, Rect rect) {
    calculateMetrics();
    const float W = static_cast<float>(bounds().width()), H = static_cast<float>(bounds().height());
    context.saveGState();
    drawChart(context, W, H);
    context.restoreGState();
}

void QLLineChartView::drawChart(Context& context, float W, float H) {
    Metrics& m = m_metrics;
    context.setInterpolationQuality(InterpolationQuality::High);

    drawBackgroundAndTitle(context, m.titleHeight);

    if (m_series.empty()) {
        m.minX -= axisYLabelMargin;
        drawNoDataMessage(context, m.maxX - m.minX, m_axisColor);
        return;
    }

    // Axes
    context.setShouldAntialias(false);
    context.beginPath();
    context.moveToPoint(m.minX, m.minY);
    context.addLineToPoint(m.minX, m.maxY);
    context.addLineToPoint(m.maxX, m.maxY);
    context.setLineWidth(1);
    context.setStrokeColor(m_axisColor);
    context.setFillColor(m_axisColor);
    context.strokePath();

    // Value labels and ticks
    context.setShouldAntialias(true);
    const int k = tickCount();
    const float step = k > 0 ? m.plotArea / static_cast<float>(k) : 0;
    context.beginPath();
    for (int i = 0; i <= k; ++i) {
        float tickY = m.maxY - static_cast<float>(i) * step;
        std::string text = formatValue(m.scaleMin + static_cast<float>(i) * m.scaleInterval);
        context.drawText(text,
            Rect(m.minX - m.axisXLabelMargin - 5, tickY - m.textHeight / 2, m.axisXLabelMargin, m.textHeight),
            m_font, LineBreakMode::Clip, TextAlignment::Right);
        context.moveToPoint(m.minX - 5, tickY);
        context.addLineToPoint(m.minX, tickY);
    }
    context.setStrokeColor(m_axisColor);
    context.strokePath();

    // Texts under the horizontal axis
    Rect under(m.minX, m.maxY + 2, m.maxX - m.minX, H - m.maxY);
    if (m_minLabel)
        context.drawText(*m_minLabel, under, m_font, LineBreakMode::Clip, TextAlignment::Left);
    if (m_maxLabel)
        context.drawText(*m_maxLabel, under, m_font, LineBreakMode::Clip, TextAlignment::Right);

    if (m_showGridlines) {
        context.setShouldAntialias(false);
        context.beginPath();
        for (int i = 1; i <= k; ++i) {
            context.moveToPoint(m.minX + 1, m.maxY - static_cast<float>(i) * step);
            context.addLineToPoint(m.maxX, m.maxY - static_cast<float>(i) * step);
        }
        context.setStrokeColor(m_gridlineGolor);
        context.strokePath();
    }

    // From here y grows upwards from the bottom of the view.
    context.saveGState();
    context.translateCTM(0, H);
    context.scaleCTM(1, -1);
    const float base = axisYLabelMargin + m_marginBottom;

    context.beginPath();
    context.moveToPoint(m.minX, base + scaledValue(m.average));
    context.addLineToPoint(m.maxX, base + scaledValue(m.average));
    context.setShouldAntialias(false);
    context.setLineDash(0, {2, 3});
    context.setStrokeColor(m_lineColor);
    context.setLineWidth(1);
    context.strokePath();

    context.setShouldAntialias(true);
    context.setLineWidth(2);
    context.setLineDash(0, {});
    context.setStrokeColor(m_lineColor);
    context.setFillColor(m_lineColor);
    if (m_lineColor.alpha < 1) {
        // A translucent line is painted in one go so that overlaps do not darken.
        context.beginPath();
        float pointX = m.minX + 1;
        for (size_t i = 0; i < m_series.size(); ++i) {
            float pointY = base + scaledValue(m_series[i]);
            if (i == 0)
                context.moveToPoint(pointX, pointY);
            else
                context.addLineToPoint(pointX, pointY);
            context.addEllipseInRect({pointX - 2.0, pointY - 2.0, 4, 4});
            context.moveToPoint(pointX, pointY);
            pointX += m.segmentWidth;
        }
        context.drawPath(PathDrawingMode::FillStroke);
        context.restoreGState();
        return;
    }

    // An opaque line looks the same painted in parts, which is far cheaper for long series:
    // Cairo's cost grows faster than the path. The segments are stroked a stretch at a time
    // (each its own subpath, so no joins), and the dots, all alike, are stamped from one
    // picture of a dot placed on whole device pixels.
    constexpr size_t kStretch = 64;
    context.beginPath();
    float previousY = 0;
    float pointX = m.minX + 1;
    std::vector<Point> dots;
    dots.reserve(m_series.size());
    for (size_t i = 0; i < m_series.size(); ++i) {
        float pointY = base + scaledValue(m_series[i]);
        if (i > 0) {
            context.moveToPoint(pointX - m.segmentWidth, previousY);
            context.addLineToPoint(pointX, pointY);
            if (i % kStretch == 0)
                context.strokePath();
        }
        dots.push_back({pointX, H - pointY}); // back in view coordinates
        previousY = pointY;
        pointX += m.segmentWidth;
    }
    context.strokePath();
    context.restoreGState();
    drawDots(context, dots);
}

void QLLineChartView::drawDots(Context& context, const std::vector<Point>& centres) {
    // A dot is a circle of radius 2 filled and stroked 2 wide: 6 points across. Its
    // picture has a point of room around it for the antialiased edge.
    constexpr double kSide = 8;
    const double scale = context.scale() > 0 ? context.scale() : 1;
    ImageContext picture({kSide, kSide}, false, scale);
    Context& dot = picture.context();
    dot.setLineWidth(2);
    dot.setFillColor(m_lineColor);
    dot.setStrokeColor(m_lineColor);
    dot.beginPath();
    dot.addEllipseInRect({kSide / 2 - 2, kSide / 2 - 2, 4, 4});
    dot.drawPath(PathDrawingMode::FillStroke);
    const Image image = picture.image();
    for (const Point& centre : centres) {
        double x = std::round((centre.x - kSide / 2) * scale) / scale;
        double y = std::round((centre.y - kSide / 2) * scale) / scale;
        context.drawImage(image, Point {x, y});
    }
}

#pragma once

#include "platform/graphics/Color.h"

#include <string>
#include <utility>

// One slice of a pie chart: its size, its name in the key and its colour.
struct QLPieChartData {
    float value {0};
    std::string label;
    platform::graphics::Color color;

    QLPieChartData() = default;
    QLPieChartData(float value, std::string label, platform::graphics::Color color)
        : value(value)
        , label(std::move(label))
        , color(color) { }
};

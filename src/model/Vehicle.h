#pragma once

#include <cstdint>
#include <string>

#include "platform/graphics/Image.h"

// A car. vid is 0 until the record is first stored; odometer in the settings' distance unit.
struct Vehicle {
    std::int32_t vid {0};
    std::string name;
    std::string licensePlate;
    std::string make;
    std::string model;
    std::int32_t year {0}; // 0: not given
    std::int32_t odometer {0};
    std::string notes;
    // Services due within the reminder thresholds; filled by the vehicle list query only.
    std::int32_t dueServiceCount {0};

    // "2010 Ford Focus " style: the year, make and model that are given, each followed by a
    // blank; "Model not specified" when none is.
    std::string modelLine() const;

    // "<documents>/<vid>.png"; meaningful once the vehicle is stored.
    std::string pictureFile() const;

    // The car's picture, loaded on first use and then kept: the PNG at pictureFile() (or its
    // "@2x" twin on a double-scale screen), else the bundle's "SampleCar.png" with corners
    // rounded to radius 10. A null image when neither can be loaded. Never stored in the
    // database; the vehicle editor writes the file.
    platform::graphics::Image picture() const;
    // Replaces the held picture; writes no file.
    void setPicture(platform::graphics::Image picture) { m_picture = std::move(picture); }

private:
    mutable platform::graphics::Image m_picture;
};

#pragma once

#include "platform/graphics/Color.h"

// The in-house colour extensions.

// The same red, green and blue with the given alpha.
platform::graphics::Color changeAlpha(const platform::graphics::Color& color, float alpha);

#pragma once

#include "platform/views/View.h"

// A brushed-metal panel: a light grey gradient with a white top edge and a grey bottom edge.
class MetalView : public platform::views::View {
public:
    using View::View;

    void drawRect(platform::graphics::Context& context, platform::views::Rect rect) override;
};

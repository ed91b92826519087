#include "ui/LabelExtensions.h"

#include <cmath>

#include "platform/graphics/TextLayout.h"

using platform::graphics::TextLayout;
using platform::views::Label;

int freeLineCount(const Label& label) {
    const std::string& text = label.text();
    const double lineHeight = TextLayout::sizeWithFont(text.substr(0, text.find('\n')), label.font()).height;
    if (lineHeight <= 0 || label.numberOfLines() <= 0)
        return 0;
    const double fullHeight = lineHeight * label.numberOfLines();
    const double wrapped = TextLayout::sizeWithFont(
        text, label.font(), {label.frame().width(), fullHeight}, label.lineBreakMode())
                               .height;
    return std::max(0, int((fullHeight - wrapped) / lineHeight));
}

void alignTop(Label& label) {
    std::string text = label.text();
    const int padding = freeLineCount(label);
    for (int i = 1; i < padding; ++i)
        text += "\n";
    label.setText(text);
}

void alignBottom(Label& label) {
    std::string text = label.text();
    const int padding = freeLineCount(label);
    for (int i = 1; i < padding; ++i)
        text = "\n" + text;
    label.setText(text);
}

#include "platform/views/TableViewCell.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/Context.h"
#include "platform/views/Button.h"
#include "platform/views/DrawingHelpers.h"
#include "platform/views/ImageView.h"
#include "platform/views/Label.h"
#include "platform/views/Screen.h"
#include "platform/views/TableView.h"
#include "platform/views/TableViewCellAccessoryView.h"
#include "platform/views/TableViewCellDeleteButton.h"
#include "platform/views/TableViewCellEditControl.h"
#include "platform/views/TableViewCellGroupedBackground.h"
#include "platform/views/TableViewCellReorderControl.h"
#include "platform/views/TableViewCellSelectedBackground.h"
#include "platform/views/Touch.h"

namespace platform::views {

namespace {

constexpr double kEditControlWidth = TableViewCellEditControl::kWidth;
constexpr double kReorderWidth = TableViewCellReorderControl::kWidth;
constexpr Color kDetailBlue = Color::rgba(0.22, 0.33, 0.53);

} // namespace

TableViewCell::TableViewCell(TableViewCellStyle style, std::string reuseIdentifier)
    : View(Rect(0, 0, Screen::kWidth, 44))
    , m_style(style)
    , m_reuseIdentifier(std::move(reuseIdentifier))
    , m_contentView(std::make_shared<View>(Rect(0, 0, Screen::kWidth, 43)))
    , m_textLabel(std::make_shared<Label>())
    , m_imageView(std::make_shared<ImageView>()) {
    setOpaque(false);
    m_contentView->setOpaque(false);
    addSubview(m_contentView);
    m_contentView->addSubview(m_imageView);
    m_contentView->addSubview(m_textLabel);
    m_textLabel->setHighlightedTextColor(Color::whiteColor());
    switch (style) {
    case TableViewCellStyle::Default:
        m_textLabel->setFont(Font::boldSystemFontOfSize(20));
        break;
    case TableViewCellStyle::Subtitle:
        m_textLabel->setFont(Font::boldSystemFontOfSize(18));
        m_detailTextLabel = std::make_shared<Label>();
        m_detailTextLabel->setFont(Font::systemFontOfSize(14));
        m_detailTextLabel->setTextColor(Color::gray());
        break;
    case TableViewCellStyle::Value1:
        m_textLabel->setFont(Font::boldSystemFontOfSize(17));
        m_detailTextLabel = std::make_shared<Label>();
        m_detailTextLabel->setFont(Font::systemFontOfSize(17));
        m_detailTextLabel->setTextColor(kDetailBlue);
        m_detailTextLabel->setTextAlignment(TextAlignment::Right);
        break;
    case TableViewCellStyle::Value2:
        m_textLabel->setFont(Font::boldSystemFontOfSize(12));
        m_textLabel->setTextColor(kDetailBlue);
        m_textLabel->setTextAlignment(TextAlignment::Right);
        m_detailTextLabel = std::make_shared<Label>();
        m_detailTextLabel->setFont(Font::boldSystemFontOfSize(15));
        break;
    }
    if (m_detailTextLabel) {
        m_detailTextLabel->setHighlightedTextColor(Color::whiteColor());
        m_contentView->addSubview(m_detailTextLabel);
    }
}

TableViewCell::~TableViewCell() = default;

void TableViewCell::setAccessoryType(TableViewCellAccessoryType type) {
    m_accessoryType = type;
    rebuildAccessory();
}

void TableViewCell::setAccessoryView(std::shared_ptr<View> view) {
    m_accessoryView = std::move(view);
    rebuildAccessory();
}

void TableViewCell::setEditingAccessoryType(TableViewCellAccessoryType type) {
    m_editingAccessoryType = type;
    rebuildAccessory();
}

void TableViewCell::rebuildAccessory() {
    if (m_shownAccessory)
        m_shownAccessory->removeFromSuperview();
    m_shownAccessory.reset();
    auto type = m_editing ? m_editingAccessoryType : m_accessoryType;
    if (!m_editing && m_accessoryView) {
        m_shownAccessory = m_accessoryView;
    } else if (type == TableViewCellAccessoryType::DetailDisclosureButton) {
        auto button = Button::buttonWithType(ButtonType::DetailDisclosure);
        button->addTarget(
            [this] {
                if (m_tableView)
                    m_tableView->accessoryTapped(*this);
            },
            ControlEventTouchUpInside);
        m_shownAccessory = button;
    } else if (type != TableViewCellAccessoryType::None) {
        m_shownAccessory = std::make_shared<TableViewCellAccessoryView>(type);
    }
    if (m_shownAccessory)
        addSubview(m_shownAccessory);
    updateHighlight();
    setNeedsLayout();
}

View* TableViewCell::accessoryControl() const {
    return m_shownAccessory.get();
}

void TableViewCell::setBackgroundView(std::shared_ptr<View> view) {
    if (m_backgroundView)
        m_backgroundView->removeFromSuperview();
    m_backgroundView = std::move(view);
    updateBackground();
}

void TableViewCell::setSelectedBackgroundView(std::shared_ptr<View> view) {
    if (m_selectedBackgroundView)
        m_selectedBackgroundView->removeFromSuperview();
    m_selectedBackgroundView = std::move(view);
    updateBackground();
}

void TableViewCell::setBackgroundColor(std::optional<Color> color) {
    m_cellBackgroundColor = color;
    updateBackground();
}

void TableViewCell::setIndentationLevel(int level) {
    m_indentationLevel = level;
    setNeedsLayout();
}

void TableViewCell::setIndentationWidth(double width) {
    m_indentationWidth = width;
    setNeedsLayout();
}

void TableViewCell::updateBackground() {
    // In a grouped table the colour fills the group shape, not the row's rectangle.
    View::setBackgroundColor(m_grouped && !m_backgroundView ? std::nullopt : m_cellBackgroundColor);
    for (auto* v : {m_defaultBackground.get(), m_defaultSelectedBackground.get()}) {
        if (v)
            v->removeFromSuperview();
    }
    std::shared_ptr<View> background = m_backgroundView;
    if (!background && m_grouped) {
        if (!m_defaultBackground)
            m_defaultBackground = std::make_shared<TableViewCellGroupedBackground>(false);
        background = m_defaultBackground;
    }
    if (background) {
        background->setFrame(bounds());
        insertSubview(background, 0);
    }
    updateHighlight();
    setNeedsDisplay();
}

void TableViewCell::updateHighlight() {
    bool lit = (m_selected || m_highlighted) && m_selectionStyle != TableViewCellSelectionStyle::None;
    std::shared_ptr<View> selected = m_selectedBackgroundView;
    if (!selected && lit) {
        if (!m_defaultSelectedBackground
            || m_grouped
                != bool(dynamic_cast<TableViewCellGroupedBackground*>(m_defaultSelectedBackground.get()))) {
            if (m_grouped)
                m_defaultSelectedBackground = std::make_shared<TableViewCellGroupedBackground>(true);
            else
                m_defaultSelectedBackground = std::make_shared<TableViewCellSelectedBackground>();
        }
        selected = m_defaultSelectedBackground;
    }
    if (m_defaultSelectedBackground && m_defaultSelectedBackground != selected)
        m_defaultSelectedBackground->removeFromSuperview();
    if (m_selectedBackgroundView && m_selectedBackgroundView != selected)
        m_selectedBackgroundView->removeFromSuperview();
    if (selected) {
        if (lit) {
            selected->setFrame(bounds());
            // Over the background, under the content.
            insertSubviewBelow(selected, m_contentView.get());
        } else {
            selected->removeFromSuperview();
        }
    }
    // Labels and the accessory turn white on a lit row.
    std::function<void(View&)> apply = [&](View& view) {
        if (auto* label = dynamic_cast<Label*>(&view))
            label->setHighlighted(lit);
        if (auto* image = dynamic_cast<ImageView*>(&view))
            image->setHighlighted(lit);
        for (auto& sub : view.subviews())
            apply(*sub);
    };
    apply(*m_contentView);
    if (auto* accessory = dynamic_cast<TableViewCellAccessoryView*>(m_shownAccessory.get()))
        accessory->setHighlighted(lit);
    setNeedsDisplay();
}

void TableViewCell::setSelected(bool selected, bool) {
    if (m_selected == selected)
        return;
    m_selected = selected;
    updateHighlight();
}

void TableViewCell::setHighlighted(bool highlighted, bool) {
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    updateHighlight();
}

void TableViewCell::setEditing(bool editing, bool) {
    setEditingState(editing, editing ? m_editingStyle : TableViewCellEditingStyle::None,
        m_showsReorderControl, m_shouldIndentWhileEditing);
}

void TableViewCell::setShowsReorderControl(bool shows) {
    m_showsReorderControl = shows;
    rebuildEditControls();
}

void TableViewCell::setShouldIndentWhileEditing(bool indent) {
    m_shouldIndentWhileEditing = indent;
    setNeedsLayout();
}

void TableViewCell::setEditingState(
    bool editing, TableViewCellEditingStyle style, bool showsReorder, bool indent) {
    bool changed = m_editing != editing;
    m_editing = editing;
    m_editingStyle = style;
    m_showsReorderControl = showsReorder;
    m_shouldIndentWhileEditing = indent;
    if (!editing)
        m_showingDeleteConfirmation = false;
    rebuildEditControls();
    if (changed)
        rebuildAccessory();
    setNeedsLayout();
}

void TableViewCell::setShowingDeleteConfirmation(bool showing, const std::string& title) {
    m_showingDeleteConfirmation = showing;
    m_deleteTitle = title;
    rebuildEditControls();
}

void TableViewCell::rebuildEditControls() {
    bool showEdit = m_editing && m_editingStyle != TableViewCellEditingStyle::None;
    if (showEdit && !m_editControl) {
        m_editControl = std::make_shared<TableViewCellEditControl>();
        addSubview(m_editControl);
    } else if (!showEdit && m_editControl) {
        m_editControl->removeFromSuperview();
        m_editControl.reset();
    }
    bool showReorder = m_editing && m_showsReorderControl && !m_showingDeleteConfirmation;
    if (showReorder && !m_reorderControl) {
        m_reorderControl = std::make_shared<TableViewCellReorderControl>();
        addSubview(m_reorderControl);
    } else if (!showReorder && m_reorderControl) {
        m_reorderControl->removeFromSuperview();
        m_reorderControl.reset();
    }
    if (m_showingDeleteConfirmation && !m_deleteButton) {
        m_deleteButton = std::make_shared<TableViewCellDeleteButton>(m_deleteTitle);
        addSubview(m_deleteButton);
    } else if (!m_showingDeleteConfirmation && m_deleteButton) {
        m_deleteButton->removeFromSuperview();
        m_deleteButton.reset();
    }
    if (m_shownAccessory)
        m_shownAccessory->setHidden(m_showingDeleteConfirmation || (m_editing && m_showsReorderControl));
    if (m_editControl)
        m_editControl->setNeedsDisplay();
    setNeedsLayout();
    setNeedsDisplay();
}

View* TableViewCell::editingControl() const {
    return m_editControl.get();
}

View* TableViewCell::reorderControl() const {
    return m_reorderControl.get();
}

View* TableViewCell::deleteConfirmationButton() const {
    return m_deleteButton.get();
}

void TableViewCell::prepareForReuse() {
    m_selected = false;
    m_highlighted = false;
    m_showingDeleteConfirmation = false;
    updateHighlight();
    rebuildEditControls();
}

void TableViewCell::attachToTable(TableView* table, bool grouped, GroupPosition position) {
    m_tableView = table;
    bool changed = m_grouped != grouped || m_position != position;
    m_grouped = grouped;
    m_position = position;
    if (changed) {
        updateBackground();
        if (m_defaultBackground)
            m_defaultBackground->setNeedsDisplay();
    }
}

double TableViewCell::accessoryWidth() const {
    if (!m_shownAccessory || m_shownAccessory->isHidden())
        return 0;
    if (dynamic_cast<TableViewCellAccessoryView*>(m_shownAccessory.get()))
        return 30;
    return m_shownAccessory->frame().width() + 10;
}

void TableViewCell::layoutSubviews() {
    Rect b = bounds();
    bool plainSeparator
        = !m_grouped && m_tableView && m_tableView->separatorStyle() != TableViewCellSeparatorStyle::None;
    double height = b.height() - (plainSeparator ? 1 : 0);
    double left = 0, right = b.width();
    if (m_editControl) {
        m_editControl->setFrame(Rect(m_grouped ? -kEditControlWidth - 6 : 0, 0, kEditControlWidth, height));
        if (!m_grouped && m_shouldIndentWhileEditing)
            left += kEditControlWidth;
    }
    if (m_reorderControl) {
        m_reorderControl->setFrame(Rect(b.width() - kReorderWidth, 0, kReorderWidth, height));
        right -= kReorderWidth;
    }
    if (m_deleteButton) {
        double width = std::max(64.0, m_deleteButton->sizeThatFits({}).width + 16);
        m_deleteButton->setFrame(Rect(b.width() - width - 10, std::floor((height - 30) / 2), width, 30));
        right = b.width() - width - 20;
    }
    if (m_shownAccessory && !m_shownAccessory->isHidden()) {
        double aw = accessoryWidth();
        Size size = m_shownAccessory->frame().size;
        double x = b.width() - aw + (aw - size.width) / 2
            - (dynamic_cast<TableViewCellAccessoryView*>(m_shownAccessory.get()) ? 0 : 5);
        if (dynamic_cast<TableViewCellAccessoryView*>(m_shownAccessory.get()))
            x = b.width() - 30;
        m_shownAccessory->setFrame(
            Rect(std::floor(x), std::floor((height - size.height) / 2), size.width, size.height));
        right = std::min(right, b.width() - aw);
    }
    left += m_indentationLevel * m_indentationWidth;
    m_contentView->setFrame(Rect(left, 0, std::max(0.0, right - left), height));
    if (m_backgroundView)
        m_backgroundView->setFrame(b);
    if (m_defaultBackground)
        m_defaultBackground->setFrame(b);
    if (m_selectedBackgroundView)
        m_selectedBackgroundView->setFrame(b);
    if (m_defaultSelectedBackground)
        m_defaultSelectedBackground->setFrame(b);

    // The labels of the cell's style.
    Rect c = m_contentView->bounds();
    double x = 10;
    if (m_imageView->image()) {
        Size s = m_imageView->image().size();
        s.width = std::min(s.width, c.height());
        s.height = std::min(s.height, c.height());
        m_imageView->setFrame(
            Rect(m_grouped ? 10 : 5, std::floor((c.height() - s.height) / 2), s.width, s.height));
        x = m_imageView->frame().maxX() + 10;
    } else {
        m_imageView->setFrame(Rect());
    }
    double w = std::max(0.0, c.width() - x - 10);
    switch (m_style) {
    case TableViewCellStyle::Default:
        m_textLabel->setFrame(Rect(x, 0, w, c.height()));
        break;
    case TableViewCellStyle::Subtitle: {
        bool hasDetail = m_detailTextLabel && !m_detailTextLabel->text().empty();
        double titleHeight = std::ceil(m_textLabel->font().lineHeight());
        if (!hasDetail) {
            m_textLabel->setFrame(Rect(x, 0, w, c.height()));
            m_detailTextLabel->setFrame(Rect(x, c.height(), w, 0));
            break;
        }
        int lines = m_detailTextLabel->numberOfLines();
        double detailHeight = m_detailTextLabel->sizeThatFits({w, 0}).height;
        if (lines == 1)
            detailHeight = std::ceil(m_detailTextLabel->font().lineHeight());
        double total = titleHeight + detailHeight;
        double top = std::max(0.0, std::floor((c.height() - total) / 2));
        m_textLabel->setFrame(Rect(x, top, w, titleHeight));
        m_detailTextLabel->setFrame(
            Rect(x, top + titleHeight, w, std::min(detailHeight, c.height() - top - titleHeight)));
        break;
    }
    case TableViewCellStyle::Value1: {
        double detailWidth = std::min(w, m_detailTextLabel->sizeThatFits({}).width);
        double titleWidth
            = std::min(m_textLabel->sizeThatFits({}).width, std::max(0.0, w - detailWidth - 10));
        m_textLabel->setFrame(Rect(x, 0, titleWidth, c.height()));
        m_detailTextLabel->setFrame(Rect(x + w - detailWidth, 0, detailWidth, c.height()));
        break;
    }
    case TableViewCellStyle::Value2:
        m_textLabel->setFrame(Rect(x, 0, 67, c.height()));
        m_detailTextLabel->setFrame(Rect(x + 73, 0, std::max(0.0, w - 73), c.height()));
        break;
    }
}

void TableViewCell::drawOverlay(graphics::Context& context, Rect) {
    if (m_grouped || !m_tableView)
        return;
    TableViewCellSeparatorStyle style = m_tableView->separatorStyle();
    if (style == TableViewCellSeparatorStyle::None)
        return;
    Rect b = bounds();
    context.setFillColor(m_tableView->separatorColor());
    context.fillRect(Rect(b.x(), b.maxY() - 1, b.width(), 1));
    if (style == TableViewCellSeparatorStyle::SingleLineEtched) {
        context.setFillColor(Color::whiteColor().withAlpha(0.6));
        context.fillRect(Rect(b.x(), b.y(), b.width(), 1));
    }
}

} // namespace platform::views

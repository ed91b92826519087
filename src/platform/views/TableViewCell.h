#pragma once

#include <memory>
#include <string>

#include "platform/views/View.h"

namespace platform::views {

class Control;
class ImageView;
class Label;
class TableView;

enum class TableViewCellStyle { Default, Value1, Value2, Subtitle };
enum class TableViewCellAccessoryType { None, DisclosureIndicator, DetailDisclosureButton, Checkmark };
enum class TableViewCellSelectionStyle { None, Blue, Gray };
enum class TableViewCellEditingStyle { None, Delete, Insert };
enum class TableViewCellSeparatorStyle { None, SingleLine, SingleLineEtched };

// A row of a table view. Its content goes into contentView (the labels and image view of
// its style are already there); the accessory sits at the right, edit controls at the
// left while the table edits. Cells are reused: a table hands cells that scrolled away to
// dequeueReusableCellWithIdentifier, after prepareForReuse.
//
// Background: a plain table's cells are transparent unless given a background colour or
// view; in a grouped table the background colour fills the rounded group shape.
class TableViewCell : public View {
public:
    TableViewCell(TableViewCellStyle style, std::string reuseIdentifier);
    ~TableViewCell() override;

    TableViewCellStyle style() const { return m_style; }
    const std::string& reuseIdentifier() const { return m_reuseIdentifier; }

    View& contentView() const { return *m_contentView; }
    Label& textLabel() const { return *m_textLabel; }
    // None for the default style.
    Label* detailTextLabel() const { return m_detailTextLabel.get(); }
    ImageView& imageView() const { return *m_imageView; }

    TableViewCellAccessoryType accessoryType() const { return m_accessoryType; }
    void setAccessoryType(TableViewCellAccessoryType type);
    // A view in place of the accessory type's.
    const std::shared_ptr<View>& accessoryView() const { return m_accessoryView; }
    void setAccessoryView(std::shared_ptr<View> view);
    TableViewCellAccessoryType editingAccessoryType() const { return m_editingAccessoryType; }
    void setEditingAccessoryType(TableViewCellAccessoryType type);
    TableViewCellSelectionStyle selectionStyle() const { return m_selectionStyle; }
    void setSelectionStyle(TableViewCellSelectionStyle style) { m_selectionStyle = style; }
    const std::shared_ptr<View>& backgroundView() const { return m_backgroundView; }
    void setBackgroundView(std::shared_ptr<View> view);
    const std::shared_ptr<View>& selectedBackgroundView() const { return m_selectedBackgroundView; }
    void setSelectedBackgroundView(std::shared_ptr<View> view);
    void setBackgroundColor(std::optional<Color> color) override;
    std::optional<Color> cellBackgroundColor() const { return m_cellBackgroundColor; }
    int indentationLevel() const { return m_indentationLevel; }
    void setIndentationLevel(int level);
    double indentationWidth() const { return m_indentationWidth; }
    void setIndentationWidth(double width);

    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected, bool animated = false);
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted, bool animated = false);

    bool isEditing() const { return m_editing; }
    virtual void setEditing(bool editing, bool animated = false);
    TableViewCellEditingStyle editingStyle() const { return m_editingStyle; }
    bool showsReorderControl() const { return m_showsReorderControl; }
    void setShowsReorderControl(bool shows);
    bool shouldIndentWhileEditing() const { return m_shouldIndentWhileEditing; }
    void setShouldIndentWhileEditing(bool indent);
    bool showingDeleteConfirmation() const { return m_showingDeleteConfirmation; }

    // The views of the edit controls while shown (for tests and the driver); none otherwise.
    View* editingControl() const;
    View* reorderControl() const;
    View* deleteConfirmationButton() const;
    View* accessoryControl() const;

    // Called before the table hands the cell out again; resets selection and editing.
    virtual void prepareForReuse();

    void layoutSubviews() override;
    void drawOverlay(graphics::Context& context, Rect rect) override;

    // The table sets these while the cell is on it.
    enum class GroupPosition { Single, Top, Middle, Bottom };
    void attachToTable(TableView* table, bool grouped, GroupPosition position);
    TableView* tableView() const { return m_tableView; }
    bool isGrouped() const { return m_grouped; }
    GroupPosition groupPosition() const { return m_position; }
    void setEditingState(bool editing, TableViewCellEditingStyle style, bool showsReorder, bool indent);
    void setShowingDeleteConfirmation(bool showing, const std::string& title = "Delete");

private:
    void updateBackground();
    void updateHighlight();
    void rebuildAccessory();
    void rebuildEditControls();
    double accessoryWidth() const;

    TableViewCellStyle m_style;
    std::string m_reuseIdentifier;
    std::shared_ptr<View> m_contentView;
    std::shared_ptr<Label> m_textLabel;
    std::shared_ptr<Label> m_detailTextLabel;
    std::shared_ptr<ImageView> m_imageView;
    TableViewCellAccessoryType m_accessoryType {TableViewCellAccessoryType::None};
    TableViewCellAccessoryType m_editingAccessoryType {TableViewCellAccessoryType::None};
    std::shared_ptr<View> m_accessoryView;
    std::shared_ptr<View> m_shownAccessory;
    TableViewCellSelectionStyle m_selectionStyle {TableViewCellSelectionStyle::Blue};
    std::shared_ptr<View> m_backgroundView;
    std::shared_ptr<View> m_selectedBackgroundView;
    std::shared_ptr<View> m_defaultBackground;
    std::shared_ptr<View> m_defaultSelectedBackground;
    std::optional<Color> m_cellBackgroundColor;
    int m_indentationLevel {0};
    double m_indentationWidth {10};
    bool m_selected {false};
    bool m_highlighted {false};
    bool m_editing {false};
    TableViewCellEditingStyle m_editingStyle {TableViewCellEditingStyle::None};
    bool m_showsReorderControl {false};
    bool m_shouldIndentWhileEditing {true};
    bool m_showingDeleteConfirmation {false};
    std::string m_deleteTitle {"Delete"};
    std::shared_ptr<Control> m_editControl;
    std::shared_ptr<View> m_reorderControl;
    std::shared_ptr<Control> m_deleteButton;
    TableView* m_tableView {nullptr};
    bool m_grouped {false};
    GroupPosition m_position {GroupPosition::Single};
};

} // namespace platform::views

#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/views/ScrollView.h"
#include "platform/views/TableViewProtocols.h"

namespace platform::views {

enum class TableViewStyle { Plain, Grouped };
enum class TableViewScrollPosition { None, Top, Middle, Bottom };
enum class TableViewRowAnimation { Fade, Right, Left, Top, Bottom, None, Middle };

// A scrolling list of rows in sections, plain (full-width rows, floating section
// headers) or grouped (rounded groups on a grey background).
//
// Only the rows in view have cells: cells that scroll away go back to a reuse pool by
// identifier (dequeueReusableCellWithIdentifier). Tapping a row selects it (the delegate's
// willSelect / didSelect); the row stays selected until deselectRowAtIndexPath. In
// editing mode editable rows show a delete control (tap, then the "Delete" button commits
// through the data source) and movable rows a reorder control to drag them; outside
// editing, swiping an editable row sideways shows the "Delete" button.
//
// After the model changes, tell the table: reloadData, reloadRowsAtIndexPaths,
// insertRowsAtIndexPaths or deleteRowsAtIndexPaths (changes apply at once; the animation
// is accepted and not shown). A data source whose row counts disagree with an insertion or
// deletion gets a full reload instead of the phone's crash, after the update mismatch
// handler was told (test builds make that a test failure).
class TableView : public ScrollView {
public:
    static constexpr double kAutomaticDimension = -1;

    explicit TableView(Rect frame, TableViewStyle style = TableViewStyle::Plain);
    ~TableView() override;

    TableViewStyle style() const { return m_style; }

    // Held weakly: one that has gone is not called (the table then shows no rows).
    std::shared_ptr<TableViewDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(std::weak_ptr<TableViewDataSource> dataSource);
    std::shared_ptr<TableViewDelegate> tableDelegate() const { return m_delegate.lock(); }
    // Also the scroll view delegate.
    void setDelegate(std::weak_ptr<TableViewDelegate> delegate);

    double rowHeight() const { return m_rowHeight; }
    void setRowHeight(double height);
    double sectionHeaderHeight() const { return m_sectionHeaderHeight; }
    void setSectionHeaderHeight(double height);
    double sectionFooterHeight() const { return m_sectionFooterHeight; }
    void setSectionFooterHeight(double height);
    TableViewCellSeparatorStyle separatorStyle() const { return m_separatorStyle; }
    void setSeparatorStyle(TableViewCellSeparatorStyle style);
    Color separatorColor() const { return m_separatorColor; }
    void setSeparatorColor(Color color);
    const std::shared_ptr<View>& tableHeaderView() const { return m_tableHeaderView; }
    void setTableHeaderView(std::shared_ptr<View> view);
    const std::shared_ptr<View>& tableFooterView() const { return m_tableFooterView; }
    void setTableFooterView(std::shared_ptr<View> view);
    bool allowsSelection() const { return m_allowsSelection; }
    void setAllowsSelection(bool allows) { m_allowsSelection = allows; }
    bool allowsSelectionDuringEditing() const { return m_allowsSelectionDuringEditing; }
    void setAllowsSelectionDuringEditing(bool allows) { m_allowsSelectionDuringEditing = allows; }

    bool isEditing() const { return m_editing; }
    void setEditing(bool editing, bool animated = false);

    void reloadData();
    void reloadRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation);
    void reloadSections(const std::vector<int>& sections, TableViewRowAnimation animation);
    void insertRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation);
    void deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation);
    void insertSections(const std::vector<int>& sections, TableViewRowAnimation animation);
    void deleteSections(const std::vector<int>& sections, TableViewRowAnimation animation);
    // Changes between these two apply together at endUpdates.
    void beginUpdates();
    void endUpdates();

    int numberOfSections();
    int numberOfRowsInSection(int section);

    // A cell from the reuse pool, or none (then make one).
    std::shared_ptr<TableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);
    // A cell of class C from the reuse pool, or a new one, C(args..., identifier), when the
    // pool has none of that class: `table.dequeueReusableCell("cell", TableViewCellStyle::Subtitle)`
    // or, for a cell class of a screen, `table.dequeueReusableCell<ServiceCell>("cell")`.
    template<class C = TableViewCell, class... Args>
    std::shared_ptr<C> dequeueReusableCell(const std::string& identifier, Args&&... args) {
        if (auto cell = std::dynamic_pointer_cast<C>(dequeueReusableCellWithIdentifier(identifier)))
            return cell;
        return std::make_shared<C>(std::forward<Args>(args)..., identifier);
    }

    // Told when a data source's row counts disagree with an insertion or deletion (the
    // model was not updated before the table was told); none by default.
    static void setUpdateMismatchHandler(std::function<void(const std::string&)> handler);
    // The cell of a visible row, or none.
    TableViewCell* cellForRowAtIndexPath(IndexPath indexPath);
    std::vector<TableViewCell*> visibleCells();
    std::vector<IndexPath> indexPathsForVisibleRows();
    std::optional<IndexPath> indexPathForCell(const TableViewCell* cell);
    std::optional<IndexPath> indexPathForRowAtPoint(Point point);
    Rect rectForRowAtIndexPath(IndexPath indexPath);
    Rect rectForSection(int section);
    Rect rectForHeaderInSection(int section);
    Rect rectForFooterInSection(int section);
    // The header or footer view shown for a section now, or none.
    View* headerViewForSection(int section);
    View* footerViewForSection(int section);

    std::optional<IndexPath> indexPathForSelectedRow() const { return m_selected; }
    // Selects without asking the delegate.
    void selectRowAtIndexPath(
        std::optional<IndexPath> indexPath, bool animated, TableViewScrollPosition position);
    void deselectRowAtIndexPath(IndexPath indexPath, bool animated);
    void scrollToRowAtIndexPath(IndexPath indexPath, TableViewScrollPosition position, bool animated);

    // The row whose delete button shows now (editing mode or swipe), if any.
    std::optional<IndexPath> indexPathShowingDeleteConfirmation() const { return m_confirming; }

    // Cells and their controls call these.
    void editControlTapped(TableViewCell& cell);
    void deleteConfirmationTapped(TableViewCell& cell);
    void accessoryTapped(TableViewCell& cell);
    void reorderBegan(TableViewCell& cell, Touch& touch);
    void reorderMoved(Touch& touch);
    void reorderEnded(Touch& touch, bool cancelled);
    bool isReordering() const { return m_reorderCell != nullptr; }

    void layoutSubviews() override;
    void drawRect(graphics::Context& context, Rect rect) override;
    void setFrame(Rect frame) override;
    bool shouldCaptureTouch(const Touch& touch) const override;
    void beginCapturedTouch(Touch& touch) override;
    void touchesBegan(Touch& touch) override;
    void touchesMoved(Touch& touch) override;
    void touchesEnded(Touch& touch) override;
    void touchesCancelled(Touch& touch) override;

protected:
    void didTap(Touch& touch) override;

private:
    struct Section {
        double headerY {0};
        double headerHeight {0};
        double footerHeight {0};
        std::optional<std::string> headerTitle;
        std::optional<std::string> footerTitle;
        std::vector<double> rowY;
        std::vector<double> rowHeight;
        double footerY {0};
        double end {0};
    };

    void buildGeometry();
    void ensureGeometry();
    void layoutCells();
    void layoutSectionViews();
    void configureCell(TableViewCell& cell, IndexPath indexPath);
    Rect cellFrame(IndexPath indexPath) const;
    // Where the dragged row would land were it let go with its centre at this height.
    IndexPath reorderTargetAt(double centerY) const;
    // While a row is dragged, the rows between its place and where it would land stand
    // aside by its height, so the gap shows where it goes.
    Rect reorderingFrame(IndexPath indexPath) const;
    void enqueue(const std::shared_ptr<TableViewCell>& cell);
    void recycleAllCells();
    void setConfirming(std::optional<IndexPath> indexPath);
    bool isRowEditable(IndexPath indexPath);
    void selectByUser(IndexPath indexPath);
    std::shared_ptr<View> makeSectionView(int section, bool header);
    void checkedUpdate(int expectedRowDelta, const std::vector<int>& sections);
    void highlightRow(std::optional<IndexPath> indexPath);
    bool valid(IndexPath indexPath) const;

    TableViewStyle m_style;
    std::weak_ptr<TableViewDataSource> m_dataSource;
    std::weak_ptr<TableViewDelegate> m_delegate;
    double m_rowHeight {44};
    double m_sectionHeaderHeight {kAutomaticDimension};
    double m_sectionFooterHeight {kAutomaticDimension};
    TableViewCellSeparatorStyle m_separatorStyle {TableViewCellSeparatorStyle::SingleLine};
    Color m_separatorColor {Color::white(0.88)};
    std::shared_ptr<View> m_tableHeaderView;
    std::shared_ptr<View> m_tableFooterView;
    bool m_allowsSelection {true};
    bool m_allowsSelectionDuringEditing {false};
    bool m_editing {false};

    bool m_geometryValid {false};
    std::vector<Section> m_sections;
    double m_sectionsTop {0};
    double m_sectionsBottom {0};
    std::vector<int> m_countsBeforeUpdate;
    int m_updateDepth {0};

    std::map<IndexPath, std::shared_ptr<TableViewCell>> m_visible;
    std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>> m_reusePool;
    std::map<int, std::shared_ptr<View>> m_headerViews;
    std::map<int, std::shared_ptr<View>> m_footerViews;
    bool m_inLayout {false};

    std::optional<IndexPath> m_selected;
    std::optional<IndexPath> m_highlighted;
    std::optional<IndexPath> m_confirming;
    bool m_swipeConfirming {false};

    // Touch handling.
    std::optional<IndexPath> m_touchRow;
    bool m_swiping {false};
    std::optional<IndexPath> m_swipeRow;
    double m_swipeStartX {0};

    // Reordering.
    TableViewCell* m_reorderCell {nullptr};
    std::shared_ptr<TableViewCell> m_reorderKeep;
    IndexPath m_reorderFrom;
    IndexPath m_reorderTo;
    double m_reorderStartY {0};
    double m_reorderCellStartY {0};
};

} // namespace platform::views

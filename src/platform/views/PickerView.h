#pragma once

#include <memory>

#include <string>
#include <vector>

#include "platform/views/View.h"

namespace platform::views {

class PickerView;

// Where a picker's rows come from.
class PickerViewDataSource {
public:
    virtual ~PickerViewDataSource() = default;
    virtual int numberOfComponentsInPickerView(PickerView&) { return 1; }
    virtual int numberOfRowsInComponent(PickerView&, int component) = 0;
};

// What a picker asks and tells its delegate. Every operation is optional.
class PickerViewDelegate {
public:
    virtual ~PickerViewDelegate() = default;
    virtual std::string titleForRow(PickerView&, int row, int component) { return ""; }
    // The user turned a wheel to a row (selectRow from code does not tell).
    virtual void didSelectRow(PickerView&, int row, int component) { }
    virtual double rowHeightForComponent(PickerView&, int component) { return 44; }
    // 0 = share the width equally.
    virtual double widthForComponent(PickerView&, int component) { return 0; }
};

// Spinning wheels of rows (one per component), 216 points high. Dragging a wheel turns
// it and it settles on the row nearest the middle band; tapping a row above or below the
// band turns the wheel to it. Either way the delegate hears didSelectRow.
class PickerView : public View {
public:
    static constexpr double kHeight = 216;

    PickerView();
    explicit PickerView(Rect frame);

    // Held weakly: one that has gone is not called.
    std::shared_ptr<PickerViewDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(std::weak_ptr<PickerViewDataSource> dataSource);
    std::shared_ptr<PickerViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<PickerViewDelegate> delegate);
    bool showsSelectionIndicator() const { return m_showsSelectionIndicator; }
    void setShowsSelectionIndicator(bool shows);

    int numberOfComponents() const;
    int numberOfRowsInComponent(int component) const;
    // -1 when no row is selected.
    int selectedRowInComponent(int component) const;
    void selectRow(int row, int component, bool animated);
    void reloadAllComponents();
    void reloadComponent(int component);
    // The wheel area of a component and the middle band, in the picker's coordinates.
    Rect rectForComponent(int component) const;
    Rect selectionBandRect() const;
    // Where row `row` of `component` is drawn now.
    Rect rectForRow(int row, int component) const;

    void drawRect(graphics::Context& context, Rect rect) override;
    void touchesBegan(Touch& touch) override;
    void touchesMoved(Touch& touch) override;
    void touchesEnded(Touch& touch) override;
    void touchesCancelled(Touch& touch) override;

private:
    struct Wheel {
        int rows {0};
        int selected {-1};
        double position {0}; // the row at the band's centre, fractional while turning
    };
    void syncWheels();
    double rowHeight(int component) const;
    int componentAt(Point point) const;
    void settle(int component, int row, bool notify);

    std::weak_ptr<PickerViewDataSource> m_dataSource;
    std::weak_ptr<PickerViewDelegate> m_delegate;
    bool m_showsSelectionIndicator {true};
    std::vector<Wheel> m_wheels;
    int m_trackingComponent {-1};
    double m_trackingStartPosition {0};
};

} // namespace platform::views

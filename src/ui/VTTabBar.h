#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "model/Vehicle.h"
#include "platform/views/Button.h"
#include "platform/views/View.h"

class QLRoundedRectView;

// The strip along the bottom of a vehicle's pages that switches between them: "Car" (back
// to the vehicle menu) and a button for each page the application has (VehiclePages), with
// a rounded selector behind the chosen one. Pressing another button moves the selector and,
// when it stops, replaces the bar's own page by the chosen one (or pops back to the menu for
// "Car"). Taps are ignored while a switch is under way, and only the bar's own page is ever
// replaced, so quick taps cannot pop the pages below it.
class VTTabBar : public platform::views::View {
public:
    static constexpr double kHeight = 44;

    explicit VTTabBar(platform::views::Rect frame);

    const Vehicle& vehicle() const { return m_vehicle; }
    // Also moves the selector to the bar's own page.
    void setVehicle(Vehicle vehicle);
    QLRoundedRectView& selector() const { return *m_selector; }
    platform::views::Button* buttonWithTag(int tag) const;
    const std::vector<std::shared_ptr<platform::views::Button>>& buttons() const { return m_buttons; }

    // The selected button's tag, one for all bars, kept for the life of the process.
    static int selectedButton();
    static void setSelectedButton(int tag);

    // A glossy face of `color` for the bar, and one of the theme's third colour for the
    // selector.
    void setBackgroundColor(std::optional<platform::views::Color> color) override;

    void buttonPressed(int tag);
    void selectButton(bool animated);
    bool isSwitching() const { return m_switching; }

private:
    void loadView();
    // The page whose view holds this bar.
    platform::views::ViewController* ownPage() const;
    void switchPage();

    Vehicle m_vehicle;
    std::shared_ptr<QLRoundedRectView> m_selector;
    std::vector<std::shared_ptr<platform::views::Button>> m_buttons;
    bool m_switching {false};
};

#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/base/NotificationCenter.h"
#include "platform/views/Button.h"
#include "platform/views/Label.h"
#include "platform/views/ViewController.h"
#include "ui/Theme.h"

class ShadowView;
class VTPlainCellBackgroundView;

// The colours of the current theme.
struct ThemeColors {
    platform::views::Color first;
    platform::views::Color second;
    platform::views::Color third;
    bool headerFlag {false};
};

// The base of every screen: paints bars, tables, cell backgrounds, labels and buttons from
// the current colour theme, offers the standard table header and footer views and the
// feedback mail, and re-applies the theme each time it is about to appear.
//
// The theme is module-wide state shared by all screens. It starts empty (the accessors
// then answer theme 0's colours) until a theme is selected, normally by the vehicle list
// when it loads.
//
// Subclasses that override viewDidLoad, viewWillAppear or viewDidAppear call the base.
class ThemedViewController : public platform::views::ViewController {
public:
    ThemedViewController();
    explicit ThemedViewController(const std::string& layoutName);
    ~ThemedViewController() override;

    // --- The theme (module-wide)

    static int selectedTheme();
    // Selects a theme: when it is the current one (and a theme has been selected) nothing
    // happens. Otherwise the current colours and header colour follow the table row, the
    // receiving screen (if any) applies the theme, and the number is stored in the settings
    // (themeIndex). A number outside 0..34 selects theme 0.
    static void setSelectedTheme(int number, ThemedViewController* receiver = nullptr);
    // Selects the theme stored in the settings (one outside 0..34 selecting theme 0), for
    // instance after settings were restored from a backup.
    static void resetTheme(ThemedViewController* receiver = nullptr);
    static const ThemeColors& currentTheme();
    static platform::views::Color firstColor() { return currentTheme().first; }
    static platform::views::Color secondColor() { return currentTheme().second; }
    static platform::views::Color thirdColor() { return currentTheme().third; }
    // The colour of table header and footer texts: the first colour for themes with the
    // header flag, white for the others.
    static platform::views::Color tableViewHeaderColor();
    // The help pages: the help base address, "mobile/vantrel/help/", and for themes with the
    // header flag "?t=" with the first colour as six lower-case hex digits.
    static std::string helpURL();
    // Tests: back to no theme selected.
    static void forgetTheme();

    // --- Styling helpers (the current theme)

    // A cell background: white at alpha 0.35 with a separator in the first colour at 0.75.
    static void applyThemeToBackgroundView(VTPlainCellBackgroundView& view);
    // A selected cell background: the first colour at alpha 0.15, separator in the first.
    static void applyThemeToSelectedBackgroundView(VTPlainCellBackgroundView& view);
    static std::shared_ptr<VTPlainCellBackgroundView> plainCellBackgroundView();
    static std::shared_ptr<VTPlainCellBackgroundView> plainCellSelectedBackgroundView();
    // Glossy faces in the first colour (pressed: the third), white titles with a dark grey
    // shadow, the medium font; with roundCorners the face is rounded by a quarter of the
    // button's height.
    static void applyThemeToButton(platform::views::Button& button, bool roundCorners);
    static void setExtraSmallFont(platform::views::Label& label); // 12, black
    static void setSmallFont(platform::views::Label& label); // 14, black
    static void setMediumFont(platform::views::Label& label); // 16, the first colour
    static void setLargeFont(platform::views::Label& label); // 20, the first colour, white shadow
    // Section header and footer views of grouped tables, and the header of plain tables.
    static std::shared_ptr<platform::views::View> tableHeaderViewWithText(const std::string& text);
    static std::shared_ptr<platform::views::View> tableFooterViewWithText(const std::string& text);
    static std::shared_ptr<platform::views::View> plainTableHeaderViewWithText(const std::string& text);

    // --- Per screen

    // The shadow strip kept behind the top of the content (made by applyTheme).
    const std::shared_ptr<ShadowView>& topShadowView() const { return m_topShadowView; }
    void setTopShadowView(std::shared_ptr<ShadowView> view) { m_topShadowView = std::move(view); }

    // Paints this screen: the top shadow, toolbars, tables (clear, no separators, a shadow
    // footer under plain tables that have no footer; reloaded) and the navigation bar.
    virtual void applyTheme();

    // The feedback mail: with a mail handler on the device, the subject and the plain-text body
    // (the message and a footer naming the device and its system version) go to the
    // handler as a mailto: address; without one, an "Error" alert explains that mail is
    // not set up. Answers whether the mail was handed over.
    bool presentMailViewControllerWithSubject(
        const std::string& subject, const std::string& message, const std::optional<std::string>& recipient);
    // The mailto: address handed over (exposed for tests).
    static std::string mailtoURL(
        const std::string& subject, const std::string& body, const std::optional<std::string>& recipient);
    static std::string mailBody(const std::string& message);

    // Keyboard hooks, called on the platform's keyboard notifications once the view has
    // loaded; they do nothing here.
    virtual void keyboardWillShow(const platform::Notification&) { }
    virtual void keyboardWillHide(const platform::Notification&) { }
    virtual void keyboardDidShow(const platform::Notification&) { }
    virtual void keyboardDidHide(const platform::Notification&) { }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

private:
    std::shared_ptr<ShadowView> m_topShadowView;
    platform::ObserverToken m_keyboardWillShow;
    platform::ObserverToken m_keyboardWillHide;
    platform::ObserverToken m_keyboardDidShow;
    platform::ObserverToken m_keyboardDidHide;
};

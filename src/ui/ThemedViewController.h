#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/base/NotificationCenter.h"
#include "platform/views/ViewController.h"
#include "ui/ThemeStyling.h"

class ShadowView;

// The base of every screen: re-applies the current theme each time it is about to appear
// (bars, tables, the shadow under the navigation bar) and calls the keyboard hooks on the
// platform's keyboard notifications. The styling helpers (fonts, cell backgrounds, header
// views) come with it from ThemeStyling.
//
// Subclasses that override viewDidLoad, viewWillAppear or viewDidAppear call the base.
class ThemedViewController : public platform::views::ViewController, public ThemeStyling {
public:
    ThemedViewController();
    explicit ThemedViewController(const std::string& layoutName);
    ThemedViewController(const std::string& layoutName, const Layout& layout);
    ~ThemedViewController() override;

    // --- The theme (module-wide, see SelectedTheme)

    static int selectedTheme() { return SelectedTheme::number(); }
    // Selects a theme: when it is the current one (and a theme has been selected) nothing
    // happens. Otherwise the colours follow the table row, the receiving screen (if any)
    // applies the theme, and the number is stored in the settings (themeIndex). A number
    // outside 0..34 selects theme 0.
    static void setSelectedTheme(int number, ThemedViewController* receiver = nullptr);
    // Selects the theme stored in the settings (one outside 0..34 selecting theme 0), for
    // instance after settings were restored from a backup.
    static void resetTheme(ThemedViewController* receiver = nullptr);
    static void forgetTheme() { SelectedTheme::forget(); }

    // --- Per screen

    // The shadow strip kept behind the top of the content (made by applyTheme).
    const std::shared_ptr<ShadowView>& topShadowView() const { return m_topShadowView; }

    // Paints this screen: the top shadow, toolbars, tables (clear, no separators, a shadow
    // footer under plain tables that have no footer; reloaded) and the navigation bar.
    virtual void applyTheme();

    // The feedback mail (FeedbackMail::present).
    bool presentMailViewControllerWithSubject(
        const std::string& subject, const std::string& message, const std::optional<std::string>& recipient);

    // An alert with one "OK" button and no delegate: the validation messages of the forms.
    static void showAlert(const std::string& title, const std::string& message);
    // What a form shows when the store did not take its record: the form stays open with
    // the values as typed.
    static void showSaveFailedAlert();

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

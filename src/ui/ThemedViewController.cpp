#include "ui/ThemedViewController.h"

#include "model/SettingsManager.h"
#include "platform/views/AlertView.h"
#include "platform/views/Keyboard.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Screen.h"
#include "platform/views/TableView.h"
#include "platform/views/Toolbar.h"
#include "ui/FeedbackMail.h"
#include "ui/ShadowView.h"
#include "ui/Theme.h"

using namespace platform::views;

namespace {

constexpr double kShadowHeight = 13;

} // namespace

ThemedViewController::ThemedViewController() = default;

ThemedViewController::ThemedViewController(const std::string& layoutName)
    : ViewController(layoutName) { }

ThemedViewController::ThemedViewController(const std::string& layoutName, const Layout& layout)
    : ViewController(layoutName, layout) { }

ThemedViewController::~ThemedViewController() = default;

void ThemedViewController::setSelectedTheme(int number, ThemedViewController* receiver) {
    if (SelectedTheme::select(number) && receiver)
        receiver->applyTheme();
}

void ThemedViewController::resetTheme(ThemedViewController* receiver) {
    setSelectedTheme(SettingsManager::sharedManager().themeIndex(), receiver);
}

bool ThemedViewController::presentMailViewControllerWithSubject(
    const std::string& subject, const std::string& message, const std::optional<std::string>& recipient) {
    return FeedbackMail::present(subject, message, recipient);
}

void ThemedViewController::showAlert(const std::string& title, const std::string& message) {
    std::make_shared<AlertView>(title, message, nullptr, "OK")->show();
}

void ThemedViewController::showSaveFailedAlert() {
    showAlert("Error",
        "The change could not be saved. Check that there is free space on this device and that Vantrel's "
        "data folder can be written to, then try again.");
}

// --- Per screen

void ThemedViewController::viewDidLoad() {
    ViewController::viewDidLoad();
    auto& center = platform::NotificationCenter::defaultCenter();
    // The tokens live as long as this screen, so the hooks never reach a released one.
    m_keyboardWillShow
        = center.addObserver(kKeyboardWillShowNotification, [this](auto& n) { keyboardWillShow(n); });
    m_keyboardWillHide
        = center.addObserver(kKeyboardWillHideNotification, [this](auto& n) { keyboardWillHide(n); });
    m_keyboardDidShow
        = center.addObserver(kKeyboardDidShowNotification, [this](auto& n) { keyboardDidShow(n); });
    m_keyboardDidHide
        = center.addObserver(kKeyboardDidHideNotification, [this](auto& n) { keyboardDidHide(n); });
}

void ThemedViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    applyTheme();
}

void ThemedViewController::viewDidAppear(bool animated) {
    ViewController::viewDidAppear(animated);
    if (NavigationController* navigation = navigationController()) {
        for (const auto& subview : navigation->navigationBar().subviews())
            subview->setNeedsDisplay();
    }
}

void ThemedViewController::applyTheme() {
    const std::shared_ptr<View> root = view();
    if (!m_topShadowView) {
        m_topShadowView = std::make_shared<ShadowView>(Rect(0, 0, Screen::kWidth, kShadowHeight));
        root->insertSubview(m_topShadowView, 0);
    }

    NavigationBar* bar = nullptr;
    if (NavigationController* navigation = navigationController())
        bar = &navigation->navigationBar();

    const Color first = firstColor();
    // A copy: reloading a table may change the view's subviews.
    const std::vector<std::shared_ptr<View>> subviews = root->subviews();
    for (const auto& subview : subviews) {
        if (auto* toolbar = dynamic_cast<Toolbar*>(subview.get())) {
            toolbar->setTintColor(first);
        } else if (auto* table = dynamic_cast<TableView*>(subview.get())) {
            table->setBackgroundColor(Color::clear());
            table->setSeparatorStyle(TableViewCellSeparatorStyle::None);
            if (table->style() == TableViewStyle::Plain && !table->tableFooterView())
                table->setTableFooterView(
                    std::make_shared<ShadowView>(Rect(0, 0, Screen::kWidth, kShadowHeight)));
            table->reloadData();
        } else if (auto* navigationBar = dynamic_cast<NavigationBar*>(subview.get())) {
            if (!bar)
                bar = navigationBar;
        }
    }

    if (bar) {
        bar->setTintColor(first);
        for (const auto& item : bar->subviews())
            item->setNeedsDisplay();
    }
    root->setNeedsDisplay();
}

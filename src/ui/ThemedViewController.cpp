#include "ui/ThemedViewController.h"

#include <cstdio>

#include "QLCoreLibrary/ColorExtensions.h"
#include "QLCoreLibrary/ImageExtensions.h"
#include "model/SettingsManager.h"
#include "platform/base/Device.h"
#include "platform/views/AlertView.h"
#include "platform/views/Application.h"
#include "platform/views/Keyboard.h"
#include "platform/views/NavigationController.h"
#include "platform/views/TableView.h"
#include "platform/views/Toolbar.h"
#include "ui/Configuration.h"
#include "ui/DeviceHardware.h"
#include "ui/ShadowView.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;
using platform::graphics::Font;

namespace {

struct ThemeState {
    int selected {0};
    bool chosen {false}; // a theme has been selected since start-up
    ThemeColors colors;
    Color headerColor {Color::whiteColor()};
};

ThemeColors colorsOf(const Theme& theme) {
    return {
        colorWithHex(theme.first), colorWithHex(theme.second), colorWithHex(theme.third), theme.headerFlag};
}

ThemeState& state() {
    static ThemeState theme {0, false, colorsOf(kThemes[0]), Color::whiteColor()};
    return theme;
}

constexpr double kShadowHeight = 13;
constexpr double kScreenWidth = 320;

std::string percentEncoded(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
            || c == '_' || c == '~') {
            encoded += char(c);
        } else {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 0xF];
        }
    }
    return encoded;
}

} // namespace

ThemedViewController::ThemedViewController() = default;

ThemedViewController::ThemedViewController(const std::string& layoutName)
    : ViewController(layoutName) { }

ThemedViewController::~ThemedViewController() = default;

// --- The theme

int ThemedViewController::selectedTheme() {
    return state().selected;
}

void ThemedViewController::setSelectedTheme(int number, ThemedViewController* receiver) {
    if (number < 0 || number >= kThemeCount)
        number = 0;
    ThemeState& theme = state();
    if (number == theme.selected && theme.chosen)
        return;
    theme.selected = number;
    theme.chosen = true;
    theme.colors = colorsOf(kThemes[size_t(number)]);
    theme.headerColor = theme.colors.headerFlag ? theme.colors.first : Color::whiteColor();
    if (receiver)
        receiver->applyTheme();
    SettingsManager::sharedManager().setThemeIndex(number);
}

void ThemedViewController::resetTheme(ThemedViewController* receiver) {
    const int stored = SettingsManager::sharedManager().themeIndex();
    setSelectedTheme(stored >= 0 && stored < kThemeCount ? stored : 0, receiver);
}

const ThemeColors& ThemedViewController::currentTheme() {
    return state().colors;
}

Color ThemedViewController::tableViewHeaderColor() {
    return state().headerColor;
}

std::string ThemedViewController::helpURL() {
    std::string url = Configuration::helpBaseURL() + "mobile/vantrel/help/";
    if (currentTheme().headerFlag) {
        char query[16];
        std::snprintf(query, sizeof query, "?t=%06x", unsigned(currentTheme().first.hex()));
        url += query;
    }
    return url;
}

void ThemedViewController::forgetTheme() {
    state() = ThemeState {0, false, colorsOf(kThemes[0]), Color::whiteColor()};
}

// --- Styling helpers

void ThemedViewController::applyThemeToBackgroundView(VTPlainCellBackgroundView& view) {
    view.setBackgroundColor(Color::white(1, 0.35));
    view.setStrokeColor(changeAlpha(firstColor(), 0.75));
}

void ThemedViewController::applyThemeToSelectedBackgroundView(VTPlainCellBackgroundView& view) {
    view.setBackgroundColor(changeAlpha(firstColor(), 0.15));
    view.setStrokeColor(firstColor());
}

std::shared_ptr<VTPlainCellBackgroundView> ThemedViewController::plainCellBackgroundView() {
    auto view = std::make_shared<VTPlainCellBackgroundView>();
    applyThemeToBackgroundView(*view);
    return view;
}

std::shared_ptr<VTPlainCellBackgroundView> ThemedViewController::plainCellSelectedBackgroundView() {
    auto view = std::make_shared<VTPlainCellBackgroundView>();
    applyThemeToSelectedBackgroundView(*view);
    return view;
}

void ThemedViewController::applyThemeToButton(Button& button, bool roundCorners) {
    const double height = button.frame().height();
    // The toolkit's buttons have no corner mask of their own: the rounded glossy face gives
    // them their corners.
    const double radius = roundCorners ? height / 4 : 0;
    button.setBackgroundImage(
        stretchableGlossyImageWithColor(firstColor(), height, radius), ControlStateNormal);
    button.setBackgroundImage(
        stretchableGlossyImageWithColor(thirdColor(), height, radius), ControlStateHighlighted);
    button.setTitleColor(Color::whiteColor(), ControlStateNormal);
    button.setTitleColor(Color::whiteColor(), ControlStateHighlighted);
    button.setTitleShadowColor(Color::darkGray(), ControlStateNormal);
    button.titleLabel().setShadowOffset({1, 1});
    button.titleLabel().setFont(Font::systemFontOfSize(16));
}

void ThemedViewController::setExtraSmallFont(Label& label) {
    label.setFont(Font::systemFontOfSize(12));
    label.setTextColor(Color::black());
    label.setShadowColor(std::nullopt);
    label.setHighlightedTextColor(Color::whiteColor());
    label.setBackgroundColor(Color::clear());
}

void ThemedViewController::setSmallFont(Label& label) {
    setExtraSmallFont(label);
    label.setFont(Font::systemFontOfSize(14));
}

void ThemedViewController::setMediumFont(Label& label) {
    label.setFont(Font::systemFontOfSize(16));
    label.setTextColor(firstColor());
    label.setHighlightedTextColor(Color::whiteColor());
    label.setShadowColor(std::nullopt);
    label.setBackgroundColor(Color::clear());
}

void ThemedViewController::setLargeFont(Label& label) {
    label.setFont(Font::systemFontOfSize(20));
    label.setTextColor(firstColor());
    label.setHighlightedTextColor(Color::whiteColor());
    label.setShadowColor(Color::whiteColor());
    label.setShadowOffset({0, 1});
    label.setBackgroundColor(Color::clear());
}

std::shared_ptr<View> ThemedViewController::tableHeaderViewWithText(const std::string& text) {
    auto container = std::make_shared<View>(Rect(0, 0, kScreenWidth, 36));
    container->setBackgroundColor(Color::clear());
    container->setOpaque(false);
    auto label = std::make_shared<Label>(Rect(16, 0, 310, 36));
    label->setText(text);
    label->setFont(Font::systemFontOfSize(17));
    label->setBackgroundColor(Color::clear());
    const Color color = tableViewHeaderColor();
    label->setTextColor(color);
    if (color != Color::whiteColor()) {
        label->setShadowColor(Color::whiteColor());
        label->setShadowOffset({0, 1});
    }
    container->addSubview(label);
    return container;
}

std::shared_ptr<View> ThemedViewController::tableFooterViewWithText(const std::string& text) {
    auto container = std::make_shared<View>(Rect(0, 0, kScreenWidth, 36));
    container->setBackgroundColor(Color::clear());
    container->setOpaque(false);
    auto label = std::make_shared<Label>(Rect(20, 0, 280, 36));
    label->setText(text);
    label->setFont(Font::systemFontOfSize(12));
    label->setTextAlignment(platform::graphics::TextAlignment::Center);
    label->setNumberOfLines(0);
    label->setBackgroundColor(Color::clear());
    const Color color = tableViewHeaderColor();
    label->setTextColor(color);
    if (color != Color::whiteColor()) {
        label->setShadowColor(Color::whiteColor());
        label->setShadowOffset({0, 1});
    }
    container->addSubview(label);
    return container;
}

std::shared_ptr<View> ThemedViewController::plainTableHeaderViewWithText(const std::string& text) {
    auto header = std::make_shared<VTPlainCellBackgroundView>(Rect(0, 0, kScreenWidth, 27));
    header->setBackgroundColor(Color::white(0, 0.25));
    header->setStrokeColor(firstColor());
    auto label = std::make_shared<Label>(Rect(10, 6, 310, 15));
    label->setText(text);
    label->setTextColor(Color::whiteColor());
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(14));
    header->addSubview(label);
    return header;
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
        m_topShadowView = std::make_shared<ShadowView>(Rect(0, 0, kScreenWidth, kShadowHeight));
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
                    std::make_shared<ShadowView>(Rect(0, 0, kScreenWidth, kShadowHeight)));
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

// A mailto: body is plain text: the footer goes below a signature separator ("-- ") so that
// mail programs show it apart, as the small print under a rule would be.
std::string ThemedViewController::mailBody(const std::string& message) {
    const platform::Device& device = platform::Device::current();
    return message + "\n\n-- \nDevice: " + platformString() + " (iOS " + device.systemVersion() + ")";
}

std::string ThemedViewController::mailtoURL(
    const std::string& subject, const std::string& body, const std::optional<std::string>& recipient) {
    // Line breaks travel as CR LF in a mailto: address.
    std::string lines;
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n')
            continue;
        lines += body[i] == '\n' ? std::string("\r\n") : std::string(1, body[i]);
    }
    return "mailto:" + (recipient ? percentEncoded(*recipient) : std::string())
        + "?subject=" + percentEncoded(subject) + "&body=" + percentEncoded(lines);
}

bool ThemedViewController::presentMailViewControllerWithSubject(
    const std::string& subject, const std::string& message, const std::optional<std::string>& recipient) {
    Application& application = Application::sharedApplication();
    ApplicationHost* host = application.host();
    if (!host || !host->canSendMail()) {
        auto alert = std::make_shared<AlertView>("Error",
            "Email cannot be sent because you have not configured an email account. Please use the Settings "
            "application to configure an email account then try again.",
            nullptr, "OK");
        alert->show();
        return false;
    }
    return application.openURL(mailtoURL(subject, mailBody(message), recipient));
}

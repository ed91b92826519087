#include "screens/AboutViewController.h"

#include "QLCoreLibrary/DrawingUtilities.h"
#include "QLCoreLibrary/QLRoundedRectView.h"
#include "platform/base/Bundle.h"
#include "platform/views/Screen.h"
#include "platform/views/TableViewCell.h"
#include "promotion/iTunesHelper.h"
#include "ui/ThemedView.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;

namespace {

constexpr double kLogoWidth = 48;
constexpr double kHeaderHeight = 74;

struct AboutRow {
    double height;
    const char* title;
};

constexpr AboutRow kRows[] = {
    {85, "Vantrel"},
    {85, AboutViewController::kMakerName},
    {57, "More Great Applications"},
    {75, "Contact Us"},
    {57, "Write A Review"},
    {57, "Tell A Friend"},
};

std::string bundleVersion() {
    return platform::Bundle::mainBundle().version();
}

void buildLayout(ViewController& controller) {
    auto& about = static_cast<AboutViewController&>(controller);
    // A modal screen covers the whole screen below the status bar.
    Rect bounds = Screen::mainScreen().applicationFrame();
    bounds.origin = {0, 0};
    auto background = std::make_shared<ThemedView>(bounds);
    background->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);

    auto bar = std::make_shared<NavigationBar>(Rect(0, 0, bounds.width(), NavigationBar::kHeight));
    bar->setAutoresizingMask(AutoresizingFlexibleWidth);
    background->addSubview(bar);

    auto table = std::make_shared<TableView>(
        Rect(0, NavigationBar::kHeight, bounds.width(), bounds.height() - NavigationBar::kHeight),
        TableViewStyle::Plain);
    table->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    background->addSubview(table);

    // The logo (in the theme's first colour) on a white tile, the maker's name on the themed
    // background like a section header, and the version in white on a pill of the first
    // colour: each stays legible in every theme.
    auto header = std::make_shared<View>(Rect(0, 0, bounds.width(), kHeaderHeight));
    header->setBackgroundColor(Color::clear());
    auto tile = std::make_shared<QLRoundedRectView>(Rect(12, 8, 58, 58));
    tile->setBackgroundColor(Color::white(1, 0.9));
    tile->setCornerRadius(10);
    header->addSubview(tile);
    auto logo = std::make_shared<ImageView>(Rect(5, 5, kLogoWidth, kLogoWidth));
    logo->setContentMode(ContentMode::Center);
    logo->setOpaque(false);
    tile->addSubview(logo);
    auto company = std::make_shared<Label>(Rect(82, 12, 228, 22));
    company->setFont(platform::graphics::Font::boldSystemFontOfSize(17));
    company->setBackgroundColor(Color::clear());
    header->addSubview(company);
    auto pill = std::make_shared<QLRoundedRectView>(Rect(82, 40, 100, 20));
    pill->setCornerRadius(10);
    header->addSubview(pill);
    auto version = std::make_shared<Label>(pill->bounds());
    version->setFont(platform::graphics::Font::boldSystemFontOfSize(13));
    version->setTextAlignment(TextAlignment::Center);
    version->setBackgroundColor(Color::clear());
    pill->addSubview(version);
    table->setTableHeaderView(header);

    about.setView(background);
    about.setTableView(table);
    about.setOutlets(bar, logo, version, company);
}

} // namespace

AboutViewController::AboutViewController()
    : ThemedTableViewController(kLayoutName, buildLayout) { }

void AboutViewController::setOutlets(std::shared_ptr<NavigationBar> bar, std::shared_ptr<ImageView> logo,
    std::shared_ptr<Label> version, std::shared_ptr<Label> company) {
    m_navigationBar = std::move(bar);
    m_logoImageView = std::move(logo);
    m_versionLabel = std::move(version);
    m_companyLabel = std::move(company);
}

void AboutViewController::viewDidLoad() {
    ThemedTableViewController::viewDidLoad();
    setTitle("About");
    navigationItem().setLeftBarButtonItem(std::make_shared<BarButtonItem>(
        BarButtonSystemItem::Done, action(&AboutViewController::closeButtonPressed)));
    navigationItem().leftBarButtonItem()->setTitle("Close");
    if (m_navigationBar)
        m_navigationBar->setItems(&navigationItem(), nullptr, {});
    applyTheme();
    if (m_logoImageView)
        m_logoImageView->setImage(QLGetLogoImage(firstColor(), kLogoWidth));
    if (m_versionLabel) {
        m_versionLabel->setTextColor(Color::whiteColor());
        m_versionLabel->setText("Version " + bundleVersion());
        if (auto* pill = dynamic_cast<QLRoundedRectView*>(m_versionLabel->superview())) {
            Rect frame = pill->frame();
            frame.size.width = m_versionLabel->sizeThatFits({0, 0}).width + 20;
            pill->setFrame(frame);
            pill->setBackgroundColor(firstColor());
            m_versionLabel->setFrame(pill->bounds());
        }
    }
    if (m_companyLabel) {
        Color color = tableViewHeaderColor();
        m_companyLabel->setTextColor(color);
        m_companyLabel->setText(kMakerName);
        // As the section headers: a white shadow under coloured text.
        if (color != Color::whiteColor()) {
            m_companyLabel->setShadowColor(Color::whiteColor());
            m_companyLabel->setShadowOffset({0, 1});
        }
    }
}

void AboutViewController::closeButtonPressed() {
    dismissModalViewControllerAnimated(true);
}

std::shared_ptr<TableViewCell> AboutViewController::cellForRowAtIndexPath(TableView&, IndexPath indexPath) {
    int row = indexPath.row;
    // Six different rows, each with its own accessory: nothing to gain from reuse.
    auto cell
        = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle, "about-cell-" + std::to_string(row));
    cell->setBackgroundView(plainCellBackgroundView());
    cell->setSelectedBackgroundView(plainCellSelectedBackgroundView());
    cell->textLabel().setText(row >= 0 && row < 6 ? kRows[row].title : "");
    setLargeFont(cell->textLabel());
    Label& detail = *cell->detailTextLabel();
    setExtraSmallFont(detail);
    detail.setNumberOfLines(0);

    switch (row) {
    case kProductRow:
        detail.setText("Version " + bundleVersion() + "\n" + kNotice);
        cell->setAccessoryView(
            std::make_shared<ImageView>(platform::graphics::Image::imageNamed("vantrel.png")));
        break;
    case kMakerRow:
        detail.setText(kMakerLines);
        cell->setAccessoryView(std::make_shared<ImageView>(QLGetLogoImage(firstColor(), kLogoWidth)));
        break;
    case kMoreAppsRow:
        detail.setText("Check out our other applications.");
        break;
    case kContactRow:
        detail.setText("Have a suggestion or problem? Just drop us a message.");
        break;
    case kReviewRow:
        detail.setText("Takes only a minute.");
        break;
    case kTellRow:
        detail.setText("Help us spread the word.");
        break;
    default:
        break;
    }
    if (row == kProductRow || row == kMakerRow) {
        cell->setSelectionStyle(TableViewCellSelectionStyle::None);
    } else {
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        cell->setSelectionStyle(TableViewCellSelectionStyle::Blue);
    }
    return cell;
}

double AboutViewController::heightForRowAtIndexPath(TableView&, IndexPath indexPath) {
    return indexPath.row >= 0 && indexPath.row < 6 ? kRows[indexPath.row].height : 64;
}

std::optional<IndexPath> AboutViewController::willSelectRowAtIndexPath(TableView&, IndexPath indexPath) {
    if (indexPath.row == kProductRow || indexPath.row == kMakerRow)
        return std::nullopt;
    return indexPath;
}

void AboutViewController::didSelectRowAtIndexPath(TableView& table, IndexPath indexPath) {
    table.deselectRowAtIndexPath(indexPath, true);
    switch (indexPath.row) {
    case kMoreAppsRow:
        iTunesHelper::openAppStore();
        break;
    case kContactRow:
        presentMailViewControllerWithSubject("Vantrel v" + bundleVersion(), "", std::string(kSupportAddress));
        break;
    case kReviewRow:
        iTunesHelper::openReviews();
        break;
    case kTellRow:
        presentMailViewControllerWithSubject(
            "Vantrel", "Check out this application\n\n" + iTunesHelper::appPageURL(), std::nullopt);
        break;
    default:
        break;
    }
}

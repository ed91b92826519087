#include "screens/AboutViewController.h"

#include "QLCoreLibrary/DrawingUtilities.h"
#include "platform/base/Bundle.h"
#include "platform/views/LayoutRegistry.h"
#include "platform/views/TableViewCell.h"
#include "promotion/iTunesHelper.h"
#include "ui/ThemedView.h"
#include "ui/VTPlainCellBackgroundView.h"

using namespace platform::views;

namespace {

constexpr double kLogoWidth = 48;
constexpr double kHeaderHeight = 66;

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
    auto background = std::make_shared<ThemedView>(Rect(0, 0, 320, 460));
    background->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);

    auto bar = std::make_shared<NavigationBar>(Rect(0, 0, 320, NavigationBar::kHeight));
    bar->setAutoresizingMask(AutoresizingFlexibleWidth);
    background->addSubview(bar);

    auto table = std::make_shared<TableView>(
        Rect(0, NavigationBar::kHeight, 320, 460 - NavigationBar::kHeight), TableViewStyle::Plain);
    table->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    background->addSubview(table);

    auto header = std::make_shared<View>(Rect(0, 0, 320, kHeaderHeight));
    header->setBackgroundColor(Color::clear());
    auto logo = std::make_shared<ImageView>(Rect(14, 9, kLogoWidth, kLogoWidth));
    logo->setContentMode(ContentMode::Center);
    logo->setOpaque(false);
    header->addSubview(logo);
    auto company = std::make_shared<Label>(Rect(76, 12, 234, 22));
    company->setFont(platform::graphics::Font::boldSystemFontOfSize(17));
    company->setBackgroundColor(Color::clear());
    header->addSubview(company);
    auto version = std::make_shared<Label>(Rect(76, 36, 234, 18));
    version->setFont(platform::graphics::Font::systemFontOfSize(14));
    version->setBackgroundColor(Color::clear());
    header->addSubview(version);
    table->setTableHeaderView(header);

    about.setView(background);
    about.setOutlets(bar, table, logo, version, company);
}

} // namespace

AboutViewController::AboutViewController() {
    // Registered on first use: a static initialiser in a static library may never be linked.
    if (!LayoutRegistry::hasLayout(kLayoutName))
        LayoutRegistry::registerLayout(kLayoutName, buildLayout);
    setLayout(LayoutRegistry::layoutNamed(kLayoutName));
}

AboutViewController::~AboutViewController() {
    if (m_table) {
        m_table->setDataSource(nullptr);
        m_table->setDelegate(nullptr);
    }
}

void AboutViewController::setOutlets(std::shared_ptr<NavigationBar> bar, std::shared_ptr<TableView> table,
    std::shared_ptr<ImageView> logo, std::shared_ptr<Label> version, std::shared_ptr<Label> company) {
    m_navigationBar = std::move(bar);
    m_table = std::move(table);
    m_logoImageView = std::move(logo);
    m_versionLabel = std::move(version);
    m_companyLabel = std::move(company);
}

void AboutViewController::viewDidLoad() {
    ThemedViewController::viewDidLoad();
    setTitle("About");
    navigationItem().setLeftBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Done, [this] { closeButtonPressed(); }));
    navigationItem().leftBarButtonItem()->setTitle("Close");
    if (m_navigationBar)
        m_navigationBar->setItems(&navigationItem(), nullptr, {});
    if (m_table) {
        m_table->setDataSource(this);
        m_table->setDelegate(this);
    }
    applyTheme();
    if (m_logoImageView)
        m_logoImageView->setImage(QLGetLogoImage(firstColor(), kLogoWidth));
    if (m_versionLabel) {
        m_versionLabel->setTextColor(Color::whiteColor());
        m_versionLabel->setText("Version " + bundleVersion());
    }
    if (m_companyLabel) {
        m_companyLabel->setTextColor(tableViewHeaderColor());
        m_companyLabel->setText(kMakerName);
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

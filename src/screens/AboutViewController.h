#pragma once

#include <memory>
#include <string>

#include "platform/views/ImageView.h"
#include "platform/views/Label.h"
#include "platform/views/NavigationBar.h"
#include "ui/ThemedTableViewController.h"

// The about page, shown modally: the product and its version, the maker, and four actions
// (the maker's other applications, contact by mail, a review in the store, a recommendation
// by mail). Closed by its Close button.
class AboutViewController : public ThemedTableViewController {
public:
    static constexpr const char* kLayoutName = "AboutViewController";
    enum : int {
        kProductRow = 0,
        kMakerRow = 1,
        kMoreAppsRow = 2,
        kContactRow = 3,
        kReviewRow = 4,
        kTellRow = 5
    };

    // The maker's particulars shown and used here (deployment values).
    static constexpr const char* kMakerName = "Quillon Software Solutions";
    static constexpr const char* kSupportAddress = "support@quillonsoftware.com";
    static constexpr const char* kNotice = "Copyright \u00a9 2010-2011\nQuillon Software Solutions.";
    static constexpr const char* kMakerLines
        = "Find news, tips and our other applications\nat www.quillonsoftware.com, and follow us\non "
          "Twitter: @quillonsoft";

    // Layout "AboutViewController": a bar with the Close button, and the table under a header
    // holding the maker's logo, the version and the maker's name.
    AboutViewController();

    const std::shared_ptr<platform::views::TableView>& table() { return tableView(); }
    const std::shared_ptr<platform::views::NavigationBar>& navigationBar() const { return m_navigationBar; }
    const std::shared_ptr<platform::views::ImageView>& logoImageView() const { return m_logoImageView; }
    const std::shared_ptr<platform::views::Label>& versionLabel() const { return m_versionLabel; }
    const std::shared_ptr<platform::views::Label>& companyLabel() const { return m_companyLabel; }
    void setOutlets(std::shared_ptr<platform::views::NavigationBar> bar,
        std::shared_ptr<platform::views::ImageView> logo, std::shared_ptr<platform::views::Label> version,
        std::shared_ptr<platform::views::Label> company);

    void closeButtonPressed();

    void viewDidLoad() override;

    int numberOfRowsInSection(platform::views::TableView&, int) override { return 6; }
    std::shared_ptr<platform::views::TableViewCell> cellForRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;
    double heightForRowAtIndexPath(
        platform::views::TableView&, platform::views::IndexPath indexPath) override;
    std::optional<platform::views::IndexPath> willSelectRowAtIndexPath(
        platform::views::TableView&, platform::views::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(
        platform::views::TableView& table, platform::views::IndexPath indexPath) override;

private:
    std::shared_ptr<platform::views::NavigationBar> m_navigationBar;
    std::shared_ptr<platform::views::ImageView> m_logoImageView;
    std::shared_ptr<platform::views::Label> m_versionLabel;
    std::shared_ptr<platform::views::Label> m_companyLabel;
};

#include "ui/ThemedTableViewController.h"

#include "platform/base/SharedFrom.h"
#include "platform/views/Screen.h"
#include "ui/ThemedView.h"

using namespace platform::views;

ThemedTableViewController::ThemedTableViewController(const std::string& layoutName, TableViewStyle style)
    : ThemedViewController(layoutName, tableLayout(style)) { }

ThemedTableViewController::ThemedTableViewController(const std::string& layoutName, const Layout& layout)
    : ThemedViewController(layoutName, layout) { }

ThemedTableViewController::~ThemedTableViewController() = default;

ViewController::Layout ThemedTableViewController::tableLayout(TableViewStyle style) {
    return [style](ViewController& controller) {
        auto background = std::make_shared<ThemedView>(Screen::mainScreen().contentBounds());
        background->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
        auto table = std::make_shared<TableView>(background->bounds(), style);
        table->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
        background->addSubview(table);
        controller.setView(background);
        if (auto* screen = dynamic_cast<ThemedTableViewController*>(&controller))
            screen->setTableView(table);
    };
}

const std::shared_ptr<TableView>& ThemedTableViewController::tableView() {
    view();
    return m_tableView;
}

void ThemedTableViewController::setTableView(std::shared_ptr<TableView> table) {
    m_tableView = std::move(table);
}

void ThemedTableViewController::setBottomBar(std::shared_ptr<View> bar) {
    std::shared_ptr<View> root = view();
    if (m_bottomBar)
        m_bottomBar->removeFromSuperview();
    m_bottomBar = std::move(bar);
    Rect bounds = root->bounds();
    double height = m_bottomBar ? m_bottomBar->frame().height() : 0;
    if (m_bottomBar) {
        m_bottomBar->setFrame({0, bounds.height() - height, bounds.width(), height});
        m_bottomBar->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleTopMargin);
        root->addSubview(m_bottomBar);
    }
    if (m_tableView)
        m_tableView->setFrame({0, 0, bounds.width(), bounds.height() - height});
}

FormEntries& ThemedTableViewController::entries() {
    if (!m_entries)
        m_entries = std::make_shared<FormEntries>(*this, m_tableView);
    return *m_entries;
}

void ThemedTableViewController::viewDidLoad() {
    ThemedViewController::viewDidLoad();
    if (m_entries)
        m_entries->setTable(m_tableView);
    if (m_tableView) {
        auto self = platform::sharedFrom(this);
        m_tableView->setDataSource(self);
        m_tableView->setDelegate(self);
    }
}

void ThemedTableViewController::viewWillAppear(bool animated) {
    ThemedViewController::viewWillAppear(animated);
    if (m_tableView) {
        if (auto selected = m_tableView->indexPathForSelectedRow())
            m_tableView->deselectRowAtIndexPath(*selected, animated);
    }
}

void ThemedTableViewController::viewWillDisappear(bool animated) {
    ThemedViewController::viewWillDisappear(animated);
    if (m_entries)
        m_entries->resign();
}

void ThemedTableViewController::setEditing(bool editing, bool animated) {
    if (m_tableView)
        m_tableView->setEditing(editing, true);
    ThemedViewController::setEditing(editing, animated);
}

#include "platform/views/TableViewController.h"

#include "platform/base/SharedFrom.h"
#include "platform/views/Screen.h"

namespace platform::views {

TableViewController::TableViewController(TableViewStyle style)
    : m_style(style) { }

void TableViewController::loadView() {
    m_tableView = std::make_shared<TableView>(Screen::mainScreen().applicationFrame(), m_style);
    m_tableView->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    auto self = sharedFrom(this);
    m_tableView->setDataSource(self);
    m_tableView->setDelegate(self);
    setView(m_tableView);
}

TableView& TableViewController::tableView() {
    view();
    return *m_tableView;
}

std::shared_ptr<TableView> TableViewController::tableViewPointer() {
    view();
    return m_tableView;
}

void TableViewController::viewWillAppear(bool animated) {
    if (!m_loadedOnce) {
        m_loadedOnce = true;
        tableView().reloadData();
    } else if (m_clearsSelection) {
        if (auto selected = tableView().indexPathForSelectedRow())
            tableView().deselectRowAtIndexPath(*selected, animated);
    }
}

void TableViewController::setEditing(bool editing, bool animated) {
    ViewController::setEditing(editing, animated);
    tableView().setEditing(editing, animated);
}

std::shared_ptr<TableViewCell> TableViewController::cellForRowAtIndexPath(TableView&, IndexPath) {
    return std::make_shared<TableViewCell>(TableViewCellStyle::Default, "");
}

} // namespace platform::views

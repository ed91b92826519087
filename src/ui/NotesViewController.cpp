#include "ui/NotesViewController.h"

#include "platform/views/BarButtonItem.h"
#include "platform/views/NavigationController.h"

using namespace platform::views;

NotesViewController::NotesViewController() {
    navigationItem().setRightBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Done, [this] { doneButtonPressed(); }));
}

NotesViewController::~NotesViewController() = default;

void NotesViewController::loadView() {
    ThemedViewController::loadView();
    m_notesView = std::make_shared<NotesView>(view()->bounds());
    m_notesView->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    view()->addSubview(m_notesView);
}

NotesView& NotesViewController::notesView() {
    view();
    return *m_notesView;
}

void NotesViewController::doneButtonPressed() {
    NavigationController* navigation = navigationController();
    if (navigation && navigation->topViewController() == this)
        navigation->popViewControllerAnimated(true);
}

void NotesViewController::viewDidAppear(bool animated) {
    ThemedViewController::viewDidAppear(animated);
    if (m_notesView && m_notesView->text().empty())
        m_notesView->becomeFirstResponder();
}

void NotesViewController::viewWillDisappear(bool animated) {
    ThemedViewController::viewWillDisappear(animated);
    if (!m_notesView)
        return;
    m_notesView->resignFirstResponder();
    if (m_delegate)
        m_delegate->didSelectValue(*this, EditorValue(m_notesView->text()), 0);
}

void NotesViewController::keyboardDidShow(const platform::Notification&) {
    if (m_notesView)
        m_notesView->setFrame({0, 0, 320, 200});
}

void NotesViewController::keyboardWillHide(const platform::Notification&) {
    if (m_notesView)
        m_notesView->setFrame({0, 0, 320, 416});
}

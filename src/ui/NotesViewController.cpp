#include "ui/NotesViewController.h"

#include "platform/views/BarButtonItem.h"
#include "platform/views/NavigationController.h"
#include "platform/views/Screen.h"

using namespace platform::views;

NotesViewController::NotesViewController() = default;

NotesViewController::~NotesViewController() = default;

void NotesViewController::viewDidLoad() {
    ThemedViewController::viewDidLoad();
    navigationItem().setRightBarButtonItem(std::make_shared<BarButtonItem>(
        BarButtonSystemItem::Done, action(&NotesViewController::doneButtonPressed)));
}

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
    if (auto delegate = m_delegate.lock())
        delegate->didSelectValue(*this, EditorValue(m_notesView->text()), 0);
}

void NotesViewController::keyboardDidShow(const platform::Notification&) {
    // Only the part above the keyboard.
    Rect bounds = view()->bounds();
    if (m_notesView)
        m_notesView->setFrame({0, 0, bounds.width(), bounds.height() - Screen::kKeyboardHeight});
}

void NotesViewController::keyboardWillHide(const platform::Notification&) {
    if (m_notesView)
        m_notesView->setFrame(view()->bounds());
}

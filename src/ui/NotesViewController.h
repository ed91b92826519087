#pragma once

#include <memory>

#include "ui/GenericEditViewControllerDelegate.h"
#include "ui/NotesView.h"
#include "ui/ThemedViewController.h"

// Free text for a form, on ruled paper. The opener sets the title and puts the current text
// into notesView after creating the screen. Leaving the screen, by Done or by the back
// button alike, hands the text to the delegate (index 0). The notes view shrinks above the
// keyboard while it shows, and takes the keyboard at once when the notes are empty.
class NotesViewController : public ThemedViewController {
public:
    NotesViewController();
    ~NotesViewController() override;

    // The notes view (made with the screen's view).
    NotesView& notesView();
    // Not owned: the form that opened the screen, below it on the navigation stack.
    GenericEditViewControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(GenericEditViewControllerDelegate* delegate) { m_delegate = delegate; }

    // The Done button's action: pops the screen.
    void doneButtonPressed();

    void loadView() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void keyboardDidShow(const platform::Notification&) override;
    void keyboardWillHide(const platform::Notification&) override;

private:
    std::shared_ptr<NotesView> m_notesView;
    GenericEditViewControllerDelegate* m_delegate {nullptr};
};

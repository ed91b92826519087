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
    // Held weakly: the form that opened the screen, below it on the navigation stack.
    std::shared_ptr<GenericEditViewControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<GenericEditViewControllerDelegate> delegate) {
        m_delegate = std::move(delegate);
    }

    // The Done button's action: pops the screen.
    void doneButtonPressed();

    void loadView() override;
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void keyboardDidShow(const platform::Notification&) override;
    void keyboardWillHide(const platform::Notification&) override;

private:
    std::shared_ptr<NotesView> m_notesView;
    std::weak_ptr<GenericEditViewControllerDelegate> m_delegate;
};

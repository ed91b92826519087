#pragma once

#include <functional>
#include <string>

#include "platform/views/Application.h"
#include "platform/views/View.h"

// The application's own key in the blank bottom-left place of the number pad: "Done" for an
// entry whose return key is Done (it ends the editing), otherwise the locale's decimal
// separator (it types one, once). The key is an ordinary button laid over the keyboard
// view and found again by its tag, so there is never more than one; the keyboard is rebuilt
// for every entry, so callers add the key again whenever an entry begins editing or the
// keyboard shows.

inline constexpr int kKeypadAuxButtonTag = 1000;

// Adds the key for the first responder when it is a text entry; otherwise does nothing.
void addStockButtonToKeypad(platform::views::Application& application);
// Places a key titled `title` running `action` for the first responder: any earlier key is
// removed first, and only a number-pad entry gets the new one.
void addAuxButtonToKeypadWithTitle(
    platform::views::Application& application, const std::string& title, std::function<void()> action);
// The stock key's action: ends editing for an entry with a return key other than Default,
// otherwise appends the decimal separator unless the text has one (no editing event).
void auxButtonPressed(platform::views::Application& application);
// The key window's first responder, or none.
platform::views::View* firstResponder(platform::views::Application& application);
// The platform's keyboard view: the first direct subview of a window, frontmost window
// first, whose description begins with "<UIKeyboard" or "<UIPeripheralHostView"; or none.
platform::views::View* keyboardView(platform::views::Application& application);

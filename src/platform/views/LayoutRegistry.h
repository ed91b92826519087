#pragma once

#include <functional>
#include <string>

namespace platform::views {

class ViewController;

// A layout: a function that builds a screen's views into its controller (setView, then
// subviews and outlets). Layouts stand where the phone loads an interface description.
using LayoutFunction = std::function<void(ViewController&)>;

// Layouts by name, for controllers created with a layout name. Register them at start-up
// (or from a static initialiser in the screen's file).
class LayoutRegistry {
public:
    static void registerLayout(const std::string& name, LayoutFunction layout);
    // Empty function when none is registered under `name`.
    static LayoutFunction layoutNamed(const std::string& name);
    static bool hasLayout(const std::string& name);
};

} // namespace platform::views

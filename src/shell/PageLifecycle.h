#pragma once

#include <map>

#include "shell/PageMessages.h"

namespace platform::views {
class Application;
}

namespace shell {

// Maps the open pages onto the application's run state, as the phone maps the screen:
// - some page visible and focused: active (entering the foreground first when it was in
//   the background);
// - pages visible but none focused (a desktop window behind another): inactive, like a
//   phone whose screen is covered for a moment;
// - no page visible, or none open: resign active, then enter the background.
// A page counts once it has reported its state. Main thread only.
class PageLifecycle {
public:
    explicit PageLifecycle(platform::views::Application& application);

    void pageChanged(const PageState& state);
    void pageClosed(int page);
    // Brings the application to the state the pages call for (after launch, for instance).
    void apply();

    enum class Target { Active, Inactive, Background };
    Target target() const;
    size_t pageCount() const { return m_pages.size(); }

private:
    platform::views::Application& m_application;
    std::map<int, PageState> m_pages;
};

} // namespace shell

#include "shell/PageLifecycle.h"

#include "platform/views/Application.h"

namespace shell {

using platform::views::ApplicationState;

PageLifecycle::PageLifecycle(platform::views::Application& application)
    : m_application(application) { }

void PageLifecycle::pageChanged(const PageState& state) {
    m_pages[state.page] = state;
    apply();
}

void PageLifecycle::pageClosed(int page) {
    if (m_pages.erase(page))
        apply();
}

PageLifecycle::Target PageLifecycle::target() const {
    bool visible = false;
    for (auto& [page, state] : m_pages) {
        if (state.visible && state.focused)
            return Target::Active;
        visible = visible || state.visible;
    }
    return visible ? Target::Inactive : Target::Background;
}

void PageLifecycle::apply() {
    ApplicationState state = m_application.applicationState();
    if (state == ApplicationState::NotRunning)
        return;
    switch (target()) {
    case Target::Active:
        m_application.becomeActive();
        break;
    case Target::Inactive:
        if (state == ApplicationState::Background)
            m_application.enterForeground();
        else
            m_application.resignActive();
        break;
    case Target::Background:
        m_application.enterBackground();
        break;
    }
}

} // namespace shell

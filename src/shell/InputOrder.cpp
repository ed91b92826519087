#include "shell/InputOrder.h"

#include <algorithm>
#include <chrono>

namespace shell {

bool InputOrder::waitForTurn(int page, std::uint64_t number) {
    if (number == 0)
        return true;
    std::unique_lock lock(m_mutex);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(m_patience);
    bool inTurn
        = m_changed.wait_until(lock, deadline, [&] { return m_stopped || m_handled[page] + 1 >= number; });
    return inTurn && !m_stopped;
}

void InputOrder::done(int page, std::uint64_t number) {
    if (number == 0)
        return;
    {
        std::lock_guard lock(m_mutex);
        auto& handled = m_handled[page];
        handled = std::max(handled, number);
    }
    m_changed.notify_all();
}

void InputOrder::forget(int page) {
    std::lock_guard lock(m_mutex);
    m_handled.erase(page);
}

void InputOrder::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
}

} // namespace shell

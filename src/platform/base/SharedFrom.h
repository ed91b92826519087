#pragma once

#include <memory>

namespace platform {

// `object` as a shared pointer that shares ownership with whoever owns it (through its
// enable_shared_from_this base): how a screen or view hands itself to a table, an alert or
// an editor as their delegate. They keep it weakly, so a delegate that is gone is never
// called, and nobody clears a delegate by hand. Throws std::bad_weak_ptr when `object` is
// not owned by a shared pointer (as in its own constructor).
template<class T> std::shared_ptr<T> sharedFrom(T* object) {
    return std::shared_ptr<T>(object->shared_from_this(), object);
}

} // namespace platform

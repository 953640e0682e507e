#pragma once

#include <QCoreApplication>
#include <utility>

// The process's one T, made on first use and destroyed as soon as the application object
// begins to close down, while it still dispatches events. An object with threads or timers of
// its own (the HTTP client, the frame ticker) must not outlive that moment: left as a child
// of the application, it would be destroyed after the application stopped being one, and its
// threads could deliver events to an object half destroyed.
template <class T> T& applicationWide() {
    static T* instance = nullptr;
    if (!instance) {
        instance = new T;
        qAddPostRoutine([] { delete std::exchange(instance, nullptr); });
    }
    return *instance;
}

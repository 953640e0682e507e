#pragma once

#include <QDBusConnection>
#include <chrono>

class ApplicationService;

// One Alvore per session: the first start holds the service's bus name, a later one hands
// over to it and ends.
namespace SingleInstance {
enum class Claim {
    first,      // this process holds the name and serves `service`
    handedOver, // another Alvore holds it and was asked to show itself: this one should end
    alone,      // no session bus (or it refused): run without a name
};

// Exports `service` and asks for its bus name. When another process holds the name, calls its
// Activate and waits at most `answerWait` for the answer; the call has reached it either way.
Claim claim(QDBusConnection bus, ApplicationService& service,
            std::chrono::milliseconds answerWait = std::chrono::milliseconds(800));

// Gives the name up, so that a new copy of the app started now becomes the one.
void release(const QDBusConnection& bus);
// Takes the name back after release(), when the new copy could not be started.
void claimAgain(QDBusConnection bus);
} // namespace SingleInstance

#pragma once

#include "client/request.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>
#include <chrono>

// Runs the event loop until no request of the process is in flight. A reply lives until what
// awaited it has run, so this proves that every answer has been handled; and since requests
// start at once, that nothing more was sent meanwhile. Posted work (a woken task) runs first.
inline bool settle(std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
    QCoreApplication::sendPostedEvents();
    return QTest::qWaitFor([] { return networkAccess().findChildren<QNetworkReply*>().isEmpty(); },
                           static_cast<int>(deadline.count()));
}

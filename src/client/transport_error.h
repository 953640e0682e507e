#pragma once

#include <QNetworkReply>
#include <QString>

// What the system says of its network, when it says anything.
enum class NetworkReach {
    unknown, // no network information backend, or it cannot tell
    offline, // no network, or only the local one
    online,
};

// The system's view of the network, from Qt's network information once the app has loaded a
// backend for it; `unknown` otherwise.
NetworkReach systemNetworkReach();

// The sentence shown to the user for a request that failed below HTTP: no answer came, or the
// answer broke off. Where the system knows whether it is online, that decides between "offline"
// and "can't reach"; the error code alone tells them apart poorly (a dead network first shows as
// a failed name lookup, a dropped connection as a lost network).
QString transportErrorText(QNetworkReply::NetworkError code,
                           NetworkReach reach = NetworkReach::unknown);

// Whether `code` is a failure of the connection itself (rather than Qt's reading of an HTTP
// status), so that it wins even when a status line had already arrived.
bool isConnectionError(QNetworkReply::NetworkError code);

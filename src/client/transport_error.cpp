#include "client/transport_error.h"

#include <QNetworkInformation>

namespace {
const auto offlineText = QStringLiteral("This computer is offline.");
const auto unreachableText = QStringLiteral("Can't reach Sensibo.");
} // namespace

NetworkReach systemNetworkReach() {
    const QNetworkInformation* information = QNetworkInformation::instance();
    if (!information)
        return NetworkReach::unknown;
    switch (information->reachability()) {
    case QNetworkInformation::Reachability::Disconnected:
    case QNetworkInformation::Reachability::Local:
        return NetworkReach::offline;
    case QNetworkInformation::Reachability::Online:
        return NetworkReach::online;
    default:
        return NetworkReach::unknown;
    }
}

// Qt's error code                          | what it means here        | text
// -----------------------------------------+---------------------------+----------------------
// TemporaryNetworkFailureError (7)         | the network went away     | offline
// NetworkSessionFailedError (8)            | no network to use         | offline
// UnknownNetworkError (99)                 | the socket's network error| offline
//                                          | (network unreachable,     |
//                                          | cable pulled)             |
// RemoteHostClosedError (2)                | the connection was lost   | offline
//                                          | before the whole answer   |
// TimeoutError (4)                         | no data in time           | didn't answer in time
// OperationCanceledError (5)               | the transfer timeout;     | didn't answer in time
//                                          | our own cancellation is   |
//                                          | told apart before this    |
// ConnectionRefusedError (1)               | nobody listens there      | can't reach
// HostNotFoundError (3)                    | the name doesn't resolve  | can't reach
// anything else (TLS failure 6, redirects, | -                         | can't reach (code)
// proxy errors, protocol failure, ...)     |                           |
// The system's own view, when it has one, overrides the "offline" and "can't reach" rows: every
// failure says offline while the system is, and none does while it is online.
QString transportErrorText(QNetworkReply::NetworkError code, NetworkReach reach) {
    if (reach == NetworkReach::offline)
        return offlineText;
    switch (code) {
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::RemoteHostClosedError:
        return reach == NetworkReach::online ? unreachableText : offlineText;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("Sensibo didn't answer in time.");
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
        return unreachableText;
    default:
        return QStringLiteral("Can't reach Sensibo (%1).").arg(static_cast<int>(code));
    }
}

bool isConnectionError(QNetworkReply::NetworkError code) {
    return code > QNetworkReply::NoError && code < QNetworkReply::ContentAccessDenied;
}

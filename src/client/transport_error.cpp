#include "client/transport_error.h"

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
QString transportErrorText(QNetworkReply::NetworkError code) {
    switch (code) {
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("This computer is offline.");
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("Sensibo didn't answer in time.");
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("Can't reach Sensibo.");
    default:
        return QStringLiteral("Can't reach Sensibo (%1).").arg(static_cast<int>(code));
    }
}

bool isConnectionError(QNetworkReply::NetworkError code) {
    return code > QNetworkReply::NoError && code < QNetworkReply::ContentAccessDenied;
}

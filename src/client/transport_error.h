#pragma once

#include <QNetworkReply>
#include <QString>

// The sentence shown to the user for a request that failed below HTTP: no answer came, or the
// answer broke off.
QString transportErrorText(QNetworkReply::NetworkError code);

// Whether `code` is a failure of the connection itself (rather than Qt's reading of an HTTP
// status), so that it wins even when a status line had already arrived.
bool isConnectionError(QNetworkReply::NetworkError code);

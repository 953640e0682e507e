#include "client/request.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <cstdio>

// The HTTP client owns a thread that delivers events through the application object, so it
// must be destroyed while the application is still whole, never after it.
int main(int argc, char** argv) {
    bool destroyed = false;
    bool applicationWhole = false;
    {
        QCoreApplication app(argc, argv);
        QObject::connect(&networkAccess(), &QObject::destroyed, [&] {
            destroyed = true;
            applicationWhole = QCoreApplication::instance() == &app;
        });
    }
    if (!destroyed || !applicationWhole) {
        std::printf("FAIL: the HTTP client was %s\n",
                    destroyed ? "destroyed after the application" : "never destroyed");
        return 1;
    }
    std::printf("PASS: the HTTP client went before the application\n");
    return 0;
}

// A long run of the model against the loopback service on the virtual clock: refreshes with
// faults mixed in, and changes, timers and presets in between. Prints the process's resident
// memory after a warm-up and at the end; fails when it grew by a megabyte or more.
#include "support/model_rig.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

using namespace std::chrono_literals;
using Response = LoopbackService::Response;

namespace {

constexpr int cycles = 10'000;
constexpr int warmUp = 500;
constexpr qint64 allowedGrowthKB = 1024;

qint64 residentKB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// One of the faults of the service or the network, in turn.
Response fault(int turn) {
    Response response;
    switch (turn % 5) {
    case 0:
        return Response::json(R"({"reason":"down"})", 500);
    case 1:
        return Response::json("<html>");
    case 2:
        response = Response::json(envelope(QJsonArray{unitJson("a", "Hall", true)}));
        response.closeMidAnswer = true;
        return response;
    case 3:
        response.resetConnection = true;
        return response;
    default:
        return Response::json("{}", 429);
    }
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toUtf8()); // the log goes there
    QCoreApplication app(argc, argv);

    ModelRig rig;
    rig.units = {unitJson("a", "Hall", true), unitJson("b", "Study", false)};
    int changes = 0;
    rig.otherAnswers = [&changes](const LoopbackService::Request&) -> std::optional<Response> {
        if (++changes % 3 == 0)
            return Response::json("{}", 500);
        return Response::json(R"({"status":"success","result":{"status":"Success"}})");
    };
    AppModel& model = rig.startPolling();

    qint64 before = 0;
    int faults = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        if (cycle == warmUp)
            before = residentKB();
        if (cycle % 7 == 3)
            rig.listingAnswers.append(fault(faults++));
        switch (cycle % 50) {
        case 5:
            model.togglePower(QStringLiteral("a"));
            break;
        case 15:
            model.features().setTimer(QStringLiteral("b"), 30, true);
            break;
        case 25:
            model.features().cancelTimer(QStringLiteral("b"));
            break;
        case 35:
            if (const std::optional<Pod> unit = model.pod(QStringLiteral("a")))
                model.presets().save(QStringLiteral("Soak"), *unit);
            break;
        case 45:
            if (!model.presets().all().isEmpty())
                model.presets().remove(model.presets().all().constFirst().id);
            break;
        }
        QCoro::waitFor(ModelBackstage::refresh(model)); // the client's timeout bounds the wait
        rig.clock.advance(5s); // the polling loop, debounces, banners and timers move on
        QCoreApplication::processEvents();
        if (cycle % 100 == 0)
            rig.service.clearRequests();
    }
    const qint64 after = residentKB();
    const qint64 growth = after - before;
    std::printf("soak: %d refresh cycles, %d faults; resident memory after %d cycles %lld kB, "
                "at the end %lld kB, growth %lld kB (allowed < %lld kB)\n",
                cycles, faults, warmUp, static_cast<long long>(before),
                static_cast<long long>(after), static_cast<long long>(growth),
                static_cast<long long>(allowedGrowthKB));
    return growth < allowedGrowthKB ? 0 : 1;
}

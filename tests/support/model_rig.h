#pragma once

#include "model/app_model.h"
#include "model/model_backstage.h"
#include "support/loopback_service.h"
#include "support/memory_key_store.h"
#include "support/settle.h"
#include "support/temporary_settings.h"
#include "support/virtual_clock.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Fails the running test when a step of its set-up did not come about. A set-up cannot return
// through QVERIFY, so the test goes on, but it fails with the set-up's reason first. (The reason
// says which step it was: clang-tidy's compiler has no std::source_location.)
inline void requireSetUp(bool done, const QString& what) {
    if (!done)
        QTest::qFail(qPrintable(what), __FILE__, __LINE__);
}

inline const QString listingPath = QStringLiteral("/api/v2/users/me/pods");

inline QString statePath(const QString& id) {
    return QStringLiteral("/api/v2/pods/%1/acStates").arg(id);
}

// A unit as a full listing shows it: cool mode only, 16 to 30 °C, four fan levels.
inline QJsonObject unitJson(const QString& id, const QString& room, bool on, int target = 22) {
    QJsonArray degrees;
    for (int value = 16; value <= 30; ++value)
        degrees.append(value);
    const QJsonObject cool{
        {"temperatures", QJsonObject{{"C", QJsonObject{{"isNative", true}, {"values", degrees}}}}},
        {"fanLevels", QJsonArray{"low", "medium", "high", "auto"}},
        {"swing", QJsonArray{"stopped", "rangeFull"}}};
    return {{"id", id},
            {"room", QJsonObject{{"name", room}}},
            {"acState", QJsonObject{{"on", on},
                                    {"mode", "cool"},
                                    {"targetTemperature", target},
                                    {"temperatureUnit", "C"},
                                    {"fanLevel", "auto"},
                                    {"swing", "stopped"}}},
            {"remoteCapabilities", QJsonObject{{"modes", QJsonObject{{"cool", cool}}}}},
            {"productModel", "skyv2"}};
}

// The units of the real full listing in tests/data: every member the service sends, as it sends
// it. Its first unit, "11AAbb22" (Hall), has a Climate React rule, switched off.
inline QJsonArray realUnits() {
    QFile file(qEnvironmentVariable("ALVORE_TEST_DATA") + QStringLiteral("/real-pods-full.json"));
    requireSetUp(file.open(QIODevice::ReadOnly), "the real listing could not be read");
    return QJsonDocument::fromJson(file.readAll()).object().value("result").toArray();
}

inline QString climateReactPath(const QString& id) {
    return QStringLiteral("/api/v2/pods/%1/smartmode").arg(id);
}

inline QByteArray envelope(const QJsonValue& result) {
    return QJsonDocument(QJsonObject{{"status", "success"}, {"result", result}}).toJson();
}

// `response`, given only once the service's held answers are released.
inline LoopbackService::Response heldBack(LoopbackService::Response response) {
    response.held = true;
    return response;
}

inline const LoopbackService::Response errorAnswer = LoopbackService::Response::json("{}", 500);

// What the callbacks made by `listener()` were told, in turn: nothing for success.
struct Heard : QList<std::optional<QString>> {
    auto listener() {
        return [this](const std::optional<QString>& failure) { append(failure); };
    }
};

inline bool isFullListing(const LoopbackService::Request& request) {
    return request.queryValue("fields").value_or(QString()).contains("remoteCapabilities");
}

// The model wired to stand-ins: the loopback service lists `units` (without capabilities,
// product models and filter counts in a light listing) unless `listingAnswers` holds answers to
// give first; other requests go to `otherAnswers`, then to the service's script.
class ModelRig {
public:
    explicit ModelRig(std::optional<QString> key = QStringLiteral("stored-key-0123"))
        : keys(std::move(key)) {
        service.setHandler([this](const LoopbackService::Request& request)
                               -> std::optional<LoopbackService::Response> {
            if (request.method != "GET" || request.path != listingPath ||
                request.queryValue("fields") == QStringLiteral("id"))
                return otherAnswers ? otherAnswers(request) : std::nullopt;
            if (!listingAnswers.isEmpty())
                return listingAnswers.takeFirst();
            QJsonArray listed;
            for (const auto& unit : std::as_const(units)) {
                QJsonObject object = unit.toObject();
                if (!isFullListing(request)) {
                    object.remove("remoteCapabilities");
                    object.remove("productModel");
                    object.remove("filtersCleaning");
                }
                listed.append(object);
            }
            return LoopbackService::Response::json(envelope(listed));
        });
    }
    // With the stored key, listing `listed`.
    explicit ModelRig(QJsonArray listed) : ModelRig() { units = std::move(listed); }

    AppModel& start(bool demo = false) {
        model = std::make_unique<AppModel>(
            AppModel::Dependencies{keys, clock, settings.store(), service.config(clientTimeout),
                                   LoginItem(autostart.path(), "/opt/alvore/alvore")},
            demo);
        return *model;
    }

    QList<LoopbackService::Request> listings() const {
        return service.requests("GET", listingPath);
    }

    // The state sent in the `index`th change for unit `id`.
    QJsonObject sentState(const QString& id, qsizetype index = 0) const {
        const QByteArray body = service.requests("POST", statePath(id)).value(index).body;
        return QJsonDocument::fromJson(body).object().value("acState").toObject();
    }

    // Runs the event loop until the model's sleeps are exactly `expected` (milliseconds left),
    // which is how a finished refresh shows: the polling loop waits again.
    bool waitForSleeps(const QList<qint64>& expected) {
        return QTest::qWaitFor([&] { return clock.pendingSleeps() == expected; }, 10'000);
    }

    // Moves the clock on by `step` and waits until the refresh it starts has finished and the
    // loop sleeps `next` milliseconds.
    bool poll(std::chrono::milliseconds step = std::chrono::minutes(1), qint64 next = 60'000) {
        clock.advance(step);
        return waitForSleeps({next});
    }

    // Runs the event loop until the model shows a banner.
    bool waitForBanner() const {
        return QTest::qWaitFor([this] { return model->banner().has_value(); });
    }

    // Runs the event loop until the model asks for a key.
    bool waitForNeedsKey() const {
        return QTest::qWaitFor(
            [this] { return model->status().kind == AppModel::Status::needsKey; });
    }

    // Whether the service has heard no more than `asked` requests, even after a wake, the panel
    // opening and an hour passing.
    bool staysQuiet(qsizetype asked) {
        model->setAwake(true);
        model->setPanelOpen(true);
        clock.advance(std::chrono::hours(1));
        return settle() && service.requests().size() == asked;
    }

    // Starts with the stored key and waits until the first listing is merged.
    AppModel& startPolling() {
        start();
        requireSetUp(waitForSleeps({60'000}), "the first refresh did not finish");
        return *model;
    }

    QJsonArray units;
    std::chrono::milliseconds clientTimeout = std::chrono::seconds(5);
    QList<LoopbackService::Response> listingAnswers;
    std::function<std::optional<LoopbackService::Response>(const LoopbackService::Request&)>
        otherAnswers;
    LoopbackService service;
    VirtualClock clock;
    MemoryKeyStore keys;
    TemporarySettings settings;
    QTemporaryDir autostart;
    std::unique_ptr<AppModel> model;
};

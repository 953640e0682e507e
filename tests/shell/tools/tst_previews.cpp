#include "model/preset.h"
#include "model/settings.h"
#include "panel/style/palette.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {
// What the store's file holds now.
QVariantMap everything(const QString& file) {
    const QSettings store(file, QSettings::IniFormat);
    QVariantMap values;
    for (const QString& key : store.allKeys())
        values.insert(key, store.value(key));
    return values;
}
} // namespace

// The real program, run once with "--render-previews" without a display in a home of its own,
// holding a user's settings (°F, a 45 s interval), a preset and a settings tab.
class PreviewsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesEveryPictureAndLeavesTheStoreAlone() {
        QTemporaryDir home;
        QSettings store(home.filePath("config/Brindlework/Alvore.conf"), QSettings::IniFormat);
        Settings{.menuBarPodID = {}, .unit = "F", .closedInterval = 45}.save(store);
        const ACState night{true, "cool", 21, {}, {}, {}, {}, {}};
        Preset::save({{QUuid::createUuid(), "demo1", "Night", night}}, store); // the first unit
        store.setValue("settingsTab", "presets");
        store.setValue("relocation.dontAsk", true);
        store.sync();
        const QVariantMap before = everything(store.fileName());

        const QDir folder(home.filePath("data/Brindlework/Alvore/previews"));
        QVERIFY(QDir().mkpath(folder.path()) &&
                QFile(folder.filePath("stray.png")).open(QIODevice::WriteOnly));

        QProcess app;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home.filePath("home"));
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(name);
        for (const char* kind : {"config", "data", "state", "cache"})
            environment.insert(QStringLiteral("XDG_%1_HOME").arg(kind).toUpper(),
                               home.filePath(kind));
        app.setProcessEnvironment(environment);
        app.start(ALVORE_PROGRAM, {"--render-previews"});
        // Meanwhile the user's running app changes the tab, which the run must not undo.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.filePath("01-panel.png")), 30'000);
        store.setValue("settingsTab", "account");
        store.sync();
        QVariantMap after = before;
        after.insert("settingsTab", "account");
        QVERIFY(app.waitForFinished(60'000) && app.exitStatus() == QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
        // Nothing failed: the one line is the folder.
        QCOMPARE(QString::fromUtf8(app.readAllStandardOutput()),
                 "Previews written to " + folder.path() + "\n");
        QCOMPARE(everything(store.fileName()), after);

        // The stray file is gone, and every view was written.
        const QStringList written = folder.entryList(QDir::Files);
        QVERIFY2(!written.contains("stray.png") && written.size() > 20,
                 qPrintable(written.join(' ')));

        // Pictures at two pixels a point that show what their names say: the °F panel differs
        // from the °C one, and the airflow moves between frames.
        const auto image = [&](const char* name) { return QImage(folder.filePath(name)); };
        QCOMPARE(image("01-panel.png").width(), 760);
        QVERIFY(image("01-panel.png") != image("02-panel-fahrenheit.png"));
        QVERIFY(image("08-air-1.png") != image("08-air-8.png"));

        // The cards end 12 points short of the panel's right edge, their glow with them: the
        // strip beside them is the panel's background from top to bottom.
        const QImage panel = image("01-panel.png");
        int spilled = 0;
        for (int y = 0; y < panel.height(); ++y)
            for (int x = 740; x < 756; ++x)
                spilled += panel.pixel(x, y) != Palette::background().rgba();
        QCOMPARE(spilled, 0);
    }
};

QTEST_GUILESS_MAIN(PreviewsTest)
#include "tst_previews.moc"

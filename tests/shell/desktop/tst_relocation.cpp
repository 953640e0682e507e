#include "shell/desktop/relocation.h"
#include "support/log_watch.h"
#include "support/temporary_settings.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>

namespace {
// The real file operations; the person at the alert, the mount check and the relaunch are
// played by the test.
class ScriptedPlatform : public Relocation::DesktopPlatform {
public:
    Answer answer;
    bool readOnlyMount = false;
    int asked = 0, failuresShown = 0;
    QStringList relaunched;

    Answer ask() override { return ++asked, answer; }
    void showFailure() override { ++failuresShown; }
    bool onReadOnlyOrRemovableMount(const QString&) override { return readOnlyMount; }
    std::optional<QString> relaunch(const QString& program) override {
        return relaunched.append(program), std::nullopt;
    }
};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data, QFile::Permissions permissions) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
    QVERIFY(file.setPermissions(permissions));
}

const QByteArray script = "#!/bin/sh\necho the image ran\n";
constexpr QFile::Permissions executable =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser;
} // namespace

// The settings' temporary folder stands in for the home folder, holding the trash too, and an
// executable script stands in for the image.
class RelocationTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TemporarySettings> m_settings;
    Relocation::Places m_places;
    std::unique_ptr<ScriptedPlatform> m_platform;

    Relocation::Outcome offer() {
        return Relocation::offerIfNeeded(*m_platform, m_settings->store(), m_places);
    }

private Q_SLOTS:
    void init() {
        m_settings = std::make_unique<TemporarySettings>();
        m_platform = std::make_unique<ScriptedPlatform>();
        const QString home = m_settings->folder();
        qputenv("HOME", home.toUtf8());
        qputenv("XDG_DATA_HOME", (home + "/.local/share").toUtf8());
        m_places = {home + "/Downloads/Alvore-x86_64.AppImage", home,
                    home + "/.local/share/applications", home + "/.config/autostart"};
        writeFile(m_places.image, script, executable);
    }

    // The question is a dialog under the application, named after it, with its answers as
    // named buttons a screen reader can press.
    void theQuestionIsReadByScreenReaders() {
        QStringList buttons;
        QString dialog;
        QTimer asking;
        QObject::connect(&asking, &QTimer::timeout, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box)
                return;
            asking.stop();
            QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(box);
            if (QAccessible::queryAccessibleInterface(qApp)->indexOfChild(shown) >= 0)
                dialog = shown->text(QAccessible::Name);
            for (QAbstractButton* button : box->findChildren<QAbstractButton*>()) {
                QAccessibleInterface* node = QAccessible::queryAccessibleInterface(button);
                buttons << node->text(QAccessible::Name);
                if (node->text(QAccessible::Name) == u"Not Now")
                    node->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            }
        });
        asking.start(10);
        const Relocation::Platform::Answer answer = Relocation::DesktopPlatform().ask();
        buttons.sort();
        QCOMPARE(QStringList(buttons) << dialog,
                 QStringList({"Don't ask again", "Move to Applications", "Not Now", "Alvore"}));
        QVERIFY(!answer.move && !answer.dontAskAgain);
    }

    void isNotOfferedWhereItDoesNotApply() {
        for (const QString& image : {QString(), m_places.home + "/Applications/tools/A.AppImage"}) {
            m_places.image = image;
            QCOMPARE(offer(), Relocation::Outcome::notOffered);
        }
        QCOMPARE(m_platform->asked, 0);
    }

    // An image on a read-only mount is copied and stays where it is.
    void theAnswerDecidesAndDontAskAgainIsKeptEitherWay_data() {
        QTest::addColumn<bool>("move");
        QTest::addColumn<bool>("dontAskAgain");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("not now") << false << false << false;
        QTest::newRow("not now, never again") << false << true << false;
        QTest::newRow("move, never again") << true << true << false;
        QTest::newRow("move from a read-only mount") << true << false << true;
    }
    void theAnswerDecidesAndDontAskAgainIsKeptEitherWay() {
        QFETCH(bool, move);
        QFETCH(bool, dontAskAgain);
        QFETCH(bool, readOnly);
        m_platform->answer = {move, dontAskAgain};
        m_platform->readOnlyMount = readOnly;
        QCOMPARE(offer(), move ? Relocation::Outcome::moved : Relocation::Outcome::declined);
        QCOMPARE(m_settings->store().value("relocation.dontAsk").toBool(), dontAskAgain);
        const bool kept = !move || readOnly;
        QCOMPARE(contents(m_places.destination()) + contents(m_places.image),
                 (move ? script : QByteArray()) + (kept ? script : QByteArray()));
        // The next start asks again only when the box was left clear.
        m_platform->answer = {};
        offer();
        QCOMPARE(m_platform->asked, 1 + int(!dontAskAgain && kept));
    }

    // The menu entry is a convenience: without it the move is still done, and no later start
    // copies again.
    void aMenuEntryThatCannotBeWrittenIsOnlyLogged() {
        writeFile(m_places.desktopEntries, "in the way", QFile::ReadOwner); // a file, no folder
        m_platform->answer = {true, false};
        LogWatch log;
        QCOMPARE(offer(), Relocation::Outcome::moved);
        QVERIFY(m_platform->failuresShown == 0 && !QFileInfo::exists(m_places.image));
        QCOMPARE(m_platform->relaunched, QStringList{m_places.destination()});
        const QStringList lines = log.newLines();
        QVERIFY2(lines.size() == 1 && lines[0].startsWith("menu entry not written: "),
                 qPrintable(lines.join('|')));
    }

    // An older copy that cannot be trashed stops the move: nothing is copied or lost, the user
    // is told and asked again at the next start, when the older copy goes to the trash.
    void movingReplacesTheOlderCopyAndStartsTheNewOne() {
        writeFile(m_places.destination(), "an older image", executable);
        writeFile(m_places.autostart + "/alvore.desktop",
                  "Exec=\"" + m_places.image.toUtf8() + "\"\n",
                  QFile::ReadOwner | QFile::WriteOwner);
        m_platform->answer = {true, false};
        const QString data = m_places.home + "/.local/share";
        QDir(data).removeRecursively();
        writeFile(data, "in the way", QFile::ReadOwner); // a plain file where the trash would go
        LogWatch log;
        QCOMPARE(offer(), Relocation::Outcome::failed);
        QVERIFY(m_platform->failuresShown == 1 && m_platform->relaunched.isEmpty());
        QCOMPARE(contents(m_places.image) + contents(m_places.destination()),
                 script + "an older image");
        const QStringList lines = log.newLines();
        QVERIFY2(lines.size() == 1 && lines[0].startsWith("move to Applications failed: "),
                 qPrintable(lines.join('|')));

        QVERIFY(QFile::remove(data) && offer() == Relocation::Outcome::moved);
        const QString destination = m_places.home + "/Applications/Alvore.AppImage";
        const QString trash = data + "/Trash/files/";
        QCOMPARE(contents(trash + "Alvore.AppImage") + contents(trash + "Alvore-x86_64.AppImage"),
                 "an older image" + script);
        QCOMPARE(m_platform->relaunched, QStringList{destination});
        QVERIFY(contents(destination) == script && QFileInfo(destination).isExecutable());
        const QString entry = QString::fromUtf8(
            contents(m_places.desktopEntries + "/com.brindlework.Alvore.desktop"));
        QVERIFY2(entry.contains("\nExec=\"" + destination + "\"\n"), qPrintable(entry));
        // The login item follows the image to its new place.
        QVERIFY(contents(m_places.autostart + "/alvore.desktop").contains(destination.toUtf8()));
    }
};

QTEST_MAIN(RelocationTest)
#include "tst_relocation.moc"

#include "model/login_item.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class LoginItemTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsTheInstalledProgramAcrossUpgrades();
};

namespace {
QString makeProgram(const QTemporaryDir& root, const QString& path) {
    const QString full = root.filePath(path);
    QDir().mkpath(QFileInfo(full).path());
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.setPermissions(file.permissions() | QFile::ExeOwner);
    return full;
}
} // namespace

void LoginItemTest::startsTheInstalledProgramAcrossUpgrades() {
    QTemporaryDir root;
    const QString bin = root.filePath("bin");
    const QString versioned = makeProgram(root, "opt/alvore-0.1.0/alvore");
    const QString other = makeProgram(root, "build/src/alvore");
    QVERIFY(!versioned.isEmpty() && !other.isEmpty());
    QVERIFY(QDir().mkpath(bin));
    QVERIFY(QFile::link(versioned, bin + "/alvore"));
    const QStringList path{root.filePath("empty"), bin};

    // Installed behind a link on the search path: the entry names the link, not the version.
    QCOMPARE(LoginItem::stableProgram(versioned, path), bin + "/alvore");
    QCOMPARE(LoginItem::stableProgram(bin + "/alvore", path), bin + "/alvore");
    // A different program of the same name (a build folder): the entry starts this one.
    QCOMPARE(LoginItem::stableProgram(other, path), other);
    QCOMPARE(LoginItem::stableProgram(other, {root.filePath("empty")}), other);
    // The running file was replaced by an upgrade: the installed one is what starts next time.
    QCOMPARE(LoginItem::stableProgram(root.filePath("opt/alvore-0.0.9/alvore"), path),
             bin + "/alvore");
}

QTEST_GUILESS_MAIN(LoginItemTest)
#include "tst_login_item.moc"

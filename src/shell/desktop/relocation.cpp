#include "shell/desktop/relocation.h"

#include "client/app_log.h"
#include "model/desktop_entry.h"
#include "model/login_item.h"
#include "shell/control/application_service.h"
#include "shell/control/single_instance.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStorageInfo>

namespace {
const auto dontAskKey = QStringLiteral("relocation.dontAsk");

// The copy at the destination and its menu entry; returns what went wrong, if anything. The
// entry is a convenience: without it the copy still runs, so its failure is only logged.
std::optional<QString> install(Relocation::Platform& platform, const Relocation::Places& places,
                               const QString& image) {
    const QString destination = places.destination();
    const QString folder = QFileInfo(destination).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("couldn't create the folder ") + folder;
    if (QFileInfo::exists(destination) || QFileInfo(destination).isSymLink()) {
        if (auto failure = platform.moveToTrash(destination))
            return failure;
    }
    if (auto failure = platform.copyExecutable(image, destination))
        return failure;
    if (const auto failure =
            DesktopEntry::write(places.desktopEntry(), destination,
                                QStringLiteral("Comment=Watch and control your air conditioners\n"
                                               "Icon=%1\n"
                                               "Categories=Utility;\n"
                                               "Terminal=false\n"
                                               "DBusActivatable=false\n")
                                    .arg(ApplicationService::busName)))
        AppLog::write(QStringLiteral("menu entry not written: ") + *failure);
    return std::nullopt;
}
} // namespace

namespace Relocation {

Places Places::forThisApp() {
    return {qEnvironmentVariable("APPIMAGE"), QDir::homePath(),
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/applications",
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart"};
}

QString Places::destination() const {
    return home + "/Applications/Alvore.AppImage";
}

QString Places::desktopEntry() const {
    return desktopEntries + '/' + ApplicationService::busName + ".desktop";
}

Outcome offerIfNeeded(Platform& platform, QSettings& store, const Places& places) {
    if (places.image.isEmpty())
        return Outcome::notOffered;
    const QString image = QDir::cleanPath(QFileInfo(places.image).absoluteFilePath());
    if (image == QDir::cleanPath(places.destination()) ||
        image.startsWith(QDir::cleanPath(places.home) + "/Applications/") ||
        store.value(dontAskKey).toBool())
        return Outcome::notOffered;

    const Platform::Answer answer = platform.ask();
    if (answer.dontAskAgain)
        store.setValue(dontAskKey, true);
    if (!answer.move)
        return Outcome::declined;

    if (const auto failure = install(platform, places, image)) {
        AppLog::write(QStringLiteral("move to Applications failed: ") + *failure);
        platform.showFailure();
        return Outcome::failed;
    }
    // A login item for the old place would start a file that is about to go.
    const LoginItem loginItem(places.autostart, places.destination());
    if (loginItem.isRegistered()) {
        if (const auto failure = loginItem.setRegistered(true))
            AppLog::write(QStringLiteral("login item not moved: ") + *failure);
    }
    if (!platform.onReadOnlyOrRemovableMount(image)) {
        if (const auto failure = platform.moveToTrash(image))
            AppLog::write(QStringLiteral("old copy left in place: ") + *failure);
    }
    if (const auto failure = platform.relaunch(places.destination())) {
        AppLog::write(QStringLiteral("couldn't start the moved copy: ") + *failure);
        return Outcome::failed;
    }
    return Outcome::moved;
}

Platform::Answer DesktopPlatform::ask() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Alvore"),
                    QStringLiteral("Move Alvore to Applications?"));
    box.setInformativeText(QStringLiteral("Alvore works best from your Applications folder: it "
                                          "stays in the tray there and opens at login."));
    QPushButton* move =
        box.addButton(QStringLiteral("Move to Applications"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Not Now"), QMessageBox::RejectRole);
    box.setDefaultButton(move);
    auto* dontAsk = new QCheckBox(QStringLiteral("Don't ask again"));
    box.setCheckBox(dontAsk);
    box.exec();
    return {box.clickedButton() == move, dontAsk->isChecked()};
}

void DesktopPlatform::showFailure() {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Alvore"),
                    QStringLiteral("Couldn't move Alvore"));
    box.setInformativeText(QStringLiteral("Drag Alvore into your Applications folder in your file "
                                          "manager, then open it from there."));
    box.exec();
}

std::optional<QString> DesktopPlatform::moveToTrash(const QString& path) {
    // Without the data folder Qt cannot make the trash, yet moves the file into a "files"
    // folder under the working directory and reports success.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!QDir().mkpath(data))
        return QStringLiteral("couldn't move %1 to the trash: no folder %2").arg(path, data);
    QFile file(path);
    if (file.moveToTrash())
        return std::nullopt;
    return QStringLiteral("couldn't move %1 to the trash: %2").arg(path, file.errorString());
}

std::optional<QString> DesktopPlatform::copyExecutable(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.copy(to))
        return QStringLiteral("couldn't copy %1 to %2: %3").arg(from, to, source.errorString());
    const QFile::Permissions permissions =
        source.permissions() | QFile::ExeOwner | QFile::ExeUser | QFile::ReadOwner;
    if (!QFile::setPermissions(to, permissions))
        return QStringLiteral("couldn't make %1 executable").arg(to);
    return std::nullopt;
}

bool DesktopPlatform::onReadOnlyOrRemovableMount(const QString& path) {
    const QStorageInfo storage(path);
    const QString root = storage.rootPath();
    return storage.isReadOnly() || root.startsWith(QLatin1String("/media/")) ||
           root.startsWith(QLatin1String("/run/media/"));
}

std::optional<QString> DesktopPlatform::relaunch(const QString& program) {
    // Started while this process still held the session's name, the copy would hand over to
    // it and end.
    SingleInstance::release(QDBusConnection::sessionBus());
    QProcess process;
    process.setProgram(program);
    // The image's runtime gives the copy its own APPIMAGE; the old one must not leak into it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("APPIMAGE"));
    process.setProcessEnvironment(environment);
    if (!process.startDetached()) {
        SingleInstance::claimAgain(QDBusConnection::sessionBus());
        return process.errorString();
    }
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    return std::nullopt;
}

} // namespace Relocation

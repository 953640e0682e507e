#pragma once

#include <QString>
#include <optional>

class QSettings;

// The offer, made once per start, to move the running AppImage into ~/Applications, where it
// has a menu entry and can start at login.
namespace Relocation {

// What the move does to the desktop and the files. Each operation that can fail returns what
// went wrong, if anything.
class Platform {
public:
    struct Answer {
        bool move = false;
        bool dontAskAgain = false;
    };

    virtual ~Platform() = default;
    // "Move Alvore to Applications?"
    virtual Answer ask() = 0;
    // "Couldn't move Alvore"
    virtual void showFailure() = 0;
    virtual std::optional<QString> moveToTrash(const QString& path) = 0;
    // Copies the file and keeps it executable.
    virtual std::optional<QString> copyExecutable(const QString& from, const QString& to) = 0;
    // Whether the file lies on a read-only or removable mount, where the old copy stays.
    virtual bool onReadOnlyOrRemovableMount(const QString& path) = 0;
    // Gives this process's place in the session to `program`, started as a process of its own,
    // and ends this one; keeps running when the program could not be started.
    virtual std::optional<QString> relaunch(const QString& program) = 0;
};

// The real thing: the trash, the file system, a new process and message boxes.
class DesktopPlatform : public Platform {
public:
    Answer ask() override;
    void showFailure() override;
    std::optional<QString> moveToTrash(const QString& path) override;
    std::optional<QString> copyExecutable(const QString& from, const QString& to) override;
    bool onReadOnlyOrRemovableMount(const QString& path) override;
    std::optional<QString> relaunch(const QString& program) override;
};

struct Places {
    QString image;          // the running AppImage; empty when the app does not run from one
    QString home;           // the user's home folder
    QString desktopEntries; // where the menu's entries live (~/.local/share/applications)
    QString autostart;      // where the login item's entry lives

    static Places forThisApp();
    // ~/Applications/Alvore.AppImage
    QString destination() const;
    QString desktopEntry() const;
};

enum class Outcome { notOffered, declined, moved, failed };

// Asks, when the image runs from outside ~/Applications and the user has not said "Don't ask
// again" (the store's "relocation.dontAsk"), and moves it when the user agrees.
Outcome offerIfNeeded(Platform& platform, QSettings& store, const Places& places);

} // namespace Relocation

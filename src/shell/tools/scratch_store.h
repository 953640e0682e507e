#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <memory>

// A copy of a settings store in a temporary folder, gone with the object: what is written to the
// copy never reaches the original. The preview renderer works on one, so that a run beside the
// user's app cannot undo what the user changes there meanwhile.
class ScratchStore {
public:
    explicit ScratchStore(const QSettings& original);

    QSettings& store() { return *copy; }

private:
    QTemporaryDir folder;
    std::unique_ptr<QSettings> copy;
};

#pragma once
// A small tmpfs mounted on a folder for the length of a test: a full disk
// (a size limit) or a read-only file system, which even root cannot write.
// Mounting needs the right to mount; where that is missing, ok() is false
// and the test skips.
//
//     kro::test::ScratchMount full(dir.filePath("small"), "size=1m");
//     if (!full.ok()) GTEST_SKIP() << full.error().toStdString();
#include <QString>

namespace kro::test {

class ScratchMount {
public:
    // Creates the folder and mounts a tmpfs with the options there.
    ScratchMount(const QString& folder, const QString& options);
    ~ScratchMount();
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool ok() const { return m_mounted; }
    QString error() const { return m_error; }
    QString path() const { return m_folder; }
    // Mounts it again read-only (what was written stays).
    bool makeReadOnly();

private:
    QString m_folder;
    QString m_error;
    bool m_mounted = false;
};

} // namespace kro::test

#pragma once

#include <QFile>
#include <QSaveFile>
#include <QString>

namespace quelm::platform {

// A file written for the user (picture, CSV, backup): written under a temporary name and renamed into place by
// commit(), so a failure leaves any earlier file of that name whole. Its writes honour ScopedWriteFault.
class AtomicFile : public QSaveFile {
public:
    explicit AtomicFile(const QString& path) : QSaveFile(path) {}

protected:
    qint64 writeData(const char* data, qint64 len) override;
};

// A plain file whose writes honour ScopedWriteFault: for copies whose caller removes a half-made result itself, where
// an AtomicFile's flush to the disk for every one of many files would cost too much.
class FaultAwareFile : public QFile {
public:
    explicit FaultAwareFile(const QString& path) : QFile(path) {}
    // Whether a write failed for want of room on the disk (a real one or one played by ScopedWriteFault).
    bool diskFull() const { return fullDisk_ || error() == QFileDevice::ResourceError; }

protected:
    qint64 writeData(const char* data, qint64 len) override;

private:
    bool fullDisk_ = false;
};

// The seam through which tests make the disk fill up: while one of these lives, files may grow by `bytes` more in
// all, then every write that would grow a file fails as on a full disk. Overwriting bytes a file already has still
// works, as it does on a full disk. Covers AtomicFile and the catalogue engine (its database and journal files).
// One at a time; tests only.
class ScopedWriteFault {
public:
    explicit ScopedWriteFault(qint64 bytes);
    ~ScopedWriteFault();
    ScopedWriteFault(const ScopedWriteFault&) = delete;
    ScopedWriteFault& operator=(const ScopedWriteFault&) = delete;

    // How many writes were refused so far.
    int refusals() const;
};

// A point between two steps of work that must survive being cut off there (a rename, a deletion). The crash trials
// set QUELM_KILL_AT_STEP=n to end the program with SIGKILL at the n-th such point, so that every step gets its kill;
// without the variable this does nothing.
void StepPoint();

} // namespace quelm::platform

#include "platform/WriteFaults.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <functional>
#include <sqlite3.h>

namespace quelm::platform {

namespace {

// Bytes files may still grow by; negative while no fault is set.
std::atomic<qint64> remaining{-1};
std::atomic<int> refused{0};

// Takes `wanted` bytes of growth from the budget; returns how many may be written.
qint64 Grant(qint64 wanted) {
    qint64 left = remaining.load();
    while (left >= 0) {
        const qint64 granted = std::min(left, wanted);
        if (remaining.compare_exchange_weak(left, left - granted)) {
            if (granted < wanted)
                ++refused;
            return granted;
        }
    }
    return wanted;
}

// ---------------------------------------------------------------- the engine's files

// A file of the fault layer: this header, then the file of the layer below.
struct FaultFile {
    sqlite3_file base;
};

sqlite3_file* Below(sqlite3_file* f) {
    return reinterpret_cast<sqlite3_file*>(reinterpret_cast<FaultFile*>(f) + 1);
}

sqlite3_vfs* lower = nullptr;

int Close(sqlite3_file* f) {
    return Below(f)->pMethods->xClose(Below(f));
}
int Read(sqlite3_file* f, void* out, int n, sqlite3_int64 at) {
    return Below(f)->pMethods->xRead(Below(f), out, n, at);
}
int Write(sqlite3_file* f, const void* data, int n, sqlite3_int64 at) {
    sqlite3_file* below = Below(f);
    sqlite3_int64 size = 0;
    if (below->pMethods->xFileSize(below, &size) != SQLITE_OK)
        return SQLITE_IOERR_WRITE;
    const qint64 growth = at + n > size ? at + n - size : 0;
    if (growth > 0 && Grant(growth) < growth)
        return SQLITE_FULL;
    return below->pMethods->xWrite(below, data, n, at);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
    return Below(f)->pMethods->xTruncate(Below(f), size);
}
int Sync(sqlite3_file* f, int flags) {
    return Below(f)->pMethods->xSync(Below(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
    return Below(f)->pMethods->xFileSize(Below(f), size);
}
int Lock(sqlite3_file* f, int level) {
    return Below(f)->pMethods->xLock(Below(f), level);
}
int Unlock(sqlite3_file* f, int level) {
    return Below(f)->pMethods->xUnlock(Below(f), level);
}
int CheckReservedLock(sqlite3_file* f, int* out) {
    return Below(f)->pMethods->xCheckReservedLock(Below(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) {
    return Below(f)->pMethods->xFileControl(Below(f), op, arg);
}
int SectorSize(sqlite3_file* f) {
    return Below(f)->pMethods->xSectorSize(Below(f));
}
int DeviceCharacteristics(sqlite3_file* f) {
    return Below(f)->pMethods->xDeviceCharacteristics(Below(f));
}
int ShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
    return Below(f)->pMethods->xShmMap(Below(f), page, size, extend, out);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return Below(f)->pMethods->xShmLock(Below(f), offset, n, flags);
}
void ShmBarrier(sqlite3_file* f) {
    Below(f)->pMethods->xShmBarrier(Below(f));
}
int ShmUnmap(sqlite3_file* f, int deleteFlag) {
    return Below(f)->pMethods->xShmUnmap(Below(f), deleteFlag);
}
int Fetch(sqlite3_file* f, sqlite3_int64 at, int n, void** out) {
    return Below(f)->pMethods->xFetch(Below(f), at, n, out);
}
int Unfetch(sqlite3_file* f, sqlite3_int64 at, void* p) {
    return Below(f)->pMethods->xUnfetch(Below(f), at, p);
}

const sqlite3_io_methods FaultMethods = {3,
                                         Close,
                                         Read,
                                         Write,
                                         Truncate,
                                         Sync,
                                         FileSize,
                                         Lock,
                                         Unlock,
                                         CheckReservedLock,
                                         FileControl,
                                         SectorSize,
                                         DeviceCharacteristics,
                                         ShmMap,
                                         ShmLock,
                                         ShmBarrier,
                                         ShmUnmap,
                                         Fetch,
                                         Unfetch};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    sqlite3_file* below = Below(f);
    const int rc = lower->xOpen(lower, name, below, flags, outFlags);
    // The engine closes a file only when its methods are set; a failed open leaves them unset on both layers.
    f->pMethods = below->pMethods && below->pMethods->iVersion >= 3 ? &FaultMethods : nullptr;
    if (below->pMethods && !f->pMethods) {
        below->pMethods->xClose(below);
        return SQLITE_CANTOPEN;
    }
    return rc;
}

sqlite3_vfs* FaultVfs() {
    static sqlite3_vfs vfs = [] {
        lower = sqlite3_vfs_find(nullptr);
        sqlite3_vfs v = *lower;
        v.szOsFile = static_cast<int>(sizeof(FaultFile)) + lower->szOsFile;
        v.zName = "quelm-write-faults";
        v.pNext = nullptr;
        v.xOpen = Open;
        return v;
    }();
    return &vfs;
}

} // namespace

namespace {

// Writes what the budget grants through `write`. When the disk is full part way through, what fitted is written and
// the result is -1, as a real write that ran out of space reports.
qint64 WriteGranted(const char* data, qint64 len, const std::function<qint64(const char*, qint64)>& write) {
    const qint64 granted = Grant(len);
    if (granted == len)
        return write(data, len);
    if (granted > 0)
        write(data, granted);
    return -1;
}

} // namespace

qint64 AtomicFile::writeData(const char* data, qint64 len) {
    const qint64 written =
        WriteGranted(data, len, [this](const char* d, qint64 n) { return QSaveFile::writeData(d, n); });
    if (written < 0)
        cancelWriting(); // the file is then in error and commit() fails
    return written;
}

qint64 FaultAwareFile::writeData(const char* data, qint64 len) {
    const qint64 written = WriteGranted(data, len, [this](const char* d, qint64 n) { return QFile::writeData(d, n); });
    if (written < 0) {
        fullDisk_ = true;
        setErrorString(QStringLiteral("No space left on device"));
    }
    return written;
}

ScopedWriteFault::ScopedWriteFault(qint64 bytes) {
    refused = 0;
    remaining = bytes;
    sqlite3_vfs_register(FaultVfs(), 1);
}

ScopedWriteFault::~ScopedWriteFault() {
    remaining = -1;
    sqlite3_vfs_unregister(FaultVfs());
    sqlite3_vfs_register(lower, 1);
}

int ScopedWriteFault::refusals() const {
    return refused;
}

void StepPoint() {
    static const int killAt = qEnvironmentVariableIntValue("QUELM_KILL_AT_STEP");
    static std::atomic<int> reached{0};
    if (killAt > 0 && ++reached == killAt)
        std::raise(SIGKILL);
}

} // namespace quelm::platform

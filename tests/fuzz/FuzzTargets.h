#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quelm::fuzz {

// One reader of outside files under fuzzing. The same entry serves the libFuzzer program (fuzz_<name>) and the
// replay test of the ordinary build, which feeds it every seed and every saved input.
struct FuzzTarget {
    QString name;
    // Reads the bytes as the program would read such a file; aborts when the reader breaks its own promises.
    void (*entry)(const std::uint8_t* data, std::size_t size);
    // Folders of seed files, relative to the shared fixtures.
    QStringList seedFolders;
};

const std::vector<FuzzTarget>& FuzzTargets();
const FuzzTarget* FindFuzzTarget(const QString& name);

// The readers take a path: the bytes go into a scratch file first, the same one for every input of a process.
QString ScratchFile(const std::uint8_t* data, std::size_t size, const QString& suffix);

// Ends the process when a promise is broken, so that both the fuzzer and the replay test see it.
void Require(bool condition, const char* what);

void FuzzPictureLoader(const std::uint8_t* data, std::size_t size);
void FuzzCsvReader(const std::uint8_t* data, std::size_t size);
void FuzzCddbReader(const std::uint8_t* data, std::size_t size);
void FuzzRestoreCheck(const std::uint8_t* data, std::size_t size);
void FuzzCdTextPacks(const std::uint8_t* data, std::size_t size);
void FuzzTagReader(const std::uint8_t* data, std::size_t size);
void FuzzJetReader(const std::uint8_t* data, std::size_t size);

} // namespace quelm::fuzz

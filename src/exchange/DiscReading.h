#pragma once

#include "exchange/DiscDrive.h"

#include <QObject>
#include <QStringList>
#include <chrono>
#include <functional>

class QPushButton;

namespace quelm::platform {
class Ui;
}

namespace quelm::exchange {

class CddbImportScreen;

// Reading the CD in the drive on the CDDB import screen: the disc's table of contents and CD-Text, or the titles of
// its entry in a folder of freedb files, become an xmcd file named by the disc ID in the CDDB folder, which the screen
// then lists and picks like any other CDDB file.
class DiscReading : public QObject {
    Q_OBJECT
public:
    DiscReading(CddbImportScreen& screen, platform::Ui& ui);

    void DiscRead_Click();     // CD読取り
    void FreedbFolder_Click(); // freedb参照

    QPushButton* DiscRead = nullptr;
    QPushButton* FreedbFolder = nullptr;

    // Where the drives are found; tests hand disc images instead.
    std::function<QStringList()> drives = ListDiscDrives;
    std::chrono::milliseconds timeLimit{45000};
    // The folder of freedb files looked in first; the ripper's cache in the home folder until the user names one.
    QString freedbFolder;

private:
    void placeButtons();
    std::optional<QString> chooseDrive();
    std::optional<QByteArray> xmcdFor(const DiscToc& toc);
    bool writeXmcd(const QString& path, const QByteArray& bytes);
    void pick(const QString& fileName);

    CddbImportScreen& screen_;
    platform::Ui& ui_;
};

// Adds the CD reading to a CDDB import screen; the screen owns it.
DiscReading* AddDiscReading(CddbImportScreen& screen, platform::Ui& ui);

} // namespace quelm::exchange

#pragma once

#include "platform/ScriptedUi.h"
#include "store/AppState.h"

namespace quelm::shots {

// A catalogue in a scratch folder with a few discs and tracks and two pick lists, so that the screens show something
// real. Under the scratch folder: the data folder "Quelm" and a backup folder "バックアップ" holding an earlier backup,
// which the backup and restore screens show instead of the folders of the machine they run on.
class DemoCatalogue {
public:
    explicit DemoCatalogue(const QString& home);

    QString home;         // the scratch folder: the top of the folder trees the pictures show
    QString backupFolder; // home/バックアップ
    store::AppState state;
    platform::ScriptedUi ui;
};

} // namespace quelm::shots

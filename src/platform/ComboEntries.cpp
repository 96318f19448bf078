#include "platform/ComboEntries.h"

#include <QComboBox>
#include <QListView>
#include <QStandardItemModel>

namespace quelm::platform {

void HideEmptyEntries(QComboBox& combo) {
    auto* model = qobject_cast<QStandardItemModel*>(combo.model());
    auto* view = qobject_cast<QListView*>(combo.view());
    for (int row = 0; row < combo.count(); ++row) {
        const bool empty = combo.itemText(row).trimmed().isEmpty();
        if (model) {
            if (QStandardItem* item = model->item(row))
                item->setEnabled(!empty);
        }
        if (view)
            view->setRowHidden(row, empty);
    }
}

} // namespace quelm::platform

#include "app/ComboChoice.hpp"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>

namespace tessik::app {

ComboChoice::ComboChoice(QComboBox* combo) : QObject(combo) {
    connect(combo->view()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [combo](const QItemSelection& selected) {
                if (combo->view()->isVisible() || selected.indexes().isEmpty()) return;
                combo->setCurrentIndex(selected.indexes().front().row());
            });
}

}  // namespace tessik::app

#include "selection/qt_choice_list_model.h"

#include "base/ansi.h"

namespace tarnwick {

void ChoiceListModel::SetEntries(std::vector<std::string> ansiEntries) {
    beginResetModel();
    ansi_ = std::move(ansiEntries);
    shown_.clear();
    shown_.reserve(static_cast<qsizetype>(ansi_.size()));
    for (const std::string& text : ansi_) shown_.push_back(QString::fromStdString(AnsiToUtf8(text)));
    endResetModel();
}

int ChoiceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

QVariant ChoiceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= shown_.size()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return shown_[index.row()];
    return {};
}

}  // namespace tarnwick

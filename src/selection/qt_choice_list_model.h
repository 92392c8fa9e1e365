#pragma once
// A list of ANSI texts for the choice window's combo boxes. The texts are
// converted for display once, when the list is set, and the whole list goes in
// with one model reset, so tens of thousands of entries fill at once.
#include <QAbstractListModel>
#include <QStringList>
#include <string>
#include <vector>

namespace tarnwick {

class ChoiceListModel : public QAbstractListModel {
    Q_OBJECT
   public:
    using QAbstractListModel::QAbstractListModel;

    void SetEntries(std::vector<std::string> ansiEntries);
    const std::string& AnsiAt(int row) const { return ansi_[static_cast<std::size_t>(row)]; }
    const std::vector<std::string>& Entries() const { return ansi_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

   private:
    std::vector<std::string> ansi_;
    QStringList shown_;
};

}  // namespace tarnwick

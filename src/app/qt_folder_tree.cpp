#include "app/qt_folder_tree.h"

#include <QDir>

#include "base/folder_browsing.h"

namespace tarnwick {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;

QString Join(const QString& folder, const QString& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

}  // namespace

FolderTree::FolderTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    connect(this, &QTreeWidget::itemExpanded, this, &FolderTree::Fill);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnCurrentChanged(current); });
}

QTreeWidgetItem* FolderTree::AddFolder(QTreeWidgetItem* parent, const QString& name,
                                       const QString& fullPath) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, name);
    item->setData(0, kPathRole, fullPath);
    item->setData(0, kFilledRole, false);
    // Every folder may hold folders; whether it does is learnt when it opens.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void FolderTree::Fill(QTreeWidgetItem* item) {
    if (item->data(0, kFilledRole).toBool()) return;
    item->setData(0, kFilledRole, true);
    const QString folder = item->data(0, kPathRole).toString();
    const auto names = ListSubfolders(QDir::toNativeSeparators(folder).toStdString());
    for (const std::string& name : names) {
        const QString text = QString::fromStdString(name);
        AddFolder(item, text, Join(folder, text));
    }
    if (names.empty()) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void FolderTree::SetRootAndPath(const QString& root, const QString& path) {
    blockSignals(true);
    clear();
    root_ = root;
    AddFolder(nullptr, root, root);
    blockSignals(false);
    SetPath(path);
}

void FolderTree::SetPath(const QString& path) {
    QTreeWidgetItem* item = topLevelItem(0);
    if (!item) return;
    const QString clean = QDir::cleanPath(path);
    if (clean != root_ && clean.startsWith(Join(root_, QString()))) {
        const QStringList parts = clean.mid(Join(root_, QString()).size()).split('/', Qt::SkipEmptyParts);
        for (const QString& part : parts) {
            Fill(item);
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < item->childCount() && !next; ++i) {
                if (item->child(i)->text(0) == part) next = item->child(i);
            }
            if (!next) break;
            item->setExpanded(true);
            item = next;
        }
    }
    setCurrentItem(item);
    scrollToItem(item);
    OnCurrentChanged(item);
}

void FolderTree::OnCurrentChanged(QTreeWidgetItem* current) {
    if (!current) return;
    const QString path = current->data(0, kPathRole).toString();
    if (path == path_) return;
    path_ = path;
    emit PathChanged(path_);
}

}  // namespace tarnwick

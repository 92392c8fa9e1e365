#pragma once
// A folder tree below one root folder, filled as the user opens folders. It
// reads the disk synchronously and only for opened folders, so setting a path
// takes effect at once.
#include <QTreeWidget>

namespace tarnwick {

class FolderTree : public QTreeWidget {
    Q_OBJECT
   public:
    explicit FolderTree(QWidget* parent = nullptr);

    // Shows the tree of `root` with `path` (inside it) opened and chosen.
    void SetRootAndPath(const QString& root, const QString& path);
    // The chosen folder.
    QString Path() const { return path_; }
    // Chooses a folder inside the current root, opening the folders above it.
    void SetPath(const QString& path);

   signals:
    void PathChanged(const QString& path);

   private:
    QTreeWidgetItem* AddFolder(QTreeWidgetItem* parent, const QString& name, const QString& fullPath);
    void Fill(QTreeWidgetItem* item);
    void OnCurrentChanged(QTreeWidgetItem* current);

    QString root_;
    QString path_;
};

}  // namespace tarnwick

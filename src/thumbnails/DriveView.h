#pragma once

#include <QList>
#include <QSet>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "platform/ui/View.h"
#include "thumbnails/DriveList.h"

class QFileSystemWatcher;
class QThread;
class QTreeWidget;
class QTreeWidgetItem;

// The folder tree of the thumbnail viewer: the drives at the top, their
// folders read one level at a time as the user expands them. Selecting a
// folder makes it the document's title and has the grid list it. The
// folders on show are watched, so created, deleted and renamed folders
// appear and disappear without the user's doing; a removable medium that
// went away or was swapped folds its drive up.
class CDriveView : public CView {
    Q_OBJECT
public:
    enum Image {
        IMG_FIXED = 0, IMG_FLOPPY, IMG_CDROM, IMG_REMOTE, IMG_RAMDISK, IMG_FOLDER, IMG_FOLDER_OPEN, IMG_REMOVABLE
    };
    // Where the drives and the medium identities come from; tests put a
    // temporary folder in as the only drive. Empty functions restore the
    // real ones.
    using RootProvider = std::function<QList<DriveRoot>()>;
    using MediumProvider = std::function<std::optional<quint64>(const QString& root)>;
    static void SetDriveServices(RootProvider roots, MediumProvider medium);
    // The folder the tree opens at first (the application's remembered
    // open folder); the working directory until the application sets it.
    static void SetStartFolder(std::function<QString()> folder);

    explicit CDriveView(QWidget* parent = nullptr);
    ~CDriveView() override;

    QTreeWidget* tree() const { return m_tree; }

    void OnInitialUpdate() override;
    bool OnWindowMessage(WindowMessageEvent& message) override;
    virtual void OnFolderSelected(const QString& path);

    // Opens the tree down to the folder, comparing names exactly, and
    // selects it when asked; false when some part of it is not found.
    bool SelectPath(const QString& path, bool select);
    QString GetItemPath(const QTreeWidgetItem* item) const;
    int AddDrives();
    // Stops the change notifications and waits for the worker that reads
    // subfolders; the view does it when it goes.
    void StopWatching();
    QStringList watchedFolders() const;

    static bool HasSubfolders(const QString& path);
    static bool IsPlaceholder(const QTreeWidgetItem* item);
    // The item's picture (Image).
    static int ItemImage(const QTreeWidgetItem* item);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void AddDrive(const DriveRoot& drive);
    void OnItemExpanding(QTreeWidgetItem* item, bool expand);
    void OnSelChanged(QTreeWidgetItem* item);
    // Whether the item's folder is still there; if not, a drive whose
    // medium went away is folded up, or a folder gone from the disk loses
    // its item.
    bool ItemStillThere(QTreeWidgetItem* item, const QString& path);
    bool CheckVolume(const QString& path);
    void ResetDriveItem(QTreeWidgetItem* driveItem);
    int AddSubfolders(QTreeWidgetItem* item, const QString& path);
    QTreeWidgetItem* InsertFolder(QTreeWidgetItem* parent, const QString& name, const QString& path);
    // A folder's item with its pictures, and a placeholder child when the
    // folder has subfolders of its own (or, unchecked, always).
    QTreeWidgetItem* MakeFolderItem(const QString& name, const QString& path, bool checked = true);
    // The children of a folder of many subfolders are shown with their
    // buttons at once; a worker reads which of them have no subfolders, and
    // those lose their buttons when it is done. Folders opened meanwhile wait
    // their turn.
    void CheckChildButtons(const QString& parentPath, const QStringList& names);
    void StartNextChildCheck();
    void OnChildrenChecked(const QString& parentPath, const QStringList& childless);
    void StopChildCheck();
    void UpdateChildButton(QTreeWidgetItem* item, const QString& path);
    void DeleteChildren(QTreeWidgetItem* item);
    void DeleteItem(QTreeWidgetItem* item);
    void RefreshDrive(int index);
    void RefreshSubtree(QTreeWidgetItem* item, const QString& path);
    static QTreeWidgetItem* FindChildByText(QTreeWidgetItem* parent, const QString& text);
    QTreeWidgetItem* FindDriveItem(const QString& root) const;
    // The drive a path lies on (the longest root it begins with), or -1.
    int DriveIndexOf(const QString& path) const;
    void SetItemImages(QTreeWidgetItem* item, int image, int selectedImage);
    void SyncWatches();
    void OnFolderChanged(const QString& path);

    QTreeWidget* m_tree;
    QList<DriveRoot> m_drives;
    QList<qint64> m_dwVolumeSerial;  // per drive; -1: no medium known
    QFileSystemWatcher* m_watcher = nullptr;
    QSet<int> m_pendingDrives;  // a refresh is posted for them
    int m_nUpdating = 0;        // the tree is changed by the program: no notifications
    std::unique_ptr<QThread> m_checker;
    std::shared_ptr<std::atomic_bool> m_checkCancelled;
    QList<std::pair<QString, QStringList>> m_pendingChecks;  // parent folder, child names
};

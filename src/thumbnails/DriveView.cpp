#include "thumbnails/DriveView.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QHash>
#include <QResizeEvent>
#include <QThread>
#include <QTreeWidget>

#include <algorithm>

#include "platform/Document.h"
#include "platform/WindowMessage.h"
#include "thumbnails/ThumbView.h"

namespace {

constexpr int ImageRole = Qt::UserRole + 1;

CDriveView::RootProvider& rootProvider()
{
    static CDriveView::RootProvider provider;
    return provider;
}

CDriveView::MediumProvider& mediumProvider()
{
    static CDriveView::MediumProvider provider;
    return provider;
}

std::function<QString()>& startFolder()
{
    static std::function<QString()> folder;
    return folder;
}

QString joinPath(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The subfolders of a folder, "." and ".." left out; an unreadable folder
// has none. QDir::System would add FIFOs, sockets, devices and broken links;
// without it a link to a device still comes: isFolder sorts those out.
QDirIterator subfolders(const QString& path)
{
    return QDirIterator(path, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
}

// Only directories are folders, also through links.
bool isFolder(const QDirIterator& it) { return it.fileInfo().isDir(); }

// Whether the path is the root or lies below it (whole names compared).
bool liesOn(const QString& path, const QString& root)
{
    return path == root
           || (path.startsWith(root) && (root.endsWith(QLatin1Char('/')) || path.at(root.size()) == QLatin1Char('/')));
}

bool IsDirectoryPath(const QString& path, bool driveRoot) { return driveRoot || QFileInfo(path).isDir(); }

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

// Past this many subfolders, their own subfolders are read by a worker.
constexpr qsizetype MANY_SUBFOLDERS = 200;

// The tree control's sorted order of sibling names.
bool sortsBefore(const QString& a, const QString& b)
{
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

}  // namespace

void CDriveView::SetDriveServices(RootProvider roots, MediumProvider medium)
{
    rootProvider() = std::move(roots);
    mediumProvider() = std::move(medium);
}

void CDriveView::SetStartFolder(std::function<QString()> folder) { startFolder() = std::move(folder); }

CDriveView::CDriveView(QWidget* parent) : CView(parent), m_tree(new QTreeWidget(this))
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);
    // The face colour of buttons, as the grid beside it.
    QPalette pal = m_tree->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    m_tree->setPalette(pal);
    setFocusProxy(m_tree);

    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (m_nUpdating == 0) OnItemExpanding(item, true);
    });
    connect(m_tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (m_nUpdating == 0) OnItemExpanding(item, false);
    });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current && m_nUpdating == 0) OnSelChanged(current);
    });
}

CDriveView::~CDriveView() { StopWatching(); }

void CDriveView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    m_tree->setGeometry(rect());
}

void CDriveView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    if (!m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &CDriveView::OnFolderChanged);
    }
    AddDrives();
    SelectPath(startFolder() ? startFolder()() : QDir::currentPath(), true);
}

int CDriveView::AddDrives()
{
    const QList<DriveRoot> drives = rootProvider() ? rootProvider()() : MountedDrives();
    for (const DriveRoot& drive : drives) AddDrive(drive);
    SyncWatches();
    return int(drives.size());
}

void CDriveView::AddDrive(const DriveRoot& drive)
{
    ++m_nUpdating;
    auto* item = new QTreeWidgetItem(m_tree, {drive.path});
    m_drives.append(drive);
    m_dwVolumeSerial.append(-1);
    switch (drive.kind) {
    case DriveKind::Removable:
        SetItemImages(item, drive.answersMediaQuery ? IMG_FLOPPY : IMG_REMOVABLE, -1);
        new QTreeWidgetItem(item);
        break;
    case DriveKind::Optical: {
        SetItemImages(item, IMG_CDROM, -1);
        new QTreeWidgetItem(item);
        const MediumProvider& medium = mediumProvider();
        const std::optional<quint64> id = medium ? medium(drive.path) : MediumIdentity(drive.path);
        m_dwVolumeSerial.last() = id ? qint64(*id) : -1;
        break;
    }
    default:
        SetItemImages(item, drive.kind == DriveKind::Remote ? IMG_REMOTE
                            : drive.kind == DriveKind::RamDisk ? IMG_RAMDISK : IMG_FIXED, -1);
        if (HasSubfolders(drive.path)) new QTreeWidgetItem(item);
        break;
    }
    --m_nUpdating;
}

void CDriveView::SetItemImages(QTreeWidgetItem* item, int image, int selectedImage)
{
    QIcon icon(DriveImage(image));
    if (selectedImage >= 0) icon.addPixmap(DriveImage(selectedImage), QIcon::Selected);
    item->setIcon(0, icon);
    item->setData(0, ImageRole, image);
}

int CDriveView::ItemImage(const QTreeWidgetItem* item) { return item ? item->data(0, ImageRole).toInt() : -1; }

bool CDriveView::IsPlaceholder(const QTreeWidgetItem* item) { return item && item->text(0).isEmpty(); }

QString CDriveView::GetItemPath(const QTreeWidgetItem* item) const
{
    QString path;
    for (; item; item = item->parent()) {
        QString text = item->text(0);
        if (!path.isEmpty() && !text.endsWith(QLatin1Char('/'))) text += QLatin1Char('/');
        path.prepend(text);
    }
    return path;
}

bool CDriveView::ItemStillThere(QTreeWidgetItem* item, const QString& path)
{
    QTreeWidgetItem* driveItem = item;
    while (driveItem->parent()) driveItem = driveItem->parent();
    if (!CheckVolume(driveItem->text(0))) {
        ResetDriveItem(driveItem);
        return false;
    }
    if (!IsDirectoryPath(path, item == driveItem)) {
        DeleteItem(item);
        return false;
    }
    return true;
}

void CDriveView::OnItemExpanding(QTreeWidgetItem* item, bool expand)
{
    const QString path = GetItemPath(item);
    if (ItemStillThere(item, path)) {
        WaitCursor wait;
        ++m_nUpdating;
        DeleteChildren(item);
        if (expand) {
            // An item with no subfolders left loses its button instead of opening.
            if (AddSubfolders(item, path) == 0) item->setExpanded(false);
        } else if (!item->parent() || HasSubfolders(path)) {
            new QTreeWidgetItem(item);
        }
        --m_nUpdating;
    }
    SyncWatches();
}

void CDriveView::OnSelChanged(QTreeWidgetItem* item)
{
    const QString path = GetItemPath(item);
    if (ItemStillThere(item, path)) {
        if (!item->isExpanded() || item->childCount() == 0) UpdateChildButton(item, path);
        OnFolderSelected(path);
    }
    SyncWatches();
}

void CDriveView::OnFolderSelected(const QString& path)
{
    CDocument* doc = GetDocument();
    if (!doc) return;
    WaitCursor wait;
    doc->SetTitle(path);
    FolderHint hint(path);
    doc->UpdateAllViews(this, 0, &hint);
}

bool CDriveView::CheckVolume(const QString& path)
{
    const int index = DriveIndexOf(path);
    if (index < 0) return false;
    const DriveKind kind = m_drives.at(index).kind;
    if (kind != DriveKind::Removable && kind != DriveKind::Optical) return true;
    const MediumProvider& medium = mediumProvider();
    const std::optional<quint64> id = medium ? medium(m_drives.at(index).path) : MediumIdentity(m_drives.at(index).path);
    qint64& stored = m_dwVolumeSerial[index];
    if (!id) {
        stored = -1;
        return false;
    }
    const bool same = stored == -1 || stored == qint64(*id);
    stored = qint64(*id);
    return same;
}

void CDriveView::ResetDriveItem(QTreeWidgetItem* driveItem)
{
    ++m_nUpdating;
    driveItem->setExpanded(false);
    DeleteChildren(driveItem);
    new QTreeWidgetItem(driveItem);
    --m_nUpdating;
}

int CDriveView::AddSubfolders(QTreeWidgetItem* item, const QString& path)
{
    QList<QPair<QString, QString>> found;  // name, path
    for (QDirIterator it = subfolders(path); it.hasNext();) {
        it.next();
        if (isFolder(it)) found.append({it.fileName(), it.filePath()});
    }
    if (item->childCount() > 0) {
        for (const auto& [name, folder] : found) InsertFolder(item, name, folder);
        return int(found.size());
    }
    // Sorted once and added together: inserting each in place costs a
    // scan of its siblings, which a folder of thousands cannot afford.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return sortsBefore(a.first, b.first); });
    // Reading every child for subfolders costs a directory read each: past
    // a few hundred, or on a network drive where each is a round trip, that
    // is left to a worker.
    const int drive = DriveIndexOf(path);
    const bool remote = drive >= 0 && m_drives.at(drive).kind == DriveKind::Remote;
    const bool checkNow = found.size() <= MANY_SUBFOLDERS && !remote;
    QList<QTreeWidgetItem*> children;
    QStringList names;
    children.reserve(found.size());
    for (const auto& [name, folder] : found) {
        children.append(MakeFolderItem(name, folder, checkNow));
        names.append(name);
    }
    item->addChildren(children);
    if (!checkNow) CheckChildButtons(path, names);
    return int(found.size());
}

QTreeWidgetItem* CDriveView::MakeFolderItem(const QString& name, const QString& path, bool checked)
{
    auto* child = new QTreeWidgetItem({name});
    SetItemImages(child, IMG_FOLDER, IMG_FOLDER_OPEN);
    if (!checked || HasSubfolders(path)) new QTreeWidgetItem(child);
    return child;
}

void CDriveView::CheckChildButtons(const QString& parentPath, const QStringList& names)
{
    m_pendingChecks.append({parentPath, names});
    if (!m_checker) StartNextChildCheck();
}

void CDriveView::StartNextChildCheck()
{
    if (m_pendingChecks.isEmpty()) return;
    const auto [parentPath, names] = m_pendingChecks.takeFirst();
    auto cancelled = std::make_shared<std::atomic_bool>(false);
    m_checkCancelled = cancelled;
    m_checker.reset(QThread::create([this, parentPath, names, cancelled] {
        QStringList childless;
        const QDir parent(parentPath);
        for (const QString& name : names) {
            if (*cancelled) return;
            if (!HasSubfolders(parent.filePath(name))) childless.append(name);
        }
        // The view waits for this thread before it goes, so it is alive here;
        // the call runs on the window's thread, and after StopChildCheck
        // (which already waited for this thread) it does nothing.
        QMetaObject::invokeMethod(
            this, [this, parentPath, childless, cancelled] {
                if (*cancelled) return;
                m_checker->wait();
                m_checker.reset();
                OnChildrenChecked(parentPath, childless);
                StartNextChildCheck();
            },
            Qt::QueuedConnection);
    }));
    m_checker->start();
}

void CDriveView::OnChildrenChecked(const QString& parentPath, const QStringList& childless)
{
    // The folder's item as it is now: it may have been folded, refreshed or
    // removed meanwhile.
    const int drive = DriveIndexOf(parentPath);
    if (drive < 0) return;
    const QString& root = m_drives.at(drive).path;
    QTreeWidgetItem* parent = FindDriveItem(root);
    for (const QString& name : parentPath.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (!parent) return;
        parent = FindChildByText(parent, name);
    }
    if (!parent || !parent->isExpanded()) return;
    QHash<QString, QTreeWidgetItem*> byName;
    for (int i = 0; i < parent->childCount(); ++i) byName.insert(parent->child(i)->text(0), parent->child(i));
    ++m_nUpdating;
    for (const QString& name : childless) {
        QTreeWidgetItem* item = byName.value(name);
        if (item && !item->isExpanded() && item->childCount() == 1 && IsPlaceholder(item->child(0)))
            DeleteChildren(item);
    }
    --m_nUpdating;
}

void CDriveView::StopChildCheck()
{
    m_pendingChecks.clear();
    if (m_checkCancelled) *m_checkCancelled = true;
    if (m_checker) m_checker->wait();
    m_checker.reset();
}

QTreeWidgetItem* CDriveView::InsertFolder(QTreeWidgetItem* parent, const QString& name, const QString& path)
{
    int at = 0;
    while (at < parent->childCount() && !sortsBefore(name, parent->child(at)->text(0))) ++at;
    QTreeWidgetItem* child = MakeFolderItem(name, path);
    parent->insertChild(at, child);
    return child;
}

bool CDriveView::HasSubfolders(const QString& path)
{
    for (QDirIterator it = subfolders(path); it.hasNext();) {
        it.next();
        if (isFolder(it)) return true;
    }
    return false;
}

void CDriveView::UpdateChildButton(QTreeWidgetItem* item, const QString& path)
{
    ++m_nUpdating;
    const bool has = HasSubfolders(path);
    if (has && item->childCount() == 0) new QTreeWidgetItem(item);
    else if (!has && item->childCount() > 0) DeleteChildren(item);
    --m_nUpdating;
}

void CDriveView::DeleteChildren(QTreeWidgetItem* item)
{
    ++m_nUpdating;
    qDeleteAll(item->takeChildren());
    --m_nUpdating;
}

void CDriveView::DeleteItem(QTreeWidgetItem* item)
{
    if (!item->parent()) return;
    bool heldCurrent = false;
    for (QTreeWidgetItem* i = m_tree->currentItem(); i && !heldCurrent; i = i->parent()) heldCurrent = i == item;
    delete item;
    // The selection moved to a neighbour: it shows as any selection does,
    // once the change under way is finished.
    if (heldCurrent) {
        QMetaObject::invokeMethod(this, [this] {
            if (QTreeWidgetItem* current = m_tree->currentItem()) OnSelChanged(current);
        }, Qt::QueuedConnection);
    }
}

QTreeWidgetItem* CDriveView::FindChildByText(QTreeWidgetItem* parent, const QString& text)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == text) return parent->child(i);
    }
    return nullptr;
}

QTreeWidgetItem* CDriveView::FindDriveItem(const QString& root) const
{
    return FindChildByText(m_tree->invisibleRootItem(), root);
}

int CDriveView::DriveIndexOf(const QString& path) const
{
    int best = -1;
    for (int i = 0; i < m_drives.size(); ++i) {
        const QString& root = m_drives.at(i).path;
        if (liesOn(path, root) && (best < 0 || root.size() > m_drives.at(best).path.size())) best = i;
    }
    return best;
}

bool CDriveView::SelectPath(const QString& path, bool select)
{
    const int drive = DriveIndexOf(path);
    if (path.isEmpty() || drive < 0) return false;
    const QString& root = m_drives.at(drive).path;
    QTreeWidgetItem* item = FindDriveItem(root);
    if (!item) return false;
    QString rest = path.mid(root.size());
    if (rest.startsWith(QLatin1Char('/'))) rest.remove(0, 1);
    for (;;) {
        if (rest.isEmpty()) {
            item->setExpanded(true);
            if (select) {
                m_tree->setCurrentItem(item);
                m_tree->scrollToItem(item);
            }
            return true;
        }
        item->setExpanded(true);
        if (item->childCount() == 0 || IsPlaceholder(item->child(0))) return false;
        const int slash = rest.indexOf(QLatin1Char('/'));
        const QString name = slash < 0 ? rest : rest.left(slash);
        rest = slash < 0 ? QString() : rest.mid(slash + 1);
        item = FindChildByText(item, name);
        if (!item) return false;
    }
}

bool CDriveView::OnWindowMessage(WindowMessageEvent& message)
{
    switch (message.message()) {
    case MSG_SHOW_FOLDER:
        if (message.lParam() != 0) SelectPath(message.lParamText(), true);
        message.setResult(0);
        return true;
    case MSG_DRIVE_CHANGED:
        m_pendingDrives.remove(int(message.wParam()));
        RefreshDrive(int(message.wParam()));
        return true;
    default:
        return false;
    }
}

void CDriveView::OnFolderChanged(const QString& path)
{
    // Every drive that shows the folder (a mount point shows under "/" as
    // well); several changes in a row cost one refresh of each.
    for (int drive = 0; drive < m_drives.size(); ++drive) {
        const QString& root = m_drives.at(drive).path;
        if (!liesOn(path, root) || m_pendingDrives.contains(drive)) continue;
        m_pendingDrives.insert(drive);
        PostWindowMessage(this, MSG_DRIVE_CHANGED, quintptr(drive), 0);
    }
}

void CDriveView::RefreshDrive(int index)
{
    if (index < 0 || index >= m_drives.size()) return;
    QTreeWidgetItem* driveItem = FindDriveItem(m_drives.at(index).path);
    if (!driveItem) return;
    if (!CheckVolume(m_drives.at(index).path)) ResetDriveItem(driveItem);
    else RefreshSubtree(driveItem, m_drives.at(index).path);
    SyncWatches();
}

void CDriveView::RefreshSubtree(QTreeWidgetItem* item, const QString& path)
{
    ++m_nUpdating;
    if (!item->isExpanded() || item->childCount() == 0) {
        if (item->parent()) {
            UpdateChildButton(item, path);
            item->setExpanded(false);
        }
        --m_nUpdating;
        return;
    }
    QSet<QString> noted;
    for (int i = item->childCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* child = item->child(i);
        if (!IsPlaceholder(child) && QFileInfo(joinPath(path, child->text(0))).isDir()) noted.insert(child->text(0));
        else DeleteItem(child);
    }
    for (QDirIterator it = subfolders(path); it.hasNext();) {
        it.next();
        if (noted.contains(it.fileName()) || !isFolder(it)) continue;
        InsertFolder(item, it.fileName(), it.filePath());
        noted.insert(it.fileName());
    }
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        RefreshSubtree(child, joinPath(path, child->text(0)));
    }
    --m_nUpdating;
}

void CDriveView::SyncWatches()
{
    if (!m_watcher) return;
    // Every folder on show: the expanded ones and their visible children,
    // whose expand buttons must follow their subfolders.
    QSet<QString> wanted;
    QList<QTreeWidgetItem*> pending;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) pending.append(m_tree->topLevelItem(i));
    while (!pending.isEmpty()) {
        QTreeWidgetItem* item = pending.takeLast();
        if (IsPlaceholder(item)) continue;
        const QTreeWidgetItem* parent = item->parent();
        if (!parent || parent->isExpanded()) wanted.insert(GetItemPath(item));
        if (item->isExpanded())
            for (int i = 0; i < item->childCount(); ++i) pending.append(item->child(i));
    }
    const QStringList current = m_watcher->directories();
    QStringList gone;
    for (const QString& folder : current)
        if (!wanted.remove(folder)) gone.append(folder);
    if (!gone.isEmpty()) m_watcher->removePaths(gone);
    if (!wanted.isEmpty()) m_watcher->addPaths(QStringList(wanted.cbegin(), wanted.cend()));
}

void CDriveView::StopWatching()
{
    StopChildCheck();
    delete m_watcher;
    m_watcher = nullptr;
    m_pendingDrives.clear();
}

QStringList CDriveView::watchedFolders() const { return m_watcher ? m_watcher->directories() : QStringList(); }

// SPDX-License-Identifier: GPL-3.0-or-later
#include "manage/FolderTree.h"

#include "support/TextHelpers.h"

#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStandardItemModel>

namespace kx {

namespace {

constexpr int kNameRole = Qt::UserRole + 1;        // the folder's name as the file system has it
constexpr int kPlaceholderRole = Qt::UserRole + 2; // the "..." child of a folder not read yet

/** A folder node; folders sort by name without regard to case, as a file manager lists them,
 *  hidden folders (".cache") after the others. */
class FolderItem : public QStandardItem
{
public:
    explicit FolderItem(const QString& text) : QStandardItem(text) { setEditable(false); }

    bool operator<(const QStandardItem& other) const override
    {
        const bool hidden = text().startsWith(QLatin1Char('.'));
        if (hidden != other.text().startsWith(QLatin1Char('.')))
            return !hidden;
        const int order = text().compare(other.text(), Qt::CaseInsensitive);
        return order != 0 ? order < 0 : text() < other.text();
    }
};

QStandardItem* placeholder()
{
    auto* item = new FolderItem(QStringLiteral("..."));
    item->setData(true, kPlaceholderRole);
    return item;
}

bool isPlaceholder(const QStandardItem* item)
{
    return item != nullptr && item->data(kPlaceholderRole).toBool();
}

std::string nameOf(const QStandardItem* item)
{
    return item->data(kNameRole).toByteArray().toStdString();
}

} // namespace

FolderTree::FolderTree(Platform& platform, QWidget* parent)
    : QTreeView(parent), m_platform(platform), m_model(new QStandardItemModel(this))
{
    setModel(m_model);
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setIndentation(19);
    connect(this, &QTreeView::expanded, this, &FolderTree::onExpanded);

    auto* root = new FolderItem(QStringLiteral("c:\\"));
    root->setData(QByteArray("c:\\"), kNameRole);
    m_model->appendRow(root);
}

bool FolderTree::loadDrive(const std::string& path)
{
    if (!m_loadIdle || path.size() < 3)
        return false;
    m_loadIdle = false;
    m_drive = static_cast<char>(path[0]);
    loadFolder(path.substr(0, 3), nullptr);
    m_loadIdle = false;

    // Selecting the root loads its subfolders through the click handling, which finds the load
    // under way; the root is opened so that the drive's folders show at once.
    QStandardItem* root = m_model->item(0);
    selectExpanding(root);
    if (!m_loadIdle)
        loadFolder(nodePath(root), root);
    sortTree();
    goToPath(path);
    return false;
}

std::string FolderTree::directory() const
{
    const std::string mask = nodePath(selectedNode());
    const std::size_t slash = mask.rfind('\\');
    return slash == std::string::npos ? std::string() : mask.substr(0, slash + 1);
}

void FolderTree::sortTree()
{
    m_model->sort(0);
}

QModelIndex FolderTree::topVisibleIndex() const
{
    const QModelIndex top = indexAt(QPoint(1, 1));
    return top.isValid() ? top : m_model->index(0, 0);
}

void FolderTree::mousePressEvent(QMouseEvent* event)
{
    emit mousePressed(event->button(), event->position().toPoint());
    QTreeView::mousePressEvent(event);
}

void FolderTree::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        clickHandling();
    emit mouseReleased(event->button(), event->position().toPoint());
}

void FolderTree::keyReleaseEvent(QKeyEvent* event)
{
    QTreeView::keyReleaseEvent(event);
    // A held key repeats its press, not its release.
    if (event->isAutoRepeat())
        return;
    emit keyReleased();
    clickHandling();
}

void FolderTree::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    if (!m_inClick)
        clickHandling();
}

void FolderTree::clickHandling()
{
    emit clickHandled();
    m_inClick = true;
    // Once a drive has been loaded, clicks load nothing: folders are read when expanded.
    if (!m_loadIdle) {
        if (QStandardItem* node = selectedNode())
            loadFolder(nodePath(node), node);
    }
    m_inClick = false;
}

void FolderTree::onExpanded(const QModelIndex& index)
{
    emit nodeExpanded(index);
    QStandardItem* node = m_model->itemFromIndex(index);
    if (node == nullptr)
        return;
    if (isPlaceholder(node->child(0)))
        loadFolder(nodePath(node), node);
    removePlaceholder(node);
    sortTree();
}

void FolderTree::loadFolder(const std::string& mask, QStandardItem* parent)
{
    if (parent == nullptr) {
        // A new drive: the root alone. Its folders come with its selection.
        m_model->clear();
        auto* root = new FolderItem(QFile::decodeName(QByteArray::fromStdString(mask)));
        root->setData(QByteArray::fromStdString(mask), kNameRole);
        m_model->appendRow(root);
    } else {
        std::string folder = mask;
        if (folder.size() >= 3 && folder.compare(folder.size() - 3, 3, "*.*") == 0)
            folder.resize(folder.size() - 3);
        // A folder that cannot be read simply has no subfolders.
        if (const auto listing = m_platform.openDir(folder)) {
            FileInfo entry;
            while (listing.value()->next(entry)) {
                // A mount point belongs to the drive of its own file system.
                if (entry.isDir && !entry.otherDevice)
                    addFolderNode(parent, entry);
            }
        }
    }
    m_loadIdle = true;
}

void FolderTree::addFolderNode(QStandardItem* parent, const FileInfo& entry)
{
    if (entry.name == "." || entry.name == "..")
        return;
    if (isPlaceholder(parent->child(0)))
        parent->removeRow(0);
    const QByteArray name = QByteArray::fromStdString(entry.name);
    auto* node = new FolderItem(QFile::decodeName(name));
    node->setData(name, kNameRole);
    if (entry.isDir)
        node->appendRow(placeholder());
    parent->appendRow(node);
}

void FolderTree::removePlaceholder(QStandardItem* node)
{
    if (isPlaceholder(node->child(0)))
        node->removeRow(0);
}

std::string FolderTree::nodePath(const QStandardItem* node) const
{
    if (node == nullptr || isPlaceholder(node))
        return {};
    const bool isRoot = node->parent() == nullptr;
    std::string path = isRoot ? "*.*" : nameOf(node) + "\\*.*";
    for (const QStandardItem* up = node->parent(); up != nullptr && up->parent() != nullptr;
         up = up->parent())
        path = nameOf(up) + "\\" + path;
    return std::string(1, m_drive) + ":\\" + path;
}

void FolderTree::goToPath(const std::string& path)
{
    std::string rest = path;
    QStandardItem* node = m_model->itemFromIndex(topVisibleIndex());
    while (node != nullptr) {
        rest = textAfter('\\', rest);
        const std::string part =
            rest.find('\\') == std::string::npos ? rest : textBefore('\\', rest);
        QStandardItem* found = nullptr;
        for (int row = 0; row < node->rowCount() && found == nullptr; ++row) {
            QStandardItem* child = node->child(row);
            if (!isPlaceholder(child) && nameOf(child) == part)
                found = child;
        }
        if (found == nullptr)
            return;
        node = found;
        selectExpanding(node);
        const std::size_t slash = rest.find('\\');
        if (slash == std::string::npos || slash + 1 >= rest.size())
            return;
    }
}

void FolderTree::selectExpanding(QStandardItem* node)
{
    const QModelIndex index = m_model->indexFromItem(node);
    setCurrentIndex(index);
    expand(index);
}

QStandardItem* FolderTree::selectedNode() const
{
    return m_model->itemFromIndex(currentIndex());
}

} // namespace kx

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <QTreeView>

#include <string>

class QStandardItem;
class QStandardItemModel;

namespace kx {

/**
 * The folder tree of one drive, read lazily: a drive's top-level folders when the drive is
 * loaded, any other folder's subfolders when that folder is first expanded. A folder not read
 * yet carries one placeholder child "...", so it shows an expand button; once read, a folder
 * without subfolders loses it. Each folder is read once; files never appear.
 *
 * The tree's click handling runs for a mouse click, for every change of the selected folder
 * and for every key released in the tree; it reports each run through clickHandled(), before
 * it loads anything.
 */
class FolderTree : public QTreeView
{
    Q_OBJECT

public:
    FolderTree(Platform& platform, QWidget* parent);

    /** Rebuilds the tree for the drive of `path` ("d:\"), with the drive's top-level folders
     *  under the root, and selects the folders along `path` as far as they exist (names compared
     *  with their case). Ignored while a load is under way. Always false. */
    bool loadDrive(const std::string& path);
    /** The selected folder, ending in "\" ("c:\", "c:\Docs\Sub\"); empty when none is. */
    std::string directory() const;
    /** The drive shown, lower case. */
    char drive() const { return m_drive; }
    /** Sorts every level of the tree alphabetically. */
    void sortTree();
    /** The width the shown folders take, their indentation included. */
    int shownNamesWidth() const { return sizeHintForColumn(0); }
    /** The node at the top of the visible part of the tree. */
    QModelIndex topVisibleIndex() const;

signals:
    /** The click handling runs (see the class comment). */
    void clickHandled();
    /** A folder was expanded; its subfolders are read after this signal. */
    void nodeExpanded(const QModelIndex& index);
    void mousePressed(Qt::MouseButton button, const QPoint& position);
    void mouseReleased(Qt::MouseButton button, const QPoint& position);
    /** A key was released in the tree; the click handling follows. */
    void keyReleased();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void clickHandling();
    void onExpanded(const QModelIndex& index);
    void loadFolder(const std::string& mask, QStandardItem* parent);
    void addFolderNode(QStandardItem* parent, const FileInfo& entry);
    void removePlaceholder(QStandardItem* node);
    std::string nodePath(const QStandardItem* node) const;
    void goToPath(const std::string& path);
    void selectExpanding(QStandardItem* node);
    QStandardItem* selectedNode() const;

    Platform& m_platform;
    QStandardItemModel* m_model;
    char m_drive = 'c';
    bool m_loadIdle = true;
    bool m_inClick = false;
};

} // namespace kx

// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FaultyPlatform.h"
#include "common/Fixture.h"
#include "manage/FolderTree.h"

#include <QSignalSpy>
#include <QtTest>

#include <map>

using namespace kx;
using test::Fixture;

namespace {

/** Counts the folder listings asked for, by path. */
class CountingPlatform : public test::FaultyPlatform
{
public:
    using FaultyPlatform::FaultyPlatform;
    std::map<std::string, int> listed;

    Result<std::unique_ptr<DirListing>> openDir(const std::string& path) override
    {
        ++listed[path];
        return FaultyPlatform::openDir(path);
    }
};

QStringList childTexts(const QAbstractItemModel* model, const QModelIndex& parent)
{
    QStringList out;
    for (int row = 0; row < model->rowCount(parent); ++row)
        out << model->index(row, 0, parent).data().toString();
    return out;
}

QModelIndex child(const QAbstractItemModel* model, const QModelIndex& parent, const QString& name)
{
    for (int row = 0; row < model->rowCount(parent); ++row) {
        if (model->index(row, 0, parent).data().toString() == name)
            return model->index(row, 0, parent);
    }
    return {};
}

/** Drive d: with Docs\Sub\Deeper, Docs\Empty, a file in Docs, and folders that sort by name. */
void buildDrive(Fixture& fixture)
{
    fixture.addDrive('d');
    fixture.makeDir("d:\\Docs\\Sub\\Deeper");
    fixture.makeDir("d:\\Docs\\Empty");
    fixture.writeFile("d:\\Docs\\file.txt", "f");
    fixture.makeDir("d:\\beta");
    fixture.makeDir("d:\\Alpha");
    fixture.makeDir("d:\\.hidden");
    fixture.makeDir("d:\\.Zeta");
    fixture.makeDir("d:\\_under");
}

} // namespace

class TestFolderTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void aFreshTreeShowsTheRootOfDriveC()
    {
        Fixture fixture;
        fixture.addDrive('c');
        auto platform = fixture.platform();
        FolderTree tree(*platform, nullptr);
        QCOMPARE(childTexts(tree.model(), {}), QStringList{"c:\\"});
        QCOMPARE(tree.drive(), 'c');
    }

    void loadingADriveReadsItsTopLevelFoldersOnly()
    {
        Fixture fixture;
        buildDrive(fixture);
        fixture.addDrive('e');
        auto counting = std::make_unique<CountingPlatform>(fixture.platform());
        CountingPlatform& platform = *counting;
        FolderTree tree(platform, nullptr);
        QSignalSpy clicks(&tree, &FolderTree::clickHandled);

        tree.loadDrive("d:\\");
        const QAbstractItemModel* model = tree.model();
        const QModelIndex root = model->index(0, 0);
        QCOMPARE(root.data().toString(), QString("d:\\"));
        QVERIFY(tree.isExpanded(root));
        // Sorted without regard to case, hidden folders after the others; files never show.
        QCOMPARE(childTexts(model, root),
                 (QStringList{"_under", "Alpha", "beta", "Docs", ".hidden", ".Zeta"}));
        QCOMPARE(tree.directory(), std::string("d:\\"));
        QVERIFY(clicks.size() >= 1);
        QCOMPARE(platform.listed, (std::map<std::string, int>{{"d:\\", 1}}));

        // A folder not read yet has an expand button; its first expansion reads it, once.
        const QModelIndex docs = child(model, root, "Docs");
        QVERIFY(model->hasChildren(docs));
        tree.expand(docs);
        QCOMPARE(childTexts(model, docs), (QStringList{"Empty", "Sub"}));
        tree.collapse(docs);
        tree.expand(docs);
        QCOMPARE(platform.listed["d:\\Docs\\"], 1);

        // A folder without subfolders loses its button once expanded.
        const QModelIndex empty = child(model, docs, "Empty");
        QVERIFY(model->hasChildren(empty));
        tree.expand(empty);
        QVERIFY(!model->hasChildren(empty));

        tree.setCurrentIndex(child(model, docs, "Sub"));
        QCOMPARE(tree.directory(), std::string("d:\\Docs\\Sub\\"));
        // Selecting reads nothing: folders are read when they are expanded.
        QCOMPARE(platform.listed.count("d:\\Docs\\Sub\\"), std::size_t(0));

        // A drive without folders: the root alone.
        tree.loadDrive("e:\\");
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->rowCount(model->index(0, 0)), 0);
        QCOMPARE(tree.directory(), std::string("e:\\"));
    }

    void loadingADriveGoesDownItsPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("directory");
        QTest::newRow("every level exists") << "d:\\Docs\\Sub\\"
                                            << "d:\\Docs\\Sub\\";
        QTest::newRow("without the last backslash") << "d:\\Docs\\Sub"
                                                    << "d:\\Docs\\Sub\\";
        QTest::newRow("last level missing") << "d:\\Docs\\Nope\\"
                                            << "d:\\Docs\\";
        QTest::newRow("other case does not match") << "d:\\docs\\Sub\\"
                                                   << "d:\\";
    }
    void loadingADriveGoesDownItsPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, directory);
        Fixture fixture;
        buildDrive(fixture);
        auto platform = fixture.platform();
        FolderTree tree(*platform, nullptr);
        tree.resize(200, 300);
        tree.show();
        tree.loadDrive(path.toStdString());
        QCOMPARE(QString::fromStdString(tree.directory()), directory);
    }
};

QTEST_MAIN(TestFolderTree)
#include "tst_foldertree.moc"

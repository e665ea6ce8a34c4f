// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "dialogs/QuestionDialog.h"
#include "engine/RestoreAll.h"

#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace kx;

namespace {

constexpr qint64 kOld = 1600000000;   // September 2020
constexpr qint64 kNewer = 1700000000; // November 2023

/** Asks the engine's yes/no questions in the real dialog, as the main window does. */
class DialogUi : public test::RecordingUi
{
public:
    DialogUi(QuestionDialog& dialog, const QString& language)
        : m_dialog(dialog), m_language(language)
    {
    }

    bool askYesNo(const std::string& caption, const std::string& question) override
    {
        captions << QString::fromStdString(caption);
        questions.push_back(question);
        const auto [yes, no] = yesNoAnswerTexts(m_language, captions.last());
        return m_dialog.askYesNo(QRect(), captions.last(), QString::fromStdString(question), yes,
                                 no);
    }

    QStringList captions;

private:
    QuestionDialog& m_dialog;
    QString m_language;
};

} // namespace

class TestRestoreAllQuestion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void enterAnswersNoAndChangesNothing_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("no");
        QTest::addColumn<QString>("state"); // the medium has no recorded backup date
        QTest::newRow("English") << ""
                                 << "Kopierix - Recover"
                                 << "No"
                                 << "The state of e:, latest backup date unknown will be restored.";
        QTest::newRow("Dutch") << "nld"
                               << "Kopierix - Herstellen"
                               << "Nee"
                               << "De toestand van e:, geen laatste backupdatum bekend zal worden "
                                  "hersteld.";
    }
    void enterAnswersNoAndChangesNothing()
    {
        // Overwriting every file with its backup is the one answer that cannot be taken back:
        // a user who presses Enter at the question must keep the data as it is.
        QFETCH(QString, language);
        QFETCH(QString, caption);
        QFETCH(QString, no);
        QFETCH(QString, state);
        test::Fixture fixture;
        fixture.addDrive('s');
        fixture.addDrive('e', "DRIVE_REMOVABLE", "Backup1");
        fixture.writeFile("e:\\S-Docs\\a.txt", "backup", kOld);
        fixture.writeFile("s:\\Docs\\a.txt", "current", kNewer);
        test::EngineRig rig(fixture.platform(), language.toStdString());
        rig.target.base = "e:\\";
        rig.media.currentKey = "e-";

        QuestionDialog dialog(language);
        DialogUi ui(dialog, language);
        EngineContext ctx{*rig.platform, rig.target, rig.media, ui, rig.log, rig.facts};
        QString focused;
        QString focusedText;
        QTimer::singleShot(0, &dialog, [&dialog, &focused, &focusedText] {
            QWidget* focus = dialog.focusWidget();
            if (!dialog.isVisible() || !focus)
                return dialog.done(QDialog::Rejected); // the checks below fail
            focused = focus->objectName();
            if (auto* button = qobject_cast<QPushButton*>(focus))
                focusedText = button->text();
            QTest::keyClick(focus, Qt::Key_Return);
        });
        restoreAll(ctx);

        QCOMPARE(ui.captions, QStringList{caption});
        QVERIFY2(QString::fromStdString(ui.questions.at(0)).contains(state),
                 ui.questions.at(0).c_str());
        QCOMPARE(focused, QStringLiteral("NeeBtn"));
        QCOMPARE(focusedText, no);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(fixture.readFile("s:\\Docs\\a.txt"), QByteArray("current"));
        QCOMPARE(fixture.mtime("s:\\Docs\\a.txt"), kNewer);
        QCOMPARE(fixture.readFile("e:\\S-Docs\\a.txt"), QByteArray("backup"));
        QVERIFY(ui.outputLines.empty());
    }
};

QTEST_MAIN(TestRestoreAllQuestion)
#include "tst_restoreallquestion.moc"

#pragma once
// A main window with its two project dialogs over a settings file in a temporary folder, and the means to
// drive the modal dialogs as a user does while they are on screen.

#include "app/TF_Main.h"

#include "app/Windows.h"
#include "platform/IniFile.h"
#include "projects/ProgramFolder.h"
#include "projects/TF_Quest.h"
#include "projects/TF_RWPrj.h"
#include "MainTestAccess.h"
#include "RecordingDialogs.h"
#include "SeparatorMain.h"
#include "SettingsText.h"
#include "Typing.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace vx::test {

class ProjectRig {
public:
    RecordingDialogs boxes;
    QTemporaryDir dir;
    std::unique_ptr<SeparatorMain> main;

    // Starts the window over this settings text (its "{s}" the decimal separator) as the program does,
    // then opens the start-up project again with the separator of the row.
    ProjectRig(const char* iniText, char sep) : ProjectRig(withSeparator(iniText, sep), sep) {}

    // The same over these bytes of the settings file as they are.
    ProjectRig(const QByteArray& fileBytes, char sep)
    {
        EXPECT_TRUE(dir.isValid());
        setProgramFolder(dir.path() + QLatin1Char('/'));
        writeBytes(fileBytes);
        main = std::make_unique<SeparatorMain>();
        main->sep = sep;
        F_Main = main.get();
        F_RWPrj = new TF_RWPrj();
        F_Quest = new TF_Quest();
        main->show();
        main->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(main.get()));
        main->LoadProject(main->currentProject());
        TF_MainTestAccess::setStartupProject(*main, main->currentProject());
        main->setProjectModified(false);
        boxes.boxes.clear();
    }
    ~ProjectRig()
    {
        delete F_Quest;
        delete F_RWPrj;
        F_Quest = nullptr;
        F_RWPrj = nullptr;
        main.reset();
        F_Main = nullptr;
        setProgramFolder(QString());
    }

    void writeFile(const QString& text) const { writeBytes(text.toUtf8()); }
    void writeBytes(const QByteArray& bytes) const
    {
        QFile f(iniPath());
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray fileBytes() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString iniPath() const { return dir.filePath(QStringLiteral("Vornalex.ini")); }

    QString fileText() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QString value(const QString& section, const char* key) const
    {
        return IniFile(iniPath()).readString(section, q(key), q("<missing>"));
    }
    QStringList sections() const { return IniFile(iniPath()).sections(); }

    template <class W>
    W* widget(const char* name) const
    {
        auto* w = qobject_cast<W*>(main->component(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString mainText(const char* name) const { return QString::fromStdString(main->text(name)); }

    // The project-list dialog's parts
    QListWidget* list() const { return F_RWPrj->findChild<QListWidget*>(QStringLiteral("LBPrj")); }
    QLineEdit* nameEditor() const { return F_RWPrj->findChild<QLineEdit*>(QStringLiteral("EditPrjName")); }
    QPushButton* yes(QDialog* d) const { return d->findChild<QPushButton*>(QStringLiteral("ButYes")); }
    QPushButton* no(QDialog* d) const { return d->findChild<QPushButton*>(QStringLiteral("ButNo")); }
    QString listStatus() const
    {
        return F_RWPrj->findChild<QStatusBar*>(QStringLiteral("StatusBar1"))->currentMessage();
    }
    QLineEdit* newName() const { return F_Quest->findChild<QLineEdit*>(QStringLiteral("EditNewPrjName")); }

    // A double click on the list entry of that text.
    void doubleClickEntry(const QString& name) const
    {
        const QList<QListWidgetItem*> found = list()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        const QPoint at = list()->visualItemRect(found.front()).center();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    void clickEntry(const QString& name) const
    {
        const QList<QListWidgetItem*> found = list()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list()->visualItemRect(found.front()).center());
    }
};

// What a modal dialog run looked like from inside.
struct ModalRun {
    bool shown = false;    // the steps ran while the dialog was on screen
    bool leftOpen = false; // the dialog was still open when the steps were done (then it was cancelled)
};

// Runs `steps` inside the modal loop of `dialog`, the way a user acts while it is on screen. A dialog
// that the steps leave open is cancelled afterwards, so no test can hang on it.
inline std::shared_ptr<ModalRun> whileShown(QDialog* dialog, std::function<void()> steps)
{
    auto run = std::make_shared<ModalRun>();
    QTimer::singleShot(0, dialog, [dialog, steps, run] {
        if (!dialog->isVisible())
            return;
        run->shown = true;
        // A user acts on the dialog once it is the active window, with its focus in place.
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        steps();
        run->leftOpen = dialog->isVisible();
        if (run->leftOpen)
            dialog->reject();
    });
    return run;
}

} // namespace vx::test

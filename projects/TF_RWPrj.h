#pragma once
// The project list: the sections of the settings file, sorted, for opening, saving as and deleting.
// The mode follows from DeleteMode and whether the name editor is shown; the commands of the main
// window set both, fill the list and show the dialog; the work is done when it closes with "Да".
// "Нет", Escape and the close box cancel.

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

namespace Ui {
class TF_RWPrj;
}

class TF_RWPrj : public QDialog {
    Q_OBJECT
public:
    explicit TF_RWPrj(QWidget* parent = nullptr);
    ~TF_RWPrj() override;

    // On only while the dialog shown by the delete command is open.
    bool DeleteMode = false;

    void FormCreate();
    void FormShow();
    // The work of the closing; false keeps the dialog open in its mode (no entry picked to open or erase,
    // a name the settings file cannot hold).
    bool FormClose(int result);
    void LBPrjClick();
    void LBPrjDblClick();
    void ButYesMouseDown();

    // The name editor: shown for saving as, hidden (keeping its text) for opening and deleting; editName
    // puts a name into it and gives it the focus.
    void setNameEditorShown(bool shown);
    void editName(const QString& name);

    // The list as the commands prepare it; code that fills or selects runs no click handler.
    void setEntries(const QStringList& names); // replaces the entries, nothing selected
    void selectEntry(const QString& name);     // the entry of that name (letter case aside), if any
    void removeEntry(const QString& name);     // every entry of that name, letter case aside
    QStringList entries() const;               // in the order shown
    QString selectedEntry() const;             // empty when nothing is selected

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TF_RWPrj> ui; // the generated form
    void reloadAfterErase();

    bool m_filling = false;
};

#pragma once
// The new-project dialog: asks for the name and, when it closes with "Да" and a name, makes the project
// (source inputs reset, saved under the upper-cased name, made current); a name that is taken replaces
// that project only once the user confirms it. Neither button is the default or the cancel button:
// Enter and Escape leave it open; the close box cancels.

#include <QDialog>

#include <memory>

namespace Ui {
class TF_Quest;
}

class TF_Quest : public QDialog {
    Q_OBJECT
public:
    explicit TF_Quest(QWidget* parent = nullptr);
    ~TF_Quest() override;

    void FormShow();
    // Empties the name editor; the new-project command does so before it shows the dialog.
    void clearName();
    // The work of the closing; false keeps the dialog open (a name the settings file cannot hold, or the
    // name of a project the user chose not to replace).
    bool FormClose(int result);

    // Whether the last closing made a new project.
    bool projectMade() const { return m_made; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::TF_Quest> ui; // the generated form
    bool m_made = false;
};

#pragma once
// The calculator window: wavelength and frequency, and the tuning frequency of an existing port. It reads
// the main window's speed of sound and decimal separator and writes nothing back.
//
// Key handlers run on the release of a key in their editor; the exit handlers of the second tab run when
// the focus moves from the editor to another control of this window.

#include <QDialog>

#include <memory>

class QLineEdit;

namespace Ui {
class TF_Calc;
}

class TF_Calc : public QDialog {
    Q_OBJECT
public:
    explicit TF_Calc(QWidget* parent = nullptr);
    ~TF_Calc() override;

    // The input filter of every editor: digits and one decimal separator.
    QString CheckFloat(const QString& S) const;

    void FormShow(); // empties the editors and focuses the first editor of the open tab
    void EditFreqKeyUp();
    void EditWavLenKeyUp();
    void RBPortDClick();
    void RBPortWClick();
    void EdBoxVolExit();
    void EdPortLExit();
    void EdPortDExit();
    void EdPortWExit();
    void EdPortHExit();
    void EdPortNExit();
    void EdPortKeyUp(int key); // Enter computes the tuning frequency; other keys do nothing
    void SbCRecalcResClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TF_Calc> ui; // the generated form
    char separator() const;
    void convert(QLineEdit* from, QLineEdit* to);
    void setPortKind(bool round);
    void onFocusChanged(QWidget* old, QWidget* now);

    QMetaObject::Connection m_focusConnection;
    QObject* m_keyPressedIn = nullptr; // the editor that took the last key press not yet released
};

#pragma once
// The splash window: shown once, modally, at start; it closes itself after 7000 ms or when its button is
// pressed, and its closing starts the main window's banner timer.

#include <QDialog>

#include <memory>

class QTimer;

namespace Ui {
class TF_About;
}

class TF_About : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCloseAfterMs = 7000;

    explicit TF_About(QWidget* parent = nullptr);
    ~TF_About() override;

    QTimer* Timer1; // closes the window at its first tick; counts from the window's creation

    void Timer1Timer();
    void SpeedButton1Click();
    // The close handler: the own timer off, the main window's banner timer on.
    void FormClose();

    // Every way of closing (timer, button, close box, Alt+F4, Escape) ends here, so each runs the close
    // handler. A modal loop that ends because the program is quitting does not come here.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TF_About> ui; // the generated form
};

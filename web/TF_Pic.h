#pragma once
// The advert window: the downloaded advert picture or a saying, under a greeting by the time of day.
// A click on the picture reports the click to the maker's site, closes the window and opens the
// advert's link. It reads and stamps the advert state of the main window (F_Main).

#include "web/AdvertPicture.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TF_Pic;
}

class TF_Pic : public QDialog {
    Q_OBJECT
public:
    explicit TF_Pic(QWidget* parent = nullptr);
    ~TF_Pic() override;

    void FormShow();                          // fills the window; runs at every showing
    void ImgAdvMouseUp(Qt::MouseButton Button);
    void SendPost();                          // the click report; raises vx::HttpError on failure

    // " " + the greeting for the hour + "!"
    static QString greeting(int hour);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TF_Pic> ui; // the generated form
    QRect screenArea() const;  // the available area of the screen the window opens on
    QSize frameExtra() const;  // the window frame's share of the outer size

    vx::AdvertPicture m_picture;
};

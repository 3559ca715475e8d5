#pragma once
// The small window shown while a new version downloads: how many bytes have arrived and the button
// "Отмена" that stops the download. The download runs on the user-interface thread, so the window lives
// from the transfer's progress reports: each one updates it and lets it take its events.

#include <QDialog>

class QLabel;
class QPushButton;

namespace vx {

class DownloadProgress : public QDialog {
    Q_OBJECT
public:
    explicit DownloadProgress(QWidget* parent = nullptr);

    // Shows the bytes received, of how many when the length was announced (0: not announced), and
    // takes the window's waiting events. False once the user has stopped the download ("Отмена", the
    // window's close button or Esc).
    bool update(qint64 received, qint64 announced);

    QLabel* received() const { return m_received; }
    QPushButton* cancel() const { return m_cancel; }

    void reject() override;

protected:
    // Placed on the screen once its layout has given it its size.
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_received;
    QPushButton* m_cancel;
    bool m_stopped = false;
};

} // namespace vx

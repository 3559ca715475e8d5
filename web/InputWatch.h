#pragma once
// The application-wide input hook of the advert's idle watch: every key and every pointer move, button
// and wheel event of the application, in modal windows too, runs the stamp. Events are never eaten.

#include <QObject>

#include <functional>

namespace vx {

class InputWatch : public QObject {
    Q_OBJECT
public:
    explicit InputWatch(std::function<void()> stamp, QObject* parent = nullptr);
    static bool isInput(int eventType);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_stamp;
};

} // namespace vx

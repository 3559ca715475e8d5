#include "platform/DialogService.h"

#include <QApplication>
#include <QGuiApplication>
#include <QAbstractButton>
#include <QMessageBox>
#include <QScreen>

namespace vx {

namespace {

class MessageBoxes : public DialogService {
public:
    MsgAnswer show(MsgType type, const QString& text, MsgButtons buttons, QWidget* parent) override
    {
        QMessageBox box(parent);
        // The program speaks Russian: captions and buttons too, whatever translations the system has.
        box.setWindowTitle(QStringLiteral("Vornalex"));
        switch (type) {
        case MsgType::Warning:
            box.setIcon(QMessageBox::Warning);
            box.setWindowTitle(QStringLiteral("Предупреждение"));
            break;
        case MsgType::Information:
            box.setIcon(QMessageBox::Information);
            box.setWindowTitle(QStringLiteral("Информация"));
            break;
        case MsgType::Confirmation:
            box.setIcon(QMessageBox::Question);
            box.setWindowTitle(QStringLiteral("Подтверждение"));
            break;
        case MsgType::Error:
            box.setIcon(QMessageBox::Critical);
            box.setWindowTitle(QStringLiteral("Ошибка"));
            break;
        case MsgType::Plain:
            break;
        }
        // Texts may carry what the web site sent (a version line, a transfer's error): shown as they
        // are, never read as markup.
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
        if (buttons == MsgButtons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
            box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
        } else {
            box.setStandardButtons(QMessageBox::Ok);
            box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
        }
        // Centre on the screen, not on the window.
        box.adjustSize();
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect area = screen->geometry();
            box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
        }
        int result = box.exec();
        if (buttons == MsgButtons::YesNo)
            return result == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
        return MsgAnswer::Ok;
    }
};

MessageBoxes g_real;
DialogService* g_current = &g_real;

} // namespace

DialogService& dialogs()
{
    return *g_current;
}

void setDialogs(DialogService* service)
{
    g_current = service ? service : &g_real;
}

} // namespace vx

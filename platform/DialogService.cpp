#include "platform/DialogService.h"

#include "platform/ScreenCentre.h"

#include <QAbstractButton>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>

namespace vx {

namespace {

// A message box placed once it is shown: QMessageBox settles its size only in its own show handler, so
// a box placed by its size before would sit off-centre, and on a small screen partly off it.
class PlacedMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        fitHeight();
        centreOnScreen(*this);
    }

private:
    // A box taller than the screen's available area (many lines in a narrow box) takes the area's whole
    // width instead, which its wrapped text needs fewer lines for, so its buttons stay on the screen.
    void fitHeight()
    {
        const QRect area = screen()->availableGeometry();
        const QSize frame = frameGeometry().size() - size();
        if (height() + frame.height() <= area.height() || !layout() || !layout()->hasHeightForWidth())
            return;
        const int width = area.width() - frame.width();
        setFixedSize(width, layout()->totalHeightForWidth(width));
    }
};

class MessageBoxes : public DialogService {
public:
    MsgAnswer show(MsgType type, const QString& text, MsgButtons buttons, QWidget* parent) override
    {
        PlacedMessageBox box(parent);
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
        // Centred on the screen, not on the window, once it is shown.
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

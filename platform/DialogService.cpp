#include "platform/DialogService.h"

#include "platform/ScreenCentre.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

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
        place();
    }
    // QMessageBox sizes itself again at every new layout of its contents (a style, a font, a button
    // that changed): the box is placed again after it.
    bool event(QEvent* event) override
    {
        const bool result = QMessageBox::event(event);
        if (event->type() == QEvent::LayoutRequest && isVisible())
            place();
        return result;
    }

private:
    void place()
    {
        widenWhenTall();
        centreOnScreen(*this);
    }

    // A box of many lines in QMessageBox's narrow width would take most of a small screen's height, and
    // with the title bar and the panels the window system adds, its buttons would go off it: it takes
    // most of the screen's width instead, where its wrapped text needs fewer lines.
    void widenWhenTall()
    {
        const QRect area = screen()->availableGeometry();
        if (frameGeometry().height() <= area.height() * kMostHeight || !layout() || !layout()->hasHeightForWidth())
            return;
        const int width = std::max(this->width(), int(area.width() * kWideWidth));
        setFixedSize(width, layout()->totalHeightForWidth(width));
        // As QMessageBox does after it has sized itself: the new size needs no new layout.
        QCoreApplication::removePostedEvents(this, QEvent::LayoutRequest);
    }

    static constexpr double kMostHeight = 0.75; // of the screen's available area
    static constexpr double kWideWidth = 0.9;
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

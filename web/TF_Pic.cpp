#include "web/TF_Pic.h"

#include "app/FrameClock.h"
#include "app/TF_Main.h"
#include "app/Windows.h"
#include "platform/DialogService.h"
#include "platform/HttpClient.h"
#include "platform/SiteBase.h"
#include "web/AdvSayings.h"
#include "web/FormBody.h"
#include "platform/WindowFont.h"

#include "ui_TF_Pic.h"

#include <QFont>
#include <QMouseEvent>
#include <QScreen>
#include <QPixmap>
#include <QTextBlockFormat>
#include <QTextCursor>

#include <algorithm>

namespace {

constexpr int kWidth = 484;   // client area with a saying (outer 492 x 360)
constexpr int kHeight = 326;
constexpr int kPictureExtraW = 5; // picture at (3, 3): outer width + 13 is the client width + 5
constexpr int kPictureExtraH = 4;
constexpr int kFrameW = 8;  // the frame's share of the outer size as designed: 13 - 5, 38 - 4
constexpr int kFrameH = 34;
// The least client area with a picture, so that a very thin one can still be seen and clicked: the
// picture's box grows to it and shows the picture in its middle.
constexpr int kMinSide = 64;

struct Scheme {
    const char* background;
    const char* text;
};
// By the tick count mod 3.
constexpr Scheme kSchemes[3] = {{"#E4FFE3", "#808000"}, {"#CDFFFE", "#0000FF"}, {"#FFFFE3", "#FF00FF"}};

struct Greeting {
    int fromHour;
    const char* text;
};
constexpr Greeting kGreetings[] = {{0, "Доброй ночи"}, {6, "Доброе утро"}, {12, "Добрый день"}, {18, "Добрый вечер"}};

constexpr const char* kUserAgent = "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
                                   "Chrome/30.0.1599.13014 YaBrowser/13.12.1599.13014 Safari/537.36";
constexpr int kMaxRedirects = 15;

} // namespace

TF_Pic::TF_Pic(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , ui(new Ui::TF_Pic)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("TF_Pic"));
    setFixedSize(kWidth, kHeight);
    setModal(true);
    setFont(vx::windowFont(11, false));
    ui->MemText->setFont(vx::windowFont(20, true));
    ui->ImgAdv->installEventFilter(this);
}

TF_Pic::~TF_Pic() = default;

QString TF_Pic::greeting(int hour)
{
    const char* text = kGreetings[0].text;
    for (const Greeting& g : kGreetings)
        if (hour >= g.fromHour)
            text = g.text;
    return QStringLiteral(" ") + QString::fromUtf8(text) + QStringLiteral("!");
}

QRect TF_Pic::screenArea() const
{
    const QScreen* s = parentWidget() ? parentWidget()->screen() : screen();
    return s ? s->availableGeometry() : QRect();
}

QSize TF_Pic::frameExtra() const
{
    // The real frame is known once the window has been on the screen; until then the designed one.
    return (frameGeometry().size() - size()).expandedTo(QSize(kFrameW, kFrameH));
}

void TF_Pic::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
    QPoint at = pos();
    if (parentWidget()) // centred on the main window
        at = parentWidget()->geometry().center() - rect().center();
    // ... but wholly on the screen.
    const QRect area = screenArea();
    if (!area.isEmpty()) {
        const QSize outer = size() + frameExtra();
        at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - outer.width())));
        at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - outer.height())));
    }
    move(at);
}

void TF_Pic::FormShow()
{
    const std::uint32_t tick = vx::frameClock().tickMs();
    setWindowTitle(greeting(vx::frameClock().now().time().hour()));

    const QString file = F_Main ? F_Main->advLocalFile() : QString();
    // The window with its frame never grows beyond the screen: a larger picture is shown smaller.
    const QRect area = screenArea();
    const QSize room = area.isEmpty() ? QSize()
                                      : (area.size() - frameExtra() - QSize(kPictureExtraW, kPictureExtraH))
                                            .expandedTo(QSize(1, 1));
    const QPixmap picture = m_picture.get(file, room);
    if (!picture.isNull()) {
        const QSize box = picture.size().expandedTo(QSize(kMinSide - kPictureExtraW, kMinSide - kPictureExtraH));
        ui->ImgAdv->setPixmap(picture);
        ui->ImgAdv->resize(box);
        ui->ImgAdv->setVisible(true);
        ui->MemText->setVisible(false);
        setFixedSize(box.width() + kPictureExtraW, box.height() + kPictureExtraH);
    } else {
        const Scheme& s = kSchemes[tick % 3];
        QPalette p = ui->MemText->palette();
        p.setColor(QPalette::Base, QColor(QLatin1String(s.background)));
        p.setColor(QPalette::Text, QColor(QLatin1String(s.text)));
        ui->MemText->setPalette(p);
        ui->MemText->clear();
        ui->MemText->setPlainText(vx::advQuote(tick % vx::kAdvQuoteCount));
        QTextCursor all(ui->MemText->document());
        all.select(QTextCursor::Document);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        all.mergeBlockFormat(centred);
        ui->ImgAdv->setVisible(false);
        setFixedSize(kWidth, kHeight);
        ui->MemText->setVisible(true);
    }
    if (F_Main) {
        F_Main->setLastInputTick(vx::frameClock().tickMs());
        F_Main->setAdvShown(true);
    }
}

void TF_Pic::SendPost()
{
    vx::HttpClient& client = vx::http();
    client.setHeader("User-Agent", kUserAgent);
    client.setHeader("Content-Type", "application/x-www-form-urlencoded");
    client.setHeader("Connection", "keep-alive");
    const QString id = F_Main ? F_Main->clientId() : QString();
    const QString link = F_Main ? F_Main->advLink() : QString();
    const QStringList lines = {QStringLiteral("id=") + id, QStringLiteral("&in=p_vn"), QStringLiteral("&to_page=") + link};
    client.setFollowRedirects(true, kMaxRedirects);
    client.post(vx::siteBase() + QStringLiteral("cd_adv.php"), vx::formBody(lines), vx::webLimits().report);
}

void TF_Pic::ImgAdvMouseUp(Qt::MouseButton Button)
{
    try {
        SendPost();
    } catch (const std::exception& e) {
        // the window stays open and no link is opened
        vx::dialogs().show(vx::MsgType::Error, QString::fromUtf8(e.what()), vx::MsgButtons::Ok, this);
        return;
    }
    close();
    if (F_Main)
        F_Main->ProcLink(Button, F_Main->advLink());
}

bool TF_Pic::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->ImgAdv && event->type() == QEvent::MouseButtonRelease) {
        ImgAdvMouseUp(static_cast<QMouseEvent*>(event)->button());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

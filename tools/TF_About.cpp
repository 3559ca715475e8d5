#include "tools/TF_About.h"

#include "app/TF_Main.h"
#include "app/Windows.h"
#include "platform/BuiltinImage.h"
#include "platform/JpegImage.h"

#include "ui_TF_About.h"

#include <QFont>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 225;

void setLabelFont(QWidget* label, int pixelSize)
{
    QFont f = label->font();
    f.setBold(true);
    f.setPixelSize(pixelSize);
    label->setFont(f);
}

} // namespace

TF_About::TF_About(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , Timer1(new QTimer(this))
    , ui(new Ui::TF_About)
{
    ui->setupUi(this);
    setFixedSize(kWidth, kHeight);
    setModal(true);

    // The picture goes through our own JPEG decoder, as every JPEG of the program does.
    ui->Image1->setPixmap(QPixmap::fromImage(vx::JpegImage::load(QStringLiteral(":/splash.jpg"))));
    setLabelFont(ui->Label1, 24);
    setLabelFont(ui->Label4, 11);
    ui->Label1->adjustSize();
    ui->Label4->adjustSize();
    ui->SpeedButton1->setIcon(vx::builtinPixmap(QStringLiteral(":/pictures/splash_button.png")));

    connect(ui->SpeedButton1, &QToolButton::clicked, this, &TF_About::SpeedButton1Click);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kCloseAfterMs);
    Timer1->setSingleShot(true);
    Timer1->setTimerType(Qt::PreciseTimer); // a coarse timer may close the window 350 ms early or late
    connect(Timer1, &QTimer::timeout, this, &TF_About::Timer1Timer);
    Timer1->start();
}

TF_About::~TF_About() = default;

void TF_About::Timer1Timer()
{
    close();
}

void TF_About::SpeedButton1Click()
{
    close();
}

void TF_About::FormClose()
{
    Timer1->stop();
    if (F_Main && F_Main->timer1())
        F_Main->timer1()->start();
}

void TF_About::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TF_About::showEvent(QShowEvent* event)
{
    // At the centre of the desktop, not of the main window.
    if (!event->spontaneous()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

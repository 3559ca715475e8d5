#include "tools/TF_Calc.h"

#include "app/TF_Main.h"
#include "app/Windows.h"
#include "core/Numbers.h"
#include "core/PortTuning.h"
#include "platform/BuiltinImage.h"
#include "platform/DialogService.h"
#include "platform/WindowFont.h"

#include "ui_TF_Calc.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QPalette>
#include <QShowEvent>

#include <optional>

namespace {

constexpr int kWidth = 434;
constexpr int kHeight = 368;
constexpr int kCaretPosition = 30; // past the end of any ordinary entry
constexpr long double kDefaultUs = 344;
constexpr int kWavelengthDecimals = 3;
constexpr int kFrequencyDecimals = 1;

std::optional<double> numberOf(const QLineEdit* e, char sep)
{
    return vx::parseFloat(e->text().toStdString(), sep);
}

// An editor of the second tab that is switched on or off with the port kind: the window colour when it
// takes input, the button face when it does not.
void setEditorOn(QLineEdit* e, bool on)
{
    e->setEnabled(on);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, QApplication::palette().color(on ? QPalette::Base : QPalette::Button));
    e->setPalette(p);
}

} // namespace

TF_Calc::TF_Calc(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , ui(new Ui::TF_Calc)
{
    setFont(vx::windowFont());

    ui->setupUi(this);
    setFixedSize(kWidth, kHeight);
    setModal(true);

    // The result is read-only on the button face, reached by a click but never by Tab.
    QPalette p = ui->EdFreq->palette();
    p.setColor(QPalette::Base, QApplication::palette().color(QPalette::Button));
    ui->EdFreq->setPalette(p);
    ui->SbCRecalcRes->setIcon(vx::builtinIcon(QStringLiteral(":/buttons/recalc.png")));

    for (QLineEdit* e : {ui->EditFreq, ui->EditWavLen, ui->EdBoxVol, ui->EdPortL, ui->EdPortD, ui->EdPortW,
                         ui->EdPortH, ui->EdPortN})
        e->installEventFilter(this);

    connect(ui->RBPortD, &QAbstractButton::clicked, this, &TF_Calc::RBPortDClick);
    connect(ui->RBPortW, &QAbstractButton::clicked, this, &TF_Calc::RBPortWClick);
    connect(ui->SbCRecalcRes, &QAbstractButton::clicked, this, &TF_Calc::SbCRecalcResClick);
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, &TF_Calc::onFocusChanged);
}

TF_Calc::~TF_Calc()
{
    // An editor losing the focus while the window goes must not reach a half-destroyed window.
    disconnect(m_focusConnection);
}

char TF_Calc::separator() const
{
    return F_Main ? F_Main->decimalSeparator() : '.';
}

QString TF_Calc::CheckFloat(const QString& S) const
{
    return QString::fromStdString(vx::CheckFloat(S.toStdString(), separator()));
}

// ---- wavelength and frequency

void TF_Calc::convert(QLineEdit* from, QLineEdit* to)
{
    const char sep = separator();
    const QString filtered = CheckFloat(from->text());
    if (filtered != from->text())
        from->setText(filtered);
    from->setCursorPosition(kCaretPosition);

    const long double value = numberOf(from, sep).value_or(-1);
    if (value > 0) {
        const long double us = F_Main ? F_Main->state().Us : kDefaultUs;
        to->setText(QString::fromStdString(
            vx::formatRounded(vx::soundConversion(us, value), kWavelengthDecimals, sep)));
    } else {
        to->clear();
    }
}

void TF_Calc::EditFreqKeyUp()
{
    convert(ui->EditFreq, ui->EditWavLen);
}

void TF_Calc::EditWavLenKeyUp()
{
    convert(ui->EditWavLen, ui->EditFreq);
}

// ---- port kind

void TF_Calc::setPortKind(bool round)
{
    setEditorOn(ui->EdPortD, round);
    setEditorOn(ui->EdPortW, !round);
    setEditorOn(ui->EdPortH, !round);
    (round ? ui->EdPortD : ui->EdPortW)->setFocus(Qt::OtherFocusReason);
}

void TF_Calc::RBPortDClick()
{
    setPortKind(true);
}

void TF_Calc::RBPortWClick()
{
    setPortKind(false);
}

// ---- leaving an editor of the second tab: filtered, and emptied (the count: "1") when it is no number

namespace {

void repair(const TF_Calc& w, QLineEdit* e, const QString& fallback, char sep)
{
    e->setText(w.CheckFloat(e->text()));
    if (!numberOf(e, sep))
        e->setText(fallback);
}

} // namespace

void TF_Calc::EdBoxVolExit()
{
    repair(*this, ui->EdBoxVol, QString(), separator());
}

void TF_Calc::EdPortLExit()
{
    repair(*this, ui->EdPortL, QString(), separator());
}

void TF_Calc::EdPortDExit()
{
    repair(*this, ui->EdPortD, QString(), separator());
}

void TF_Calc::EdPortWExit()
{
    repair(*this, ui->EdPortW, QString(), separator());
}

void TF_Calc::EdPortHExit()
{
    repair(*this, ui->EdPortH, QString(), separator());
}

void TF_Calc::EdPortNExit()
{
    repair(*this, ui->EdPortN, QStringLiteral("1"), separator());
}

// ---- tuning frequency

void TF_Calc::EdPortKeyUp(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return;

    EdBoxVolExit();
    EdPortLExit();
    EdPortDExit();
    EdPortWExit();
    EdPortHExit();
    EdPortNExit();
    ui->EdFreq->clear();

    const char sep = separator();
    const long double Vb = numberOf(ui->EdBoxVol, sep).value_or(0);
    const long double L = numberOf(ui->EdPortL, sep).value_or(0);
    const long double D = numberOf(ui->EdPortD, sep).value_or(0);
    const long double W = numberOf(ui->EdPortW, sep).value_or(0);
    const long double H = numberOf(ui->EdPortH, sep).value_or(0);
    std::optional<int> count = vx::parseInt(ui->EdPortN->text().toStdString());
    if (!count) {
        ui->EdPortN->setText(QStringLiteral("1"));
        count = 1;
    }

    const bool round = ui->RBPortD->isChecked();
    struct Check {
        bool failed;
        const char* message;
        QLineEdit* editor;
    };
    const Check checks[] = {
        {Vb <= 0, "Неверное значение объёма ящика", ui->EdBoxVol},
        {L <= 0, "Неверное значение длины порта", ui->EdPortL},
        {round && D <= 0, "Неверное значение диаметра порта", ui->EdPortD},
        {!round && W <= 0, "Неверное значение ширины порта", ui->EdPortW},
        {!round && H <= 0, "Неверное значение высоты порта", ui->EdPortH},
    };
    for (const Check& c : checks) {
        if (c.failed) {
            vx::dialogs().show(vx::MsgType::Plain, QString::fromUtf8(c.message), vx::MsgButtons::Ok, this);
            c.editor->setFocus(Qt::OtherFocusReason);
            return;
        }
    }

    const vx::PortArea port = round ? vx::roundPortArea(D) : vx::slotPortArea(W, H);
    const long double us = F_Main ? F_Main->state().Us : kDefaultUs;
    const long double fb = vx::tuningFrequency(Vb, L, port, *count, us);
    ui->EdFreq->setText(QString::fromStdString(vx::formatRounded(fb, kFrequencyDecimals, sep)));
}

void TF_Calc::SbCRecalcResClick()
{
    ui->EdFreq->clear();
    EdPortKeyUp(Qt::Key_Return);
}

// ---- opening

void TF_Calc::FormShow()
{
    for (QLineEdit* e : {ui->EditFreq, ui->EditWavLen, ui->EdBoxVol, ui->EdPortD, ui->EdPortL, ui->EdPortW,
                         ui->EdPortH, ui->EdPortN, ui->EdFreq})
        e->clear();
    if (ui->PageControl1->currentWidget() == ui->TabSheet1) {
        ui->EditFreq->setFocus(Qt::OtherFocusReason);
    } else {
        if (ui->RBPortD->isChecked())
            RBPortDClick();
        else
            RBPortWClick();
        ui->EdBoxVol->setFocus(Qt::OtherFocusReason);
        ui->EdPortN->setText(QStringLiteral("1"));
    }
}

void TF_Calc::showEvent(QShowEvent* event)
{
    // Restoring from minimised is no new opening.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

// ---- events

bool TF_Calc::eventFilter(QObject* watched, QEvent* event)
{
    const bool keyPress = event->type() == QEvent::KeyPress;
    const bool keyRelease = event->type() == QEvent::KeyRelease;
    // One handler per key stroke: a held key repeats its press, and its release counts once.
    if ((!keyPress && !keyRelease) || static_cast<QKeyEvent*>(event)->isAutoRepeat())
        return QDialog::eventFilter(watched, event);
    if (keyPress) {
        m_keyPressedIn = watched;
        return QDialog::eventFilter(watched, event);
    }
    // A key counts in the editor where it was pressed. A release without its press here belongs to a
    // stroke that ended elsewhere: the Tab that moved the focus in from the other field (taken here, it
    // would convert the rounded result back over what the user typed), or the Enter that closed a
    // check's message box (taken here, it would bring the same box back at once, again and again).
    if (watched != m_keyPressedIn)
        return QDialog::eventFilter(watched, event);
    m_keyPressedIn = nullptr;
    if (watched == ui->EditFreq)
        EditFreqKeyUp();
    else if (watched == ui->EditWavLen)
        EditWavLenKeyUp();
    else
        EdPortKeyUp(static_cast<QKeyEvent*>(event)->key());
    return QDialog::eventFilter(watched, event);
}

void TF_Calc::onFocusChanged(QWidget* old, QWidget* now)
{
    if (!old || !now || now->window() != this)
        return;
    struct Exit {
        QLineEdit* editor;
        void (TF_Calc::*handler)();
    };
    const Exit exits[] = {
        {ui->EdBoxVol, &TF_Calc::EdBoxVolExit}, {ui->EdPortL, &TF_Calc::EdPortLExit},
        {ui->EdPortD, &TF_Calc::EdPortDExit},   {ui->EdPortW, &TF_Calc::EdPortWExit},
        {ui->EdPortH, &TF_Calc::EdPortHExit},   {ui->EdPortN, &TF_Calc::EdPortNExit},
    };
    for (const Exit& e : exits)
        if (old == e.editor)
            (this->*e.handler)();
}

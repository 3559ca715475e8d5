#include "app/TF_Main.h"

#include "app/SpinEdit.h"
#include "platform/BuiltinImage.h"
#include "platform/DialogService.h"
#include "platform/Utf8Text.h"
#include "platform/WindowFont.h"

#include "ui_TF_Main.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kClientWidth = 688;
constexpr int kClientHeight = 478;
constexpr int kBannerIntervalMs = 10000;
constexpr int kSlideIntervalMs = 30;
constexpr int kIdleIntervalMs = 1000;

using vx::qs;
using vx::ss;

// The pictures of the layout, from the program's resources: button faces and the fixed pictures.
struct Picture {
    const char* component;
    const char* resource;
};
constexpr Picture kButtonFaces[] = {
    {"BoButNew", ":/buttons/new.png"},        {"BoButOpen", ":/buttons/open.png"},
    {"BoButSave", ":/buttons/save.png"},      {"BoButPrint", ":/buttons/print.png"},
    {"BoButDel", ":/buttons/delete.png"},     {"BoButCalc", ":/buttons/calc.png"},
    {"SBConePrint", ":/buttons/print.png"},   {"SBFlatPrint", ":/buttons/print.png"},
};
constexpr Picture kPictures[] = {
    {"Image1", ":/pictures/box.png"},         {"Image4", ":/pictures/box_woofer.png"},
    {"Image2", ":/pictures/box_port2.png"},   {"Image3", ":/pictures/box_port3.png"},
    {"Image12", ":/pictures/banner.png"},     {"Image13", ":/pictures/brands.png"},
};

} // namespace

TF_Main::TF_Main(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , ui(new Ui::TF_Main)
    , Timer1(new QTimer(this))
    , Timer2(new QTimer(this))
    , Timer3(new QTimer(this))
{
    setFont(vx::windowFont());

    ui->setupUi(this);
    setFixedSize(kClientWidth, kClientHeight);

    for (QWidget* w : findChildren<QWidget*>()) {
        if (!w->objectName().isEmpty())
            m_components.emplace(ss(w->objectName()), w);
    }

    // Result fields are grey like the window; they hold what the calculation writes.
    for (QLineEdit* e : findChildren<QLineEdit*>()) {
        if (e->isReadOnly()) {
            QPalette p = e->palette();
            p.setColor(QPalette::Base, p.color(QPalette::Button));
            e->setPalette(p);
        }
    }
    for (const char* white : {"Panel1", "Panel4"}) {
        QWidget* w = component(white);
        QPalette p = w->palette();
        p.setColor(QPalette::Window, Qt::white);
        w->setPalette(p);
    }
    for (const auto& face : kButtonFaces) {
        if (auto* b = qobject_cast<QToolButton*>(component(face.component)))
            b->setIcon(vx::builtinIcon(QString::fromLatin1(face.resource)));
    }
    for (const auto& picture : kPictures) {
        if (auto* l = qobject_cast<QLabel*>(component(picture.component)))
            l->setPixmap(vx::builtinPixmap(QString::fromLatin1(picture.resource)));
    }
    setWindowIcon(vx::builtinIcon(QStringLiteral(":/icon.png")));
    const QFont bold = vx::windowFont(11, true);
    ui->BoButHlp->setFont(bold);
    ui->BoButAdv->setFont(bold);
    ui->BoButAdv->setStyleSheet(QStringLiteral("color: #0000FF"));
    QFont boldLink = bold;
    boldLink.setPixelSize(13);
    ui->SBCarSound->setFont(boldLink);
    {
        QPalette p = ui->SBCarSound->palette();
        p.setColor(QPalette::ButtonText, p.color(QPalette::Highlight));
        ui->SBCarSound->setPalette(p);
    }
    for (QLabel* link : {ui->LbURL0, ui->LbURL}) {
        link->setFont(boldLink);
        QPalette p = link->palette();
        p.setColor(QPalette::WindowText, QColor(0, 0, 255));
        link->setPalette(p);
    }
    ui->LabThroat->setAlignment(Qt::AlignCenter);
    ui->LabOutlet->setAlignment(Qt::AlignCenter);
    ui->SpinEdNPorts->setRange(1, 1000);
    ui->SpinEdNPorts->setValue(1);
    for (vx::SpinEdit* multiplier : {ui->SEdDiv, ui->SEFdiv}) {
        multiplier->setRange(10, 50);
        multiplier->setValue(10);
    }

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer1->setInterval(kBannerIntervalMs);
    Timer2->setInterval(kSlideIntervalMs);
    Timer3->setInterval(kIdleIntervalMs);
    // Coarse timers may fire 5 % early or late: the banner's 10 s would come anywhere from 9.5 to 10.5 s.
    for (QTimer* timer : {Timer1, Timer2, Timer3})
        timer->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &TF_Main::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TF_Main::Timer2Timer);
    connect(Timer3, &QTimer::timeout, this, &TF_Main::Timer3Timer);

    struct Command {
        QAbstractButton* button;
        void (TF_Main::*click)();
    };
    const Command commands[] = {
        {ui->BoButNew, &TF_Main::BoButNewClick},       {ui->BoButOpen, &TF_Main::BoButOpenClick},
        {ui->BoButSave, &TF_Main::BoButSaveClick},     {ui->BoButPrint, &TF_Main::BoButPrintClick},
        {ui->BoButDel, &TF_Main::BoButDelClick},       {ui->BoButCalc, &TF_Main::BoButCalcClick},
        {ui->BoButAdv, &TF_Main::BoButAdvClick},       {ui->SBCarSound, &TF_Main::SBCarSoundClick},
        {ui->BoButHlp, &TF_Main::BoButHlpClick},       {ui->Button1, &TF_Main::Button1Click},
        {ui->ButP12Cloce, &TF_Main::ButP12CloceClick}, {ui->SBConePrint, &TF_Main::SBConePrintClick},
        {ui->SBFlatPrint, &TF_Main::SBFConePrintClick},
    };
    for (const auto& c : commands)
        connect(c.button, &QAbstractButton::clicked, this, c.click);
    connect(ui->SbRecalcMins, &QAbstractButton::clicked, this, [this] { m_calc.SbRecalcMinsClick(); });
    connect(ui->SBRecalcRes, &QAbstractButton::clicked, this, [this] { m_calc.SBRecalcResClick(); });

    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, &TF_Main::onFocusChanged);

    connectShapes();
    connectEditors();
    connectFrame();
    connectLinks();
    FormCreate();
}

TF_Main::~TF_Main()
{
    // Deleting the window moves the focus out of its editors: no exit handler may run into a window
    // that is half destroyed.
    disconnect(m_focusConnection);
    m_exitHandlers.clear();
    delete ui;
}

QWidget* TF_Main::component(vx::Field name) const
{
    auto it = m_components.find(name);
    return it == m_components.end() ? nullptr : it->second;
}

void TF_Main::addChangeHandler(vx::Field name, Handler handler)
{
    QWidget* w = component(name);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        connect(e, &QLineEdit::textChanged, this, [handler] { handler(); });
    else if (auto* s = qobject_cast<vx::SpinEdit*>(w))
        connect(s, &vx::SpinEdit::changed, this, [handler] { handler(); });
    else
        qWarning("TF_Main: no editor %.*s for a change handler", static_cast<int>(name.size()), name.data());
}

void TF_Main::addExitHandler(vx::Field name, Handler handler)
{
    if (!component(name)) {
        qWarning("TF_Main: no editor %.*s for an exit handler", static_cast<int>(name.size()), name.data());
        return;
    }
    m_exitHandlers[std::string(name)].push_back(std::move(handler));
}

void TF_Main::runExitHandlers(vx::Field name)
{
    auto it = m_exitHandlers.find(name);
    if (it == m_exitHandlers.end())
        return;
    // A handler may attach further handlers; run the ones present now.
    const std::vector<Handler> handlers = it->second;
    for (const auto& h : handlers)
        h();
}

// The component a widget belongs to: itself when it has a name of the layout, else the nearest named
// parent (the line editor inside a spin editor belongs to the spin editor).
std::string TF_Main::componentNameOf(QWidget* w) const
{
    for (; w && w != this; w = w->parentWidget()) {
        const std::string name = ss(w->objectName());
        if (!name.empty() && m_components.count(name))
            return name;
    }
    return {};
}

void TF_Main::onFocusChanged(QWidget* old, QWidget* now)
{
    if (!old || !now || old->window() != this || now->window() != this)
        return;
    const std::string from = componentNameOf(old);
    if (from.empty() || from == componentNameOf(now))
        return;
    runExitHandlers(from);
}

char TF_Main::decimalSeparator() const
{
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 0x80 ? static_cast<char>(point.at(0).unicode()) : '.';
}

std::string TF_Main::text(vx::Field f) const
{
    QWidget* w = component(f);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return ss(e->text());
    if (auto* s = qobject_cast<vx::SpinEdit*>(w))
        return ss(s->editor()->text());
    if (auto* l = qobject_cast<QLabel*>(w))
        return ss(l->text());
    if (auto* c = qobject_cast<QComboBox*>(w))
        return ss(c->currentText());
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return ss(b->text());
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return ss(g->title());
    return {};
}

void TF_Main::setText(vx::Field f, const std::string& s)
{
    // Never with blocked signals: writing a different text runs the editor's change handler.
    QWidget* w = component(f);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(qs(s));
        // A written figure is read from its first digit: a text longer than the field shows its start,
        // not the tail that QLineEdit scrolls to. An editor being typed in keeps its caret.
        if (!e->hasFocus())
            e->setCursorPosition(0);
    } else if (auto* sp = qobject_cast<vx::SpinEdit*>(w))
        sp->editor()->setText(qs(s));
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(qs(s));
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(qs(s));
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(qs(s));
}

void TF_Main::setFontColour(vx::Field f, vx::Colour c)
{
    QWidget* w = component(f);
    if (!w)
        return;
    QColor colour = QApplication::palette().color(QPalette::Text);
    if (c == vx::Colour::Red)
        colour = QColor(255, 0, 0);
    else if (c == vx::Colour::Fuchsia)
        colour = QColor(255, 0, 255);
    QPalette p = w->palette();
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

void TF_Main::setVisible(vx::Field f, bool visible)
{
    if (QWidget* w = component(f))
        w->setVisible(visible);
}

void TF_Main::setActiveControl(vx::Field f)
{
    QWidget* w = component(f);
    if (!w)
        return;
    QWidget* previous = focusWidget();
    w->setFocus(Qt::OtherFocusReason);
    // In the active window the focus change itself runs the exit handler (onFocusChanged). A window that
    // is not active only records its focused control; the editor that held it is left all the same.
    if (!isActiveWindow() && previous) {
        const std::string from = componentNameOf(previous);
        if (!from.empty() && from != componentNameOf(w))
            runExitHandlers(from);
    }
}

vx::MsgAnswer TF_Main::message(vx::MsgType type, const std::string& text, vx::MsgButtons buttons)
{
    return vx::dialogs().show(type, qs(text), buttons, this);
}

int TF_Main::spinValue(vx::Field f) const
{
    auto* s = qobject_cast<vx::SpinEdit*>(component(f));
    return s ? s->value() : 0;
}

void TF_Main::setSpinValue(vx::Field f, int value)
{
    if (auto* s = qobject_cast<vx::SpinEdit*>(component(f)))
        s->setValue(value);
}

int TF_Main::selectorIndex(vx::Field f) const
{
    auto* c = qobject_cast<QComboBox*>(component(f));
    return c ? c->currentIndex() : -1;
}

void TF_Main::setSelectorIndex(vx::Field f, int index)
{
    // Only a user's pick runs a selector's handler (they are bound to activated()).
    if (auto* c = qobject_cast<QComboBox*>(component(f)))
        c->setCurrentIndex(index);
}

int TF_Main::shapeButtonDown() const
{
    const QAbstractButton* buttons[] = {ui->SBut1, ui->SBut2, ui->SBut3, ui->SBut4, ui->SBut5, ui->SBut6};
    for (int i = 0; i < 6; ++i) {
        if (buttons[i]->isChecked())
            return i + 1;
    }
    return 1;
}

void TF_Main::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TF_Main::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A restore from minimised is no showing of the window.
    if (!event->spontaneous())
        FormShow();
}

void TF_Main::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

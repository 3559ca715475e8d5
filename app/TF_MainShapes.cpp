// Shape choice, the port picture and the shape pages' show handlers of the main window.
#include "app/TF_Main.h"

#include "core/Numbers.h"
#include "platform/BuiltinImage.h"

#include "ui_TF_Main.h"

#include <QButtonGroup>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QStackedWidget>
#include <QToolButton>

#include <array>
#include <cmath>
#include <optional>
#include <utility>

namespace {

using vx::CalcState;

// The six shape buttons: the round and the rectangular shape each stands for, with glyph and tooltip.
struct ShapeButton {
    int round, slot;
    const char* roundGlyph;
    const char* roundTip;
    const char* slotGlyph;
    const char* slotTip;
};
constexpr std::array<ShapeButton, 6> kShapeButtons{{
    {vx::TUB, vx::BOX, "TUB", "Порт \"труба\"", "BOX", "Порт \"бокс\""},
    {vx::CONE, vx::PRISM, "CONE", "Порт \"конус\"", "PRISM", "Порт \"призма\""},
    {vx::TUBCONE, vx::BOXPRISM, "TUBCONE", "Порт \"труба-конус\"", "BOXPRISM", "Порт \"бокс-призма\""},
    {vx::CONETUBCONE, vx::PRISMBOXPRISM, "CONETUBCONE", "Порт \"песочные часы\"", "PRISMBOXPRISM",
     "Порт \"песочные часы\""},
    {vx::CURVECONE, vx::CURVEFLAT, "CURVECONE", "Порт с криволинейной образующей", "CURVEFLAT",
     "Порт с криволинейной образующей"},
    {vx::FLARETUBE, vx::FLAREFLAT, "FLARETUBE", "Порт \"труба со скруглениями\"", "FLAREFLAT",
     "Порт \"бокс со скруглениями\""},
}};

// Where each shape's picture lies on the sprite sheet (left, top, width, height).
struct SpriteRect {
    int left, top, width, height;
};
constexpr std::array<SpriteRect, vx::kPortTypeCount> kSprites{{
    {0, 0, 152, 107},     {152, 0, 176, 114},   {328, 0, 180, 123},   {508, 0, 174, 110},
    {0, 123, 144, 155},   {152, 123, 171, 159}, {328, 123, 174, 173}, {508, 123, 169, 159},
    {682, 0, 153, 111},   {677, 123, 153, 160}, {836, 0, 137, 105},   {830, 123, 141, 159},
}};

constexpr int kPictureWidth = 187;
constexpr int kPictureHeight = 195;

QPixmap shapeGlyph(const char* name)
{
    const QString n = QString::fromLatin1(name);
    // The drawn glyphs come as bitmaps and as pictures with a transparent ground; the flat buttons take
    // the latter.
    for (const QString& path : {QStringLiteral(":/glyphs/%1.png"), QStringLiteral(":/glyphs/%1.bmp")}) {
        const QPixmap p = vx::builtinPixmap(path.arg(n));
        if (!p.isNull())
            return p;
    }
    return {};
}

} // namespace

void TF_Main::connectShapes()
{
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    QToolButton* buttons[] = {ui->SBut1, ui->SBut2, ui->SBut3, ui->SBut4, ui->SBut5, ui->SBut6};
    void (TF_Main::*clicks[])() = {&TF_Main::SBut1Click, &TF_Main::SBut2Click, &TF_Main::SBut3Click,
                                   &TF_Main::SBut4Click, &TF_Main::SBut5Click, &TF_Main::SBut6Click};
    for (int i = 0; i < 6; ++i) {
        // Speed buttons never take the focus, so pressing one ends no edit in progress.
        buttons[i]->setFocusPolicy(Qt::NoFocus);
        buttons[i]->setAutoRaise(true);
        buttons[i]->setCheckable(true);
        buttons[i]->setIconSize(QSize(20, 19));
        group->addButton(buttons[i], i + 1);
        connect(buttons[i], &QToolButton::clicked, this, clicks[i]);
    }
    ui->SBut1->setChecked(true);
    // Only a user's pick changes the section; code that selects an item runs nothing.
    connect(ui->ComboPortType, &QComboBox::activated, this, [this] { ComboPortTypeChange(); });
    // Page show handlers: a page that becomes visible on screen (not a restore from minimised).
    for (int i = 0; i < ui->PageCWork->count(); ++i)
        ui->PageCWork->widget(i)->installEventFilter(this);
    connect(ui->PageCWork, &QStackedWidget::currentChanged, this, [this] {
        const int page = std::exchange(m_pendingPage, -1);
        if (page >= 0)
            pageShown(page);
    });
}

bool TF_Main::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        const int page = ui->PageCWork->indexOf(qobject_cast<QWidget*>(watched));
        if (page >= 0) {
            // During a page switch the page control paints nothing until the switch is done; a message
            // box of the handler would stand over a frozen picture of the previous page. The handler
            // then runs as the switch ends, still inside it.
            if (ui->PageCWork->updatesEnabled())
                pageShown(page);
            else
                m_pendingPage = page;
        }
    }
    return QWidget::eventFilter(watched, event);
}

namespace {

// SBut for button N (1..6) under the section chosen in the selector.
int shapeOfButton(int n, int section)
{
    const ShapeButton& b = kShapeButtons[static_cast<std::size_t>(n - 1)];
    return section == vx::Slot_Section ? b.slot : b.round;
}

} // namespace

void TF_Main::shapeClick(int n)
{
    // The limit behind the boundary values comes from the button that is down right now: a click has
    // already put this one down, a project load calling in directly has not.
    m_calc.RecalcMins();
    QToolButton* buttons[] = {ui->SBut1, ui->SBut2, ui->SBut3, ui->SBut4, ui->SBut5, ui->SBut6};
    buttons[n - 1]->setChecked(true);
    m_state.SBut = shapeOfButton(n, ui->ComboPortType->currentIndex());
    if (n <= 4) {
        RedrawImage();
        ProjectModified = true;
        ui->PageCWork->setCurrentIndex(m_state.SBut);
    } else {
        ui->PageCWork->setCurrentIndex(m_state.SBut);
        RedrawImage();
        ProjectModified = true;
    }
}

void TF_Main::SBut1Click() { shapeClick(1); }
void TF_Main::SBut2Click() { shapeClick(2); }
void TF_Main::SBut3Click() { shapeClick(3); }
void TF_Main::SBut4Click() { shapeClick(4); }
void TF_Main::SBut5Click() { shapeClick(5); }
void TF_Main::SBut6Click() { shapeClick(6); }

void TF_Main::ComboPortTypeChange()
{
    const bool slot = ui->ComboPortType->currentIndex() == vx::Slot_Section;
    QToolButton* buttons[] = {ui->SBut1, ui->SBut2, ui->SBut3, ui->SBut4, ui->SBut5, ui->SBut6};
    for (std::size_t i = 0; i < kShapeButtons.size(); ++i) {
        const ShapeButton& b = kShapeButtons[i];
        buttons[i]->setIcon(QIcon(shapeGlyph(slot ? b.slotGlyph : b.roundGlyph)));
        buttons[i]->setToolTip(QString::fromUtf8(slot ? b.slotTip : b.roundTip));
    }
    // The same button's shape of the other section; the pressed button stays, and so does the limit.
    int& shape = m_state.SBut;
    if (slot) {
        if (shape >= 0 && shape <= 7)
            shape = shape % 4 + 4;
        else if (shape == vx::CURVECONE)
            shape = vx::CURVEFLAT;
        else if (shape == vx::FLARETUBE)
            shape = vx::FLAREFLAT;
    } else {
        if (shape >= 0 && shape <= 7)
            shape = shape % 4;
        else if (shape == vx::CURVEFLAT)
            shape = vx::CURVECONE;
        else if (shape == vx::FLAREFLAT)
            shape = vx::FLARETUBE;
    }
    ui->PageCWork->setCurrentIndex(shape);
    ProjectModified = true;
    RedrawImage();
}

void TF_Main::RedrawImage()
{
    QPixmap picture(kPictureWidth, kPictureHeight);
    picture.fill(Qt::white);
    const int shape = m_state.SBut;
    const QPixmap sheet = ui->PDraw->pixmap();
    if (shape >= 0 && shape < vx::kPortTypeCount && !sheet.isNull()) {
        const SpriteRect& r = kSprites[static_cast<std::size_t>(shape)];
        // Centred on the picture; half pixels go to the even neighbour (17.5 → 18, 40.5 → 40).
        const int x = static_cast<int>(vx::Round(kPictureWidth / 2.0L - r.width / 2.0L));
        const int y = static_cast<int>(vx::Round(kPictureHeight / 2.0L - r.height / 2.0L));
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawPixmap(x, y, sheet, r.left, r.top, r.width, r.height);
    }
    ui->Image5->setPixmap(picture);
}

// ---------------------------------------------------------------------------------------------------
// Page show handlers: every missing size gets a default from the boundary values, the page's editors
// show the sizes, and the geometry is computed with its messages.

namespace {

constexpr long double kTubeConeRatio = 1.2599210498948731647L; // 2^(1/3): straight part of the tube-cone
constexpr long double kSlotAspect = 1.2599210498948731647L;    // slot proportion of pages 5 to 7
constexpr long double kHourglassAspect = 1.7320508075688772935L; // √3: the slot hourglass
constexpr long double kSqrt2 = 1.4142135623730950488L;

enum class Shown { Plain, Cents }; // written unrounded, or rounded to 0.01

struct PageCtx {
    TF_Main& w;
    CalcState& s;
    char sep;
    std::optional<long double> minDiameter; // read once, when a default first needs it

    // The minimum port diameter as its field shows it; a text that is no number (the field is empty
    // after an input reset) stops the handler with the invalid-number error box.
    bool minimumDiameter(long double& out)
    {
        if (!minDiameter) {
            const std::string t = w.text("EditDpmin");
            const auto v = vx::parseFloat(t, sep);
            if (!v) {
                w.message(vx::MsgType::Error, "'" + t + "' is not a valid floating point value");
                return false;
            }
            minDiameter = *v;
        }
        out = *minDiameter;
        return true;
    }
    void show(vx::Field f, double v, Shown how)
    {
        w.setText(f, how == Shown::Cents ? vx::formatRounded(v, 2, sep) : vx::formatFloat(v, sep));
    }
};

bool missing(double v) { return !(v > 0); }

// Each page: fill its defaults and write its editors; false when a default could not be made.
bool showTub(PageCtx& c)
{
    auto& s = c.s;
    if (missing(s.TubD)) {
        c.w.setProjectModified(true);
        long double d;
        if (!c.minimumDiameter(d))
            return false;
        s.TubD = static_cast<double>(d);
    }
    c.show("EditTubD", s.TubD, Shown::Plain);
    return true;
}

// Pages 2 to 4: a diameter, optionally a straight part, and a wall angle.
bool showRound(PageCtx& c, double& d1, double* l1, double& angle, vx::Field fd1, vx::Field fl1, vx::Field fa)
{
    if (missing(d1) || missing(angle) || (l1 && missing(*l1)))
        c.w.setProjectModified(true);
    if (missing(d1)) {
        long double d;
        if (!c.minimumDiameter(d))
            return false;
        d1 = static_cast<double>(d);
    }
    if (l1 && missing(*l1))
        *l1 = static_cast<double>(kTubeConeRatio * d1);
    if (missing(angle))
        angle = 4;
    c.show(fd1, d1, Shown::Cents);
    if (l1)
        c.show(fl1, *l1, Shown::Cents);
    c.show(fa, angle, Shown::Plain);
    return true;
}

bool showCone(PageCtx& c)
{
    return showRound(c, c.s.ConD1, nullptr, c.s.ConA, "EditConD1", "", "EditConA");
}
bool showTubCone(PageCtx& c)
{
    return showRound(c, c.s.TubConD1, &c.s.TubConL1, c.s.TubConA, "EditTubConD1", "EditTubConL1", "EditTubConA");
}
bool showConeTubCone(PageCtx& c)
{
    return showRound(c, c.s.ConTubConD1, &c.s.ConTubConL1, c.s.ConTubConA, "EditConTubConD1", "EditConTubConL1",
                     "EditConTubConA");
}

// The slot pages take the area of all ports together, in proportion k.
double slotWidth(const CalcState& s, long double k) { return static_cast<double>(std::sqrt(s.Smin * k) * 1000); }

// Pages 5 and 6: width and height from the area in proportion k. The wedge adds its angle, written
// first; a missing angle alone does not mark the project.
bool showSlot(PageCtx& c, double& width, double& height, double* angle, vx::Field fw, vx::Field fh, vx::Field fa)
{
    auto& s = c.s;
    const long double k = kSlotAspect;
    s.AspectK = static_cast<double>(k);
    if (missing(width) || missing(height))
        c.w.setProjectModified(true);
    if (missing(width))
        width = slotWidth(s, k);
    if (missing(height))
        height = static_cast<double>(width / k);
    if (angle) {
        if (missing(*angle))
            *angle = 8;
        c.show(fa, *angle, Shown::Plain);
    }
    c.show(fw, width, Shown::Cents);
    c.show(fh, height, Shown::Cents);
    return true;
}

bool showBox(PageCtx& c) { return showSlot(c, c.s.BoxW, c.s.BoxH, nullptr, "EditBoxW", "EditBoxH", ""); }
bool showPrism(PageCtx& c) { return showSlot(c, c.s.PriW1, c.s.PriH, &c.s.PriA, "EditPriW1", "EditPriH", "EditPriA"); }

// Pages 7 and 8: width, height, straight part and angle, all from the area in proportion k.
bool showSlotFlare(PageCtx& c, long double k, double& w1, double& h, double& l1, double& a, vx::Field fw1,
                   vx::Field fh, vx::Field fl1, vx::Field fa)
{
    auto& s = c.s;
    s.AspectK = static_cast<double>(k);
    if (missing(w1) || missing(h) || missing(a) || missing(l1))
        c.w.setProjectModified(true);
    if (missing(w1))
        w1 = slotWidth(s, k);
    if (missing(h))
        h = static_cast<double>(w1 / k);
    if (missing(l1))
        l1 = static_cast<double>(w1 * k);
    if (missing(a))
        a = 8;
    c.show(fa, a, Shown::Plain);
    c.show(fw1, w1, Shown::Cents);
    c.show(fh, h, Shown::Cents);
    c.show(fl1, l1, Shown::Cents);
    return true;
}

bool showBoxPrism(PageCtx& c)
{
    auto& s = c.s;
    return showSlotFlare(c, kSlotAspect, s.BoxPriW1, s.BoxPriH, s.BoxPriL1, s.BoxPriA, "EditBoxPriW1",
                         "EditBoxPriH", "EditBoxPriL1", "EditBoxPriA");
}
bool showPrismBoxPrism(PageCtx& c)
{
    auto& s = c.s;
    return showSlotFlare(c, kHourglassAspect, s.PriBoxPriW1, s.PriBoxPriH, s.PriBoxPriL1, s.PriBoxPriA,
                         "EditPriBoxPriW1", "EditPriBoxPriH", "EditPriBoxPriL1", "EditPriBoxPriA");
}

// A stored multiplier below 10 is in tenths (3 means 30); the editor keeps it within 10..50.
void showMultiplier(PageCtx& c, int& div, vx::Field editor)
{
    if (div < 10)
        div *= 10;
    c.w.setSpinValue(editor, div);
}

bool showCurveCone(PageCtx& c)
{
    auto& s = c.s;
    if (missing(s.CurveConL)) {
        c.w.setProjectModified(true);
        s.CurveConL = 100;
    }
    c.show("EditCurveConL", s.CurveConL, Shown::Cents);
    showMultiplier(c, s.CurveConDiv, "SEdDiv");
    c.w.setSelectorIndex("CBCurveType", s.CurveConFunc);
    if (c.w.selectorIndex("CBCurveType") < 0)
        c.w.setSelectorIndex("CBCurveType", vx::Cosh);
    return true;
}

bool showCurveFlat(PageCtx& c)
{
    auto& s = c.s;
    if (missing(s.CurveFlatL)) {
        c.w.setProjectModified(true);
        s.CurveFlatL = 100;
    }
    if (missing(s.CurveFlatH)) {
        c.w.setProjectModified(true);
        s.CurveFlatH = 10;
    }
    c.show("EditCurveFlatL", s.CurveFlatL, Shown::Cents);
    c.show("EditCurveFlatH", s.CurveFlatH, Shown::Cents);
    showMultiplier(c, s.CurveFlatDiv, "SEFdiv");
    // The stored base function is the project load's to select; here only an empty selection is mended.
    if (c.w.selectorIndex("CBFcurveType") < 0)
        c.w.setSelectorIndex("CBFcurveType", vx::Cosh);
    // The results kept for the section print are made afresh.
    s.CurveFlatW1 = 0;
    s.CurveFlatW = 0;
    return true;
}

double roundMm(long double v) { return static_cast<double>(vx::Round(v)); }

// Pages 11 and 12: whole-millimetre defaults; a radius of 0 is a sharp edge and stays. The width is the
// minimum diameter over a divisor (1 for the tube, √2 for the slot, whose height then equals its width).
struct RoundedPage {
    double CalcState::*width;
    double CalcState::*height; // none on the tube
    double CalcState::*r1;
    double CalcState::*r2;
    long double widthDivisor;
    std::array<vx::Field, 4> editors; // width, height, r1, r2
};
constexpr RoundedPage kRoundedTube{&CalcState::FlaTubD, nullptr, &CalcState::FlaTubR1, &CalcState::FlaTubR2, 1.0L,
                                   {"EditFlaTubD", "", "EditFlaTubR1", "EditFlaTubR2"}};
constexpr RoundedPage kRoundedSlot{&CalcState::FlaBoxW, &CalcState::FlaBoxH, &CalcState::FlaBoxR1, &CalcState::FlaBoxR2,
                                   kSqrt2, {"EditFlaBoxW", "EditFlaBoxH", "EditFlaBoxR1", "EditFlaBoxR2"}};

bool showRounded(PageCtx& c, const RoundedPage& p)
{
    auto& s = c.s;
    double& width = s.*p.width;
    if (missing(width)) {
        c.w.setProjectModified(true);
        long double d;
        if (!c.minimumDiameter(d))
            return false;
        width = roundMm(d / p.widthDivisor);
    }
    if (p.height && missing(s.*p.height)) {
        c.w.setProjectModified(true);
        s.*p.height = width;
    }
    double& r1 = s.*p.r1;
    double& r2 = s.*p.r2;
    if (r1 < 0) {
        c.w.setProjectModified(true);
        r1 = roundMm(width / 4.0L);
    }
    if (r2 < 0) {
        c.w.setProjectModified(true);
        r2 = roundMm(r1);
    }
    const std::array<double CalcState::*, 4> shown{p.width, p.height, p.r1, p.r2};
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i])
            c.show(p.editors[i], s.*shown[i], Shown::Cents);
    }
    return true;
}

bool showFlareTube(PageCtx& c) { return showRounded(c, kRoundedTube); }
bool showFlareFlat(PageCtx& c) { return showRounded(c, kRoundedSlot); }

// By page index, which is the PortType.
constexpr std::array<bool (*)(PageCtx&), vx::kPortTypeCount> kPageShows{{
    showTub, showCone, showTubCone, showConeTubCone, showBox, showPrism, showBoxPrism, showPrismBoxPrism,
    showCurveCone, showCurveFlat, showFlareTube, showFlareFlat,
}};

} // namespace

void TF_Main::pageShown(int page)
{
    if (page < 0 || page >= vx::kPortTypeCount)
        return;
    m_calc.ClearStuff();
    PageCtx ctx{*this, m_state, decimalSeparator(), std::nullopt};
    if (!kPageShows[static_cast<std::size_t>(page)](ctx))
        return;
    m_calc.RecalcRes(true);
}

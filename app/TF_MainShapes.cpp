// Shape choice, the port picture and the shape pages' show handlers of the main window.
#include "app/TF_Main.h"

#include "core/CurvePages.h"
#include "core/Numbers.h"
#include "core/PageDefaults.h"
#include "core/Shapes.h"
#include "platform/BuiltinImage.h"
#include "platform/Utf8Text.h"

#include "ui_TF_Main.h"

#include <QButtonGroup>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QStackedWidget>
#include <QToolButton>

#include <array>
#include <string>
#include <string_view>
#include <utility>

namespace {

// The page control runs the show handler of the page that became visible, by the page's index: page i
// is the page of PortType i. The compiler refuses a table that is short, out of order or holds no
// handler for a page.
struct PageShow {
    vx::PortType page;
    void (TF_Main::*handler)();
};
constexpr std::array<PageShow, vx::kPortTypeCount> kTabSheetShow{{
    {vx::TUB, &TF_Main::TabSheet1Show},
    {vx::CONE, &TF_Main::TabSheet2Show},
    {vx::TUBCONE, &TF_Main::TabSheet3Show},
    {vx::CONETUBCONE, &TF_Main::TabSheet4Show},
    {vx::BOX, &TF_Main::TabSheet5Show},
    {vx::PRISM, &TF_Main::TabSheet6Show},
    {vx::BOXPRISM, &TF_Main::TabSheet7Show},
    {vx::PRISMBOXPRISM, &TF_Main::TabSheet8Show},
    {vx::CURVECONE, &TF_Main::TabSheet9Show},
    {vx::CURVEFLAT, &TF_Main::TabSheet10Show},
    {vx::FLARETUBE, &TF_Main::TabSheet11Show},
    {vx::FLAREFLAT, &TF_Main::TabSheet12Show},
}};

constexpr bool everyPageHasItsHandler()
{
    for (int i = 0; i < vx::kPortTypeCount; ++i) {
        const PageShow& row = kTabSheetShow[static_cast<std::size_t>(i)];
        if (row.page != i || row.handler == nullptr)
            return false;
    }
    return true;
}
static_assert(everyPageHasItsHandler(), "one show handler per page, in PortType order");

void runPageShow(TF_Main& w, int page)
{
    if (vx::isShape(page))
        (w.*kTabSheetShow[static_cast<std::size_t>(page)].handler)();
}

constexpr int kPictureWidth = 187;
constexpr int kPictureHeight = 195;

// The shape buttons SBut1 .. SBut6 in their order.
std::array<QToolButton*, 6> shapeButtons(const Ui::TF_Main& ui)
{
    return {ui.SBut1, ui.SBut2, ui.SBut3, ui.SBut4, ui.SBut5, ui.SBut6};
}

QPixmap shapeGlyph(std::string_view name)
{
    const QString n = vx::qs(name);
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
    const auto buttons = shapeButtons(*ui);
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
            runPageShow(*this, page);
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
                runPageShow(*this, page);
            else
                m_pendingPage = page;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TF_Main::shapeClick(int n)
{
    // The limit behind the boundary values comes from the button that is down right now: a click has
    // already put this one down, a project load calling in directly has not.
    m_calc.RecalcMins();
    shapeButtons(*ui)[static_cast<std::size_t>(n - 1)]->setChecked(true);
    m_state.SBut = vx::shapeOfButton(n, ui->ComboPortType->currentIndex());
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
    const int section = ui->ComboPortType->currentIndex() == vx::Slot_Section ? vx::Slot_Section : vx::Round_Section;
    // Each button shows the glyph and tooltip of its shape in the section.
    const auto buttons = shapeButtons(*ui);
    for (const vx::ShapeRow& row : vx::kShapes) {
        if (row.section != section)
            continue;
        QToolButton* b = buttons[static_cast<std::size_t>(row.button - 1)];
        b->setIcon(QIcon(shapeGlyph(row.name)));
        b->setToolTip(vx::qs(row.tooltip));
    }
    // The same button's shape of the other section; the pressed button stays, and so does the limit.
    m_state.SBut = vx::shapeInSection(m_state.SBut, section);
    ui->PageCWork->setCurrentIndex(m_state.SBut);
    ProjectModified = true;
    RedrawImage();
}

void TF_Main::RedrawImage()
{
    QPixmap picture(kPictureWidth, kPictureHeight);
    picture.fill(Qt::white);
    const int shape = m_state.SBut;
    const QPixmap sheet = ui->PDraw->pixmap();
    if (vx::isShape(shape) && !sheet.isNull()) {
        const vx::SpriteRect& r = vx::shapeRow(shape).sprite;
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

// What the show handler of a curved page does after its sizes: the page's multiplier and base function
// into its controls. The round page selects its stored base function; the slot page leaves that to the
// project load, only mends an empty selection, and makes the results kept for the section print afresh.
// A shown multiplier that changes runs its editor's change handler, which computes at once.
void showCurvedPageSettings(TF_Main& w, vx::CalcState& s, int page)
{
    if (page != vx::CURVECONE && page != vx::CURVEFLAT)
        return;
    const vx::CurvePage& curve = vx::curvePageOf(page);
    w.setSpinValue(curve.multiplier, s.*curve.division);
    if (page == vx::CURVECONE)
        w.setSelectorIndex(curve.selector, s.*curve.function);
    if (w.selectorIndex(curve.selector) < 0)
        w.setSelectorIndex(curve.selector, vx::Cosh);
    if (page == vx::CURVEFLAT) {
        s.*curve.keptThroat = 0;
        s.*curve.keptOutlet = 0;
    }
}

} // namespace

void TF_Main::pageShown(int page)
{
    if (!vx::isShape(page))
        return;
    m_calc.ClearStuff();
    const vx::ShapeRow& shape = vx::shapeRow(page);
    const char sep = decimalSeparator();
    // The minimum port diameter as its field shows it; empty after an input reset.
    const std::string minText = text("EditDpmin");
    const vx::PageDefaults filled = shape.defaults(m_state, vx::parseFloat(minText, sep));
    if (filled.marksModified)
        ProjectModified = true;
    if (!filled.complete) {
        // The invalid-number error box, and the rest of the handler is skipped.
        message(vx::MsgType::Error, "'" + minText + "' is not a valid floating point value");
        return;
    }
    // Each write that changes a text runs the editor's change handler, which keeps the value it shows.
    for (const vx::ShownSize& size : shape.shown) {
        if (size.field.empty())
            break;
        const double v = m_state.*size.value;
        setText(size.field, vx::shownText(v, size.how, sep));
    }
    showCurvedPageSettings(*this, m_state, page);
    m_calc.RecalcRes(true);
}

#include "tools/TF_Print.h"

#include "app/PrintService.h"
#include "app/TF_Main.h"
#include "app/Windows.h"
#include "core/CalcState.h"
#include "core/CurvePages.h"
#include "core/Numbers.h"
#include "core/Version.h"
#include "platform/Utf8Text.h"
#include "platform/WindowFont.h"

#include <QPainter>
#include <QStackedWidget>

#include <cmath>
#include <string>

namespace {

constexpr int kWidth = 792;
constexpr int kHeight = 736;
constexpr int kPictureWidth = 760;
constexpr int kPictureHeight = 950;
constexpr int kPictureOffset = 18;
constexpr int kStepsPerHalf = 500;
// The root of cosh(g) - 1 = g: at the mouth the catenary's offset is then the multiplier times half
// the length, as the circle's is, so both functions open the port alike.
constexpr long double kCoshReach = 1.61614L;
constexpr double kWideOutletMm = 60;
constexpr int kTextShift = 117;
constexpr int kFirstLineY = 6;
constexpr int kSecondLineY = 21;
constexpr int kThirdLineY = 36;

// Halves go to the even neighbour.
int px(long double mm) { return static_cast<int>(vx::Round(mm * TF_Print::kPxPerMm)); }
using vx::qs;

} // namespace

TF_Print::TF_Print(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TF_Print"));
    setFont(vx::windowFont());
    resize(kWidth, kHeight);
}

void TF_Print::setSheetWidth(int width)
{
    if (width == this->width())
        return;
    resize(width, height());
    FormResize();
}

QImage TF_Print::sheetImage() const
{
    QImage sheet(kWidth, kHeight, QImage::Format_RGB32);
    sheet.fill(palette().color(QPalette::Active, QPalette::Base));
    QPainter painter(&sheet);
    if (!m_image.isNull())
        painter.drawImage(kPictureOffset, kPictureOffset, m_image);
    return sheet;
}

void TF_Print::FormResize()
{
    PrintSection();
}

void TF_Print::PrintSection()
{
    if (!F_Main)
        return;
    DrawSection();
    vx::PrintService& printer = vx::printing();
    if (printer.execDialog(F_Main))
        printer.printPage(sheetImage(), F_Main);
}

void TF_Print::DrawSection()
{
    const vx::CalcState& s = F_Main->state();
    // The shape of the page on screen: the curved slot draws its width profile, every other page the
    // round curved port.
    auto* pages = qobject_cast<QStackedWidget*>(F_Main->component("PageCWork"));
    const vx::CurvePage& page = vx::curvePageOf(pages ? pages->currentIndex() : -1);
    draw(s.*page.lengthValue, s.*page.keptThroat, s.*page.keptOutlet, F_Main->selectorIndex(page.selector),
         F_Main->spinValue(page.multiplier));
}

void TF_Print::draw(double L, double throat, double outlet, int func, int multiplier)
{
    if (m_image.isNull()) {
        m_image = QImage(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
        m_image.fill(Qt::white);
    }
    QPainter c(&m_image);
    c.setRenderHint(QPainter::Antialiasing, false);
    c.setFont(font());
    // The whole sheet's size in white: a longer earlier drawing below it stays, off the paper.
    c.fillRect(QRect(0, 0, width(), height()), Qt::white);

    const long double half = static_cast<long double>(L) / 2;
    const long double k = multiplier / 100.0L;
    const int axisX = px(outlet / 2.0L);
    const int throatY = px(half);
    const int bottomY = px(L);
    const int right = px(outlet);

    QPen pen(Qt::black, 1, Qt::DashLine);
    c.setPen(pen);
    c.drawLine(axisX, 0, axisX, bottomY);
    c.drawLine(0, throatY, right, throatY);
    pen.setStyle(Qt::SolidLine);
    c.setPen(pen);
    c.drawLine(0, 0, right, 0);
    c.drawLine(0, bottomY, right, bottomY);

    // The wall's distance from the axis, the same function as the solver's, drawn from the throat out
    // to both mouths and mirrored about the axis. A port without length has no profile to draw.
    if (half > 0) {
        const long double g = kCoshReach / half;
        int pxPrev = px(throat / 2.0L);
        int pyPrev = 0;
        for (int i = 1; i <= kStepsPerHalf; ++i) {
            const long double x = i * half / kStepsPerHalf;
            const long double offset = func == vx::Circle
                                           ? (half - std::sqrt(std::max(0.0L, half * half - x * x))) * k
                                           : (std::cosh(x * g) - 1) * k / g;
            const long double r = offset + throat / 2.0L;
            const int dy = px(x);
            const int dx = px(r);
            c.drawLine(axisX + pxPrev, throatY + pyPrev, axisX + dx, throatY + dy);
            c.drawLine(axisX - pxPrev, throatY + pyPrev, axisX - dx, throatY + dy);
            c.drawLine(axisX - pxPrev, throatY - pyPrev, axisX - dx, throatY - dy);
            c.drawLine(axisX + pxPrev, throatY - pyPrev, axisX + dx, throatY - dy);
            pxPrev = dx;
            pyPrev = dy;
        }
    }

    const char sep = F_Main ? F_Main->decimalSeparator() : '.';
    const int textX = outlet > kWideOutletMm ? axisX - kTextShift : 4;
    const QString function = func == vx::Circle ? QStringLiteral("Круг") : QStringLiteral("Cosh");
    const QString lines[] = {
        QStringLiteral("Функция:  ") + function + QStringLiteral(" x ") + qs(vx::formatFloat(k, sep)),
        qs(vx::programTitle() + ": продольное сечение порта, масштаб 1:1"),
        QStringLiteral("L = %1 мм, горло %2 мм, выход %3 мм")
            .arg(qs(vx::formatRounded(L, 2, sep)), qs(vx::formatRounded(throat, 2, sep)),
                 qs(vx::formatRounded(outlet, 2, sep))),
    };
    const int lineY[] = {kFirstLineY, kSecondLineY, kThirdLineY};
    for (int n = 0; n < 3; ++n)
        c.drawText(QRect(textX, lineY[n], kPictureWidth, kPictureHeight), Qt::AlignLeft | Qt::AlignTop, lines[n]);
}

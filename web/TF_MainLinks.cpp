// The link opener of the main window, the brands navigator over the work area and the two site-address
// labels: every web link of the program leaves through ProcLink into the user's browser.
#include "app/TF_Main.h"

#include "platform/Browser.h"
#include "platform/SiteBase.h"
#include "web/BrandsList.h"

#include "ui_TF_Main.h"

#include <QEvent>
#include <QFile>
#include <QHeaderView>
#include <QMouseEvent>
#include <QLabel>
#include <QTableWidget>

#include <initializer_list>
#include <iterator>
#include <string>

namespace {

constexpr const char* kBrandsFile = "brands.csv";
constexpr const char* kBrandsMissing = "Файл брендов не найден.";
constexpr const char* kBrandsHeader = "Audio brands";
constexpr const char* kLinkNotOpened = "Не удалось открыть ссылку: "; // followed by the link
constexpr const char* kProgramPage = "vornalexmaster/"; // the program's page on the maker's site
constexpr const char* kAdvertMail = "reklama@vornalex.example";
constexpr int kColumnWidthsPx[] = {190, 64, 64};
constexpr int kRowHeightPx = 17;
const QColor kLinkBlue(0, 0, 255);
const QColor kLinkRed(255, 0, 0);

void setBrandRows(QTableWidget* grid, int count)
{
    grid->setRowCount(count);
    grid->setRowHidden(0, true);
}

void setCell(QTableWidget* grid, int row, int column, const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(row == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    grid->setItem(row, column, item);
}

QString cellText(const QTableWidget* grid, int row, int column)
{
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

bool sameColour(const QLabel* label, const QColor& colour)
{
    return label->palette().color(QPalette::WindowText) == colour;
}

void setLinkColour(QLabel* label, const QColor& colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

// Hands the pointer and key events of the navigator and the site-address labels to the window.
class LinkRelay : public QObject {
public:
    LinkRelay(TF_Main& window, Ui::TF_Main& ui) : QObject(&window), m_window(window), m_ui(ui) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto button = [event] { return static_cast<QMouseEvent*>(event)->button(); };
        switch (event->type()) {
        case QEvent::KeyRelease:
            if (watched == m_ui.SGBrands)
                m_window.SGBrandsKeyUp();
            break;
        case QEvent::MouseButtonRelease:
            if (watched == m_ui.SGBrands->viewport())
                m_window.SGBrandsMouseUp();
            else if (watched == m_ui.Label133)
                m_window.Label133MouseUp(button());
            else if (watched == m_ui.Label134)
                m_window.Label134MouseUp(button());
            else if (watched == m_ui.LbURL || watched == m_ui.LbURL0)
                m_window.LbURLMouseUp(button());
            break;
        case QEvent::MouseButtonDblClick:
            if (watched == m_ui.SGBrands->viewport())
                m_window.SGBrandsDblClick();
            break;
        case QEvent::MouseMove:
            if (watched == m_ui.LbURL) {
                m_window.LbURLMouseMove();
            } else if (watched == m_ui.LbURL0) {
                m_window.LbURL0MouseMove();
            } else if (watched == m_ui.Panel5) {
                // Only the bare panel counts: moves over its child controls belong to them.
                const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
                if (!m_ui.Panel5->childAt(p))
                    m_window.Panel5MouseMove(p.x(), p.y());
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    TF_Main& m_window;
    Ui::TF_Main& m_ui;
};

} // namespace

void TF_Main::connectLinks()
{
    QTableWidget* grid = ui->SGBrands;
    grid->setColumnCount(static_cast<int>(std::size(kColumnWidthsPx)));
    for (int c = 0; c < grid->columnCount(); ++c)
        grid->setColumnWidth(c, kColumnWidthsPx[c]);
    // Row 0 is the grid's fixed header row: it stays a row of the grid (its first cell holds the
    // caption), hidden among the data rows and shown by the header so that it stays in view while the
    // list scrolls. There is no fixed column.
    grid->setHorizontalHeaderLabels({QString(), QString(), QString()});
    grid->horizontalHeader()->setFixedHeight(kRowHeightPx);
    grid->horizontalHeader()->setSectionsClickable(false);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setMinimumSectionSize(kRowHeightPx);
    grid->verticalHeader()->setDefaultSectionSize(kRowHeightPx);
    grid->setShowGrid(true);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    setBrandRows(grid, 2);

    QFont underlined = ui->Label133->font();
    underlined.setUnderline(true);
    for (QLabel* link : {ui->Label133, ui->Label134}) {
        link->setFont(underlined);
        setLinkColour(link, palette().color(QPalette::Highlight));
        link->setCursor(Qt::PointingHandCursor);
    }
    ui->Label135->setFont(underlined);
    setLinkColour(ui->Label135, Qt::gray);
    QFont bold = ui->Label137->font();
    bold.setBold(true);
    ui->Label137->setFont(bold);
    setLinkColour(ui->Label137, palette().color(QPalette::Highlight));
    ui->Label137->setText(QString::fromLatin1(kAdvertMail));
    ui->Panel12->setFrameShadow(QFrame::Sunken);
    // The captions show the site the labels lead to.
    const QString site = vx::siteBase();
    const QString host = site.mid(site.indexOf(QLatin1String("//")) + 2).section(QLatin1Char('/'), 0, 0);
    for (QLabel* label : {ui->LbURL, ui->LbURL0}) {
        label->setCursor(Qt::PointingHandCursor);
        label->setText(host);
    }
    // Links and captions come from the brands list and the configured site: shown as they are.
    for (QLabel* label : {ui->Label133, ui->Label134, ui->LbURL, ui->LbURL0})
        label->setTextFormat(Qt::PlainText);

    auto* relay = new LinkRelay(*this, *ui);
    for (QObject* watched : std::initializer_list<QObject*>{grid, grid->viewport(), ui->Label133, ui->Label134,
                                                             ui->LbURL, ui->LbURL0, ui->Panel5})
        watched->installEventFilter(relay);
    // Moves are wanted without a button held: the labels light up on hovering.
    for (QWidget* hovered : std::initializer_list<QWidget*>{ui->LbURL, ui->LbURL0, ui->Panel5})
        hovered->setMouseTracking(true);
}

void TF_Main::ProcLink(Qt::MouseButton Button, const QString& Str)
{
    // Only web addresses reach the browser: anything else the site or the brands list names (a file,
    // a local path, an option, nothing) opens nothing.
    if (Button != Qt::LeftButton || !vx::isWebAddress(Str))
        return;
    // The command is asked for at every link, so a browser chosen meanwhile is the one that opens it.
    vx::Browser& b = vx::browser();
    const vx::BrowserLaunch launch = vx::browserLaunch(b.openCommand(), Str);
    if (launch.program.isEmpty())
        return;
    if (!b.start(launch.program, launch.arguments))
        message(vx::MsgType::Warning, std::string(kLinkNotOpened) + Str.toStdString());
}

void TF_Main::FillSGBrands()
{
    QTableWidget* grid = ui->SGBrands;
    grid->clearContents();
    setBrandRows(grid, 2);
    QFile file(QString::fromLatin1(kBrandsFile));
    if (!file.exists()) {
        message(vx::MsgType::Plain, kBrandsMissing);
        return;
    }
    if (!file.open(QIODevice::ReadOnly))
        return;
    const std::vector<vx::BrandLine> lines = vx::readBrandsList(file.readAll());
    if (lines.empty())
        return;
    // One row for each line, so a skipped line leaves an empty row at the end.
    setBrandRows(grid, static_cast<int>(lines.size()) + 1);
    int row = 1;
    for (const vx::BrandLine& brand : lines) {
        if (!brand.listed)
            continue;
        setCell(grid, row, 0, brand.name);
        setCell(grid, row, 1, brand.mainPage);
        setCell(grid, row, 2, brand.subPage);
        ++row;
    }
}

void TF_Main::SBCarSoundClick()
{
    const QString header = QString::fromLatin1(kBrandsHeader);
    setCell(ui->SGBrands, 0, 0, header);
    ui->SGBrands->horizontalHeaderItem(0)->setText(header);
    EnableButtons(false);
    ui->Panel12->show();
    ui->Panel12->raise();
    ui->SGBrands->setFocus();
}

void TF_Main::ButP12CloceClick()
{
    ui->Panel12->hide();
    EnableButtons(true);
}

void TF_Main::SGBrandsSelectCell()
{
    const int row = ui->SGBrands->currentRow();
    if (row < 1)
        return;
    ui->Label133->setText(cellText(ui->SGBrands, row, 1));
    ui->Label134->setText(cellText(ui->SGBrands, row, 2));
}

void TF_Main::SGBrandsKeyUp() { SGBrandsSelectCell(); }

void TF_Main::SGBrandsMouseUp() { SGBrandsSelectCell(); }

void TF_Main::SGBrandsDblClick() { ProcLink(Qt::LeftButton, ui->Label133->text()); }

void TF_Main::Label133MouseUp(Qt::MouseButton Button) { ProcLink(Button, ui->Label133->text()); }

void TF_Main::Label134MouseUp(Qt::MouseButton Button) { ProcLink(Button, ui->Label134->text()); }

void TF_Main::LbURLMouseMove()
{
    if (!sameColour(ui->LbURL, kLinkBlue))
        return;
    setLinkColour(ui->LbURL, kLinkRed);
    ui->StatusBar1->setText(QLatin1Char(' ') + ui->LbURL->text());
}

void TF_Main::LbURL0MouseMove()
{
    if (!sameColour(ui->LbURL0, kLinkBlue))
        return;
    setLinkColour(ui->LbURL0, kLinkRed);
    ui->StatusBar1->setText(QLatin1Char(' ') + ui->LbURL0->text());
}

void TF_Main::Panel5MouseMove(int X, int Y)
{
    const QRect label = ui->LbURL->geometry();
    const bool inside = label.left() <= X && X <= label.left() + label.width() && label.top() <= Y &&
                        Y <= label.top() + label.height();
    if (!inside && sameColour(ui->LbURL, kLinkRed)) {
        setLinkColour(ui->LbURL, kLinkBlue);
        ui->StatusBar1->clear();
    }
}

void TF_Main::LbURLMouseUp(Qt::MouseButton Button)
{
    ProcLink(Button, vx::siteBase() + QLatin1String(kProgramPage));
}

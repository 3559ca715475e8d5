#include "app/PrintService.h"

#include "platform/DialogService.h"

#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <memory>

namespace vx {

namespace {

constexpr double kScreenDpi = 96.0;
constexpr const char* kPrinterNotStarted = "Не удалось начать печать";

// The one printer of a run: the dialog's choice stays for the next print, as the window's dialog
// component keeps it.
class SystemPrinting : public PrintService {
public:
    bool execDialog(QWidget* parent) override
    {
        QPrintDialog dialog(&printer(), parent);
        return dialog.exec() == QDialog::Accepted;
    }

    bool printImage(const QImage& image) override { return printImageOn(printer(), image); }

private:
    QPrinter& printer()
    {
        if (!m_printer)
            m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        return *m_printer;
    }
    std::unique_ptr<QPrinter> m_printer;
};

PrintService* g_service = nullptr;

} // namespace

void PrintService::printPage(const QImage& image, QWidget* parent)
{
    if (!printImage(image))
        dialogs().show(MsgType::Warning, QString::fromUtf8(kPrinterNotStarted), MsgButtons::Ok, parent);
}

bool printImageOn(QPrinter& printer, const QImage& image)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const double scale = printer.resolution() / kScreenDpi;
    painter.scale(scale, scale);
    painter.drawImage(0, 0, image);
    painter.end();
    return true;
}

PrintService& printing()
{
    static SystemPrinting real;
    return g_service ? *g_service : real;
}

void setPrinting(PrintService* service) { g_service = service; }

} // namespace vx

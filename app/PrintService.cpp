#include "app/PrintService.h"

#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <memory>

namespace vx {

namespace {

constexpr double kScreenDpi = 96.0;

// The one printer of a run: the dialog's choice stays for the next print, as the window's dialog
// component keeps it.
class SystemPrinting : public PrintService {
public:
    bool execDialog(QWidget* parent) override
    {
        QPrintDialog dialog(&printer(), parent);
        return dialog.exec() == QDialog::Accepted;
    }

    void printImage(const QImage& image) override
    {
        QPainter painter;
        if (!painter.begin(&printer()))
            return;
        const double scale = printer().resolution() / kScreenDpi;
        painter.scale(scale, scale);
        painter.drawImage(0, 0, image);
        painter.end();
    }

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

PrintService& printing()
{
    static SystemPrinting real;
    return g_service ? *g_service : real;
}

void setPrinting(PrintService* service) { g_service = service; }

} // namespace vx

#pragma once
// Printing goes through one service, so tests can take the page instead of a real printer: the
// printer selection dialog (PrintDialog1 of the main window) and one page holding a window's image.

class QImage;
class QPrinter;
class QWidget;

namespace vx {

class PrintService {
public:
    virtual ~PrintService() = default;
    // The system's printer selection with default options; false when the user cancels.
    virtual bool execDialog(QWidget* parent) = 0;
    // One document of one page on the printer chosen last: the image at its screen size (96 pixels per
    // inch scaled to the printer's resolution), its top left corner at the page origin. False when the
    // printer could not be started; a failure after that is dropped without a word.
    virtual bool printImage(const QImage& image) = 0;

    // printImage, and a warning when the printer could not be started: otherwise the print command
    // would seem to do nothing.
    void printPage(const QImage& image, QWidget* parent);
};

// The one page of printImage on this printer; false when the printer could not be started.
bool printImageOn(QPrinter& printer, const QImage& image);

// The service in use: the real printer unless a test has put its own in place.
PrintService& printing();
// Puts another service in place (nullptr restores the real one); the caller keeps ownership.
void setPrinting(PrintService* service);

} // namespace vx

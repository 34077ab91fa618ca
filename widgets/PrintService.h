#pragma once

#include <QString>
#include <functional>

class QPrinter;
class QWidget;

// Print dialog and print preview for the whole program. In scripted mode
// (tests) no window opens: the print dialog answers as queued, and a preview
// renders its pages into a PDF file that the test can read.
class PrintService {
public:
    using Painter = std::function<void(QPrinter*)>;

    // Shows the print dialog for printer; true when the clerk chose to print.
    static bool printDialog(QPrinter* printer, QWidget* parent);
    // Shows the print preview modally; paint is called whenever pages are needed.
    static void preview(QPrinter* printer, QWidget* parent, const Painter& paint, const QString& title = QString());

    // --- scripting, for tests ---
    static void setScripted(bool on, const QString& outputDir = QString());
    static bool isScripted();
    // The next print dialog answers accept (true) or cancel, and, when copies
    // is positive, sets that number of copies as the clerk would.
    static void queueDialogAnswer(bool accept, int copies = -1);
    static int previewCount();
    static QString lastPreviewPdf();   // file the last scripted preview wrote
    static int dialogCount();
};

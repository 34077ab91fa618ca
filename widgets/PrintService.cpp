#include "widgets/PrintService.h"

#include <QDir>
#include <QList>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {
bool g_scripted = false;
QString g_outputDir;
QList<QPair<bool, int>> g_answers;
int g_previews = 0;
int g_dialogs = 0;
QString g_lastPdf;
} // namespace

bool PrintService::printDialog(QPrinter* printer, QWidget* parent) {
    ++g_dialogs;
    if (g_scripted) {
        const auto answer = g_answers.isEmpty() ? qMakePair(true, -1) : g_answers.takeFirst();
        if (answer.first && answer.second > 0)
            printer->setCopyCount(answer.second);
        if (answer.first && printer->outputFileName().isEmpty()) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(QDir(g_outputDir).filePath(QStringLiteral("print-%1.pdf").arg(g_dialogs)));
        }
        return answer.first;
    }
    QPrintDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void PrintService::preview(QPrinter* printer, QWidget* parent, const Painter& paint, const QString& title) {
    ++g_previews;
    if (g_scripted) {
        g_lastPdf = QDir(g_outputDir).filePath(QStringLiteral("preview-%1.pdf").arg(g_previews));
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(g_lastPdf);
        paint(printer);
        printer->setOutputFileName(QString());
        return;
    }
    QPrintPreviewDialog dialog(printer, parent);
    dialog.setObjectName(QStringLiteral("prnPreview")); // its size is kept between runs
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter* p) { paint(p); });
    dialog.exec();
}

void PrintService::setScripted(bool on, const QString& outputDir) {
    g_scripted = on;
    g_outputDir = outputDir.isEmpty() ? QDir::tempPath() : outputDir;
    g_answers.clear();
    g_previews = 0;
    g_dialogs = 0;
    g_lastPdf.clear();
}
bool PrintService::isScripted() { return g_scripted; }
void PrintService::queueDialogAnswer(bool accept, int copies) { g_answers.append({accept, copies}); }
int PrintService::previewCount() { return g_previews; }
QString PrintService::lastPreviewPdf() { return g_lastPdf; }
int PrintService::dialogCount() { return g_dialogs; }

// The owner's turnover window and the register's view to a file.
#include "register/MainWindow.h"

#include "register/RegisterParts.h"
#include "register/RegisterView.h"
#include "register/TurnoverWindow.h"
#include "widgets/DateEdit.h"
#include "widgets/FileDialogService.h"
#include "widgets/GridExport.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"

#include <QAction>
#include <QComboBox>
#include <QDir>

void MainWindow::showTurnoverWindow() {
    if (m_rightsLevel != 4 || !isReady())
        return;
    if (!m_turnoverWindow)
        m_turnoverWindow = new TurnoverWindow(db(), this);
    // Opened again, it shows the bookings made meanwhile.
    if (!m_turnoverWindow->isVisible())
        m_turnoverWindow->refresh();
    m_turnoverWindow->show();
    m_turnoverWindow->raise();
    m_turnoverWindow->activateWindow();
}

void MainWindow::exportRegisterCsv() {
    if (!m_register)
        return;
    const QString path = FileDialogService::saveFile(this, QStringLiteral("Експорт в CSV"),
                                                     QDir::home().filePath(QStringLiteral("регистър.csv")),
                                                     QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    QString error;
    WaitCursor wait;
    if (!gridexport::writeCsv(*m_register->grid, path, &error))
        MessageService::error(this, error);
}

void MainWindow::exportRegisterPdf() {
    if (!m_register)
        return;
    const QString path = FileDialogService::saveFile(this, QStringLiteral("Експорт в PDF"),
                                                     QDir::home().filePath(QStringLiteral("регистър.pdf")),
                                                     QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    QString error;
    WaitCursor wait;
    const QString title =
        RegisterView::printTitle(m_viewCombo->currentIndex(), m_fromDateEdit->date(), m_toDateEdit->date());
    if (!gridexport::writePdf(*m_register->grid, title, path, &error))
        MessageService::error(this, error);
}

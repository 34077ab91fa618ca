// The commands the main window carries out itself: data reset, user manual,
// about window, column chooser, find window and register printing.
#include "register/MainWindow.h"

#include "db/DbError.h"
#include "register/AboutDialog.h"
#include "register/FindWindow.h"
#include "register/RegisterParts.h"
#include "register/RegisterView.h"
#include "widgets/DesktopService.h"
#include "widgets/GridPrinter.h"
#include "widgets/GridTableModel.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"

#include <QAction>
#include <QComboBox>
#include "widgets/DateEdit.h"

#include <QDateEdit>
#include <QDir>
#include <QPushButton>
#include <QToolBar>
#include <QUrl>

void MainWindow::resetData() {
    const QString question =
        QStringLiteral("ВНИМАНИЕ! Всички данни за приетите и\nпродадени уреди ще бъдат изтрити!\n\n"
                       "Желаете ли да продължите");
    if (!MessageService::question(this, question, QStringLiteral("Изтриване"), QMessageBox::No))
        return;
    try {
        // Every item of every shop goes, or none does. The ledgers stay.
        WaitCursor busy;
        Transaction t(db());
        db().exec(QStringLiteral("delete from resale"));
        t.commit();
    } catch (const DbError& e) {
        // The register keeps its rows until the next refresh.
        MessageService::error(this, e.message());
        return;
    }
    refreshRegister();
}

void MainWindow::openManual() {
    // Opens in whatever the desktop associates with it; a missing file or
    // program shows nothing.
    DesktopService::open(QUrl::fromLocalFile(QDir(programDir()).filePath(RegisterParts::manualFileName())));
}

void MainWindow::showAbout() {
    createRegisterDialogs();
    if (!m_register || !m_register->about)
        return;
    m_register->about->setDatabase(isReady() ? db().describe() : QString());
    m_register->about->exec();
}

void MainWindow::toggleColumnChooser() {
    if (!m_register)
        return;
    if (m_columnsAction->isChecked())
        m_register->grid->showColumnChooser();
    else
        m_register->grid->closeColumnChooser();
}

void MainWindow::uncheckColumnsToggle() {
    m_columnsAction->setChecked(false);
}

void MainWindow::toggleFindWindow() {
    createRegisterDialogs();
    if (!m_register || !m_register->find)
        return;
    FindWindow* find = m_register->find;
    if (!m_findAction->isChecked()) {
        if (find->isVisible()) // not when the window's own closing unchecks the toggle
            find->close();
        return;
    }
    const QRect frame = frameGeometry();
    find->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    find->move(frame.left() + frame.width() - find->frameGeometry().width() - 10,
               frame.top() + (geometry().top() - frame.top()) + m_toolBar->height());
    find->show();
    find->raise();
    find->activateWindow();
    m_viewCombo->setEnabled(false);
    m_filterBar->setEnabled(false);
    m_intakeAction->setEnabled(false);
}

void MainWindow::findWindowClosed() {
    m_findAction->setChecked(false);
    m_viewCombo->setEnabled(true);
    m_filterBar->setEnabled(true);
    m_intakeAction->setEnabled(true);
    m_refreshButton->setEnabled(true);
    updateFilterBar();
    m_viewCombo->setFocus();
}

void MainWindow::printRegister() {
    if (!m_register || m_register->table->rowCount() == 0)
        return;
    GroupingGrid* grid = m_register->grid;
    // The shop groups print without their sums.
    grid->setColumnSummaryGroup(QStringLiteral("gridShop"), QString());
    grid->expandAll();
    grid->fitColumns();
    GridPrinter printer(grid);
    printer.setTitle(
        RegisterView::printTitle(m_viewCombo->currentIndex(), m_fromDateEdit->date(), m_toDateEdit->date()));
    printer.preview(this);
    grid->setColumnSummaryGroup(QStringLiteral("gridShop"), RegisterParts::summaryGroupName());
    grid->expandAll();
}

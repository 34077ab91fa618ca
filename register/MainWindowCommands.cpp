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

#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QShortcut>
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
    // Opens in whatever the desktop associates with it; a missing program
    // shows nothing, a missing manual says where it was looked for.
    const QString manual = QDir(programDir()).filePath(RegisterParts::manualFileName());
    if (!QFileInfo(manual).isFile()) {
        MessageService::warning(
            this, programfiles::missingText(RegisterParts::manualFileName(), QCoreApplication::applicationDirPath()));
        return;
    }
    DesktopService::open(QUrl::fromLocalFile(manual));
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
    find->ensurePolished(); // its size, kept from the last run, is known from here on
    const QRect frame = frameGeometry();
    find->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    find->move(frame.left() + frame.width() - find->frameGeometry().width() - 10,
               frame.top() + (geometry().top() - frame.top()) + m_toolBar->height());
    // The find window is a tool window of this one: the window's Enter
    // would take the key from it.
    setEnterRefreshes(false);
    find->show();
    find->raise();
    find->activateWindow();
    m_viewCombo->setEnabled(false);
    m_filterBar->setEnabled(false);
    m_intakeAction->setEnabled(false);
}

void MainWindow::setEnterRefreshes(bool on) {
    for (QShortcut* sc : findChildren<QShortcut*>(QStringLiteral("enterRefreshes"), Qt::FindDirectChildrenOnly))
        sc->setEnabled(on);
}

void MainWindow::goToFind() {
    createRegisterDialogs();
    if (!m_register || !m_register->find)
        return;
    if (!m_register->find->isVisible()) {
        m_findAction->trigger(); // checks it and opens the window
        return;
    }
    m_register->find->focusSearchText();
}

void MainWindow::findWindowClosed() {
    setEnterRefreshes(true);
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
    // The page shows every column fitted; the screen keeps the widths the
    // clerk set.
    const GridArrangement onScreen = grid->arrangement();
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
    if (grid->hasOwnWidths())
        grid->arrange(onScreen);
}

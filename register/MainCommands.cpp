// The commands the main window carries out itself: data reset, user manual,
// about window, column chooser, find window and register printing.
#include "register/TfrmResale.h"

#include "db/DbError.h"
#include "register/AboutDialog.h"
#include "register/RegisterParts.h"
#include "register/RegisterView.h"
#include "register/TfrmFind.h"
#include "widgets/DesktopService.h"
#include "widgets/GridPrinter.h"
#include "widgets/GridTableModel.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QPushButton>
#include <QToolBar>
#include <QUrl>

void TfrmResale::TBItem3Click() {
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
    btnRefreshClick();
}

void TfrmResale::TBItem6Click() {
    // Opens in whatever the desktop associates with it; a missing file or
    // program shows nothing.
    DesktopService::open(QUrl::fromLocalFile(QDir(programDir()).filePath(RegisterParts::manualFileName())));
}

void TfrmResale::TBItem5Click() {
    createRegisterDialogs();
    if (!reg || !reg->about)
        return;
    reg->about->setDatabase(isReady() ? db().describe() : QString());
    reg->about->exec();
}

void TfrmResale::chkCustomizeClick() {
    if (!reg)
        return;
    if (chkCustomize->isChecked())
        reg->grid->showColumnChooser();
    else
        reg->grid->closeColumnChooser();
}

void TfrmResale::gridEndColumnsCustomizing() {
    chkCustomize->setChecked(false);
}

void TfrmResale::mnFindClick() {
    createRegisterDialogs();
    if (!reg || !reg->find)
        return;
    TfrmFind* find = reg->find;
    if (!mnFind->isChecked()) {
        find->close();
        return;
    }
    const QRect frame = frameGeometry();
    find->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    find->move(frame.left() + frame.width() - find->frameGeometry().width() - 10,
               frame.top() + (geometry().top() - frame.top()) + pButtons->height());
    find->show();
    find->raise();
    find->activateWindow();
    cmbFilter->setEnabled(false);
    pFilter->setEnabled(false);
    mnGet->setEnabled(false);
}

void TfrmResale::mnPrintGridClick() {
    if (!reg || reg->table->rowCount() == 0)
        return;
    GroupingGrid* grid = reg->grid;
    // The shop groups print without their sums.
    grid->setColumnSummaryGroup(QStringLiteral("gridShop"), QString());
    grid->expandAll();
    grid->fitColumns();
    GridPrinter printer(grid);
    printer.setTitle(RegisterView::printTitle(cmbFilter->currentIndex(), FromDate->date(), ToDate->date()));
    printer.preview(this);
    grid->setColumnSummaryGroup(QStringLiteral("gridShop"), RegisterParts::summaryGroupName());
    grid->expandAll();
}

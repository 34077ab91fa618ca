// The owner's windows in the "Система" menu, for the full rights level: the
// books check and the worklist. Their work is done in the libraries; here
// they are opened, and the worklist's choice is shown in the register.
#include "register/MainWindow.h"

#include "core/ProgramSettings.h"
#include "operations/ui/BooksCheckWindow.h"
#include "operations/ui/WorklistWindow.h"
#include "register/RegisterParts.h"
#include "register/RegisterView.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"

#include <QComboBox>

namespace {

template <typename W> void bringUp(W* w) {
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace

void MainWindow::showBooksCheck() {
    if (m_rightsLevel != 4 || !isReady())
        return;
    if (!m_booksCheck)
        m_booksCheck = new BooksCheckWindow(db(), m_conn.basePath(), db().location(), this);
    bringUp(m_booksCheck.data());
}

void MainWindow::showWorklist() {
    if (m_rightsLevel != 4 || !isReady())
        return;
    if (!m_worklist) {
        m_worklist = new WorklistWindow(db(), m_settings.get(), clerkKey(QStringLiteral("Worklist/Days")), this);
        connect(m_worklist, &WorklistWindow::itemChosen, this, &MainWindow::showItemInRegister);
    }
    bringUp(m_worklist.data());
}

bool MainWindow::showItemInRegister(qint64 id, bool sold) {
    if (!m_register)
        return false;
    if (!locateItem(id)) {
        const int view = sold ? RegisterView::SoldUnpaid : RegisterView::InStock;
        m_viewCombo->setCurrentIndex(view);
        refreshRegister();
        if (!locateItem(id)) {
            MessageService::warning(this, QStringLiteral("Уред №%1 вече не е сред \"%2\"; обновете списъка.")
                                              .arg(id)
                                              .arg(RegisterView::text(view)));
            return false;
        }
    }
    raise();
    activateWindow();
    m_register->grid->setFocus();
    return true;
}

#include "tools/setup/ui/ChainSetupWindow.h"

#include "tools/setup/ui/ClerksPage.h"
#include "tools/setup/ui/DatabasePage.h"
#include "tools/setup/ui/FirmPage.h"
#include "tools/setup/ui/ImportPage.h"
#include "tools/setup/ui/KindsPage.h"
#include "tools/setup/ui/ShopsPage.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>

ChainSetupWindow::ChainSetupWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("ChainSetupWindow"));
    setWindowTitle(QStringLiteral("Настройка на веригата"));

    auto* central = new QWidget(this);
    m_steps = new QListWidget(central);
    m_steps->setObjectName(QStringLiteral("steps"));
    m_steps->setAccessibleName(QStringLiteral("Стъпки"));
    m_steps->setFixedWidth(210);
    m_steps->setStyleSheet(QStringLiteral("QListWidget::item { padding: 5px 4px; }"));
    m_stack = new QStackedWidget(central);
    m_stack->setObjectName(QStringLiteral("pages"));

    auto* close = new QPushButton(QStringLiteral("Затваряне"), central);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* left = new QVBoxLayout;
    left->addWidget(m_steps, 1);
    left->addWidget(close);
    auto* layout = new QHBoxLayout(central);
    layout->addLayout(left);
    layout->addWidget(m_stack, 1);
    setCentralWidget(central);

    m_where = new QLabel(this);
    m_where->setObjectName(QStringLiteral("where"));
    statusBar()->addWidget(m_where, 1);

    m_databasePage = new DatabasePage(m_chain);
    m_databasePage->setLeaveCheck([this] { return mayLeaveAll(); });
    connect(m_databasePage, &DatabasePage::databaseChanged, this, &ChainSetupWindow::databaseChanged);
    addPage(m_databasePage);
    addPage(new ShopsPage);
    addPage(new ClerksPage);
    addPage(new FirmPage);
    addPage(new KindsPage);
    addPage(new ImportPage);

    connect(m_steps, &QListWidget::currentRowChanged, this, &ChainSetupWindow::stepChosen);
    m_steps->setCurrentRow(0);
    databaseChanged();
    resize(1200, 720);
}

void ChainSetupWindow::addPage(SetupPage* page, int at) {
    if (at < 0 || at > m_pages.size())
        at = int(m_pages.size());
    m_pages.insert(at, page);
    m_stack->insertWidget(at, page);
    auto* item = new QListWidgetItem;
    m_steps->insertItem(at, item);
    for (int i = 0; i < m_pages.size(); ++i)
        m_steps->item(i)->setText(QStringLiteral("%1. %2").arg(i + 1).arg(m_pages.at(i)->title()));
    connect(page, &SetupPage::dataChanged, this, &ChainSetupWindow::otherStepChanged);
    if (page->needsDatabase()) {
        page->setDatabase(m_chain.isOpen() ? &m_chain : nullptr);
        if (!m_chain.isOpen())
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
    }
}

int ChainSetupWindow::currentPage() const {
    return m_stack->currentIndex();
}

bool ChainSetupWindow::showPage(int i) {
    if (i < 0 || i >= m_pages.size())
        return false;
    if (m_steps->currentRow() != i)
        m_steps->setCurrentRow(i);
    return m_stack->currentIndex() == i;
}

void ChainSetupWindow::stepChosen(int row) {
    if (row < 0 || row >= m_pages.size())
        return;
    SetupPage* leaving = m_stack->currentWidget() ? static_cast<SetupPage*>(m_stack->currentWidget()) : nullptr;
    if (leaving && leaving != m_pages.at(row) && !leaving->mayLeave()) {
        const QSignalBlocker block(m_steps);
        m_steps->setCurrentRow(m_stack->currentIndex());
        return;
    }
    m_stack->setCurrentIndex(row);
    m_pages.at(row)->reload();
}

bool ChainSetupWindow::mayLeaveAll() {
    for (SetupPage* p : std::as_const(m_pages))
        if (p != m_databasePage && !p->mayLeave())
            return false;
    return true;
}

void ChainSetupWindow::databaseChanged() {
    const bool open = m_chain.isOpen();
    for (int i = 0; i < m_pages.size(); ++i) {
        SetupPage* p = m_pages.at(i);
        p->setDatabase(open || !p->needsDatabase() ? &m_chain : nullptr);
        QListWidgetItem* item = m_steps->item(i);
        if (p->needsDatabase())
            item->setFlags(open ? item->flags() | Qt::ItemIsEnabled : item->flags() & ~Qt::ItemIsEnabled);
    }
    m_where->setText(open ? m_chain.shownLocation() : QStringLiteral("Няма отворена база данни"));
}

void ChainSetupWindow::otherStepChanged() {
    auto* from = qobject_cast<SetupPage*>(sender());
    for (SetupPage* p : std::as_const(m_pages))
        if (p != from && p->needsDatabase() && m_chain.isOpen())
            p->reload();
}

void ChainSetupWindow::openFromSettings() {
    QString error;
    const bool opened = m_chain.openFromSettings(&error);
    m_databasePage->reload();
    if (!error.isEmpty())
        m_databasePage->showOpenProblem(error);
    databaseChanged();
    if (opened) {
        // The database is there: the shops are the next thing to look at.
        for (int i = 0; i < m_pages.size(); ++i)
            if (m_pages.at(i)->needsDatabase()) {
                showPage(i);
                break;
            }
    } else {
        showPage(int(m_pages.indexOf(m_databasePage)));
    }
}

void ChainSetupWindow::closeEvent(QCloseEvent* e) {
    if (auto* p = qobject_cast<SetupPage*>(m_stack->currentWidget()); p && !p->mayLeave()) {
        e->ignore();
        return;
    }
    if (!mayLeaveAll()) {
        e->ignore();
        return;
    }
    e->accept();
}

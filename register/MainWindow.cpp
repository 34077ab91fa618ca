#include "register/MainWindow.h"

#include "core/Formats.h"
#include "core/ProgramSettings.h"
#include "operations/Clock.h"
#include "register/TurnoverWindow.h"
#include "widgets/BulgarianDates.h"
#include "widgets/DateEdit.h"
#include "widgets/TodayCalendar.h"
#include "widgets/MessageService.h"
#include "widgets/AccessibleNames.h"
#include "widgets/WindowSizeMemory.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

MainWindow::MainWindow(const QString& programDir, QWidget* parent)
    : QMainWindow(parent), m_programDir(programDir), m_settings(std::make_unique<ProgramSettings>()) {
    setObjectName(QStringLiteral("TfrmResale"));
    // Every window the clerk can resize keeps its size between runs.
    m_sizeMemory = new WindowSizeMemory(m_settings.get(), this, this);
    qApp->installEventFilter(m_sizeMemory);

    // Dates and amounts keep the program's own forms whatever the desktop's
    // regional settings do meanwhile.
    m_formatTimer = new QTimer(this);
    m_formatTimer->setInterval(20000);
    connect(m_formatTimer, &QTimer::timeout, this, [] { formats::applyProcessFormats(); });
    m_formatTimer->start();

    setWindowTitle(titleText());
    resize(785, 550);
    setMinimumSize(750, 550);

    auto hidden = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->hide();
        return e;
    };
    m_clerkIdField = hidden("UserID");
    m_basePathField = hidden("PathBases");
    m_markerField = hidden("eConFile");
    m_searchStatementField = hidden("qStr");

    buildToolbars();
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("pCentral"));
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    m_filterBar = new QWidget(central);
    m_filterBar->setObjectName(QStringLiteral("pFilter"));
    buildFilterBar(m_filterBar);
    v->addWidget(m_filterBar);
    m_registerHost = new QWidget(central);
    m_registerHost->setObjectName(QStringLiteral("pMain"));
    v->addWidget(m_registerHost, 1);
    setCentralWidget(central);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("stBar"));
    m_statusBar->setSizeGripEnabled(true);
    m_statusText = new QLabel(m_statusBar);
    m_statusText->setObjectName(QStringLiteral("stBarText"));
    m_statusBar->addWidget(m_statusText, 1);
    setStatusBar(m_statusBar);

    placeWindow();

    openDatabase();
    if (isReady())
        buildRegisterArea(m_registerHost);
    accessible::nameFromBuddies(this);
}

MainWindow::~MainWindow() {
    // The windows that go with this one hide after the settings have gone.
    delete m_sizeMemory;
    closeConnection();
}

void MainWindow::openDatabase() {
    switch (m_conn.open(m_programDir)) {
    case Connection::Status::Ready:
        m_basePathField->setText(m_conn.basePath());
        m_markerField->setText(m_conn.markerPath());
        break;
    case Connection::Status::NoPath:
        MessageService::error(nullptr, QStringLiteral("Не е намерен път към базата данни!"));
        break;
    case Connection::Status::BadPathValue:
        MessageService::error(nullptr, m_conn.detail());
        break;
    case Connection::Status::OpenFailed:
        MessageService::problem(nullptr, QStringLiteral("Проблем при отварянето на базите данни"));
        break;
    }
}

void MainWindow::closeConnection() {
    m_conn.close();
}

void MainWindow::buildToolbars() {
    auto action = [this](const char* name, const QString& text) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("pButtons"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolBar->setFixedHeight(27);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    auto* system = new QMenu(this);
    system->setObjectName(QStringLiteral("mnSystem"));
    m_manualAction = new QAction(QStringLiteral("Упътване за работа"), this);
    m_manualAction->setObjectName(QStringLiteral("TBItem6"));
    m_aboutAction = new QAction(QStringLiteral("За програмата"), this);
    m_aboutAction->setObjectName(QStringLiteral("TBItem5"));
    m_resetAction = new QAction(QStringLiteral("Нулиране на данните"), this);
    m_resetAction->setObjectName(QStringLiteral("TBItem3"));
    m_quitAction = new QAction(QStringLiteral("Изход от програмата"), this);
    m_quitAction->setObjectName(QStringLiteral("TBItem4"));
    m_backupAction = new QAction(QStringLiteral("Архивиране"), this);
    m_backupAction->setObjectName(QStringLiteral("mnBackup"));
    m_turnoverAction = new QAction(QStringLiteral("Оборот и печалба"), this);
    m_turnoverAction->setObjectName(QStringLiteral("mnTurnover"));
    m_booksCheckAction = action("mnBooksCheck", QStringLiteral("Проверка на книгите"));
    m_worklistAction = action("mnWaiting", QStringLiteral("Чакащи"));
    system->addAction(m_manualAction);
    system->addAction(m_aboutAction);
    system->addSeparator();
    // The owner's commands, shown for rights level 4 only (setRightsLevel).
    const QList<QAction*> owners{m_booksCheckAction, m_worklistAction, m_turnoverAction, m_backupAction};
    system->addActions(owners);
    m_ownerSeparator = system->addSeparator();
    for (QAction* a : owners + QList<QAction*>{m_ownerSeparator})
        a->setVisible(false);
    system->addAction(m_resetAction);
    system->addSeparator();
    system->addAction(m_quitAction);
    m_systemAction = new QAction(QStringLiteral("Система"), this);
    m_systemAction->setObjectName(QStringLiteral("TBSubmenuItem1"));
    m_systemAction->setMenu(system);

    m_intakeAction = action("mnGet", QStringLiteral("Приемане на уред"));
    m_saleAction = action("mnSale", QStringLiteral("Продажба   F2"));

    auto* ops = new QMenu(this);
    ops->setObjectName(QStringLiteral("mnOpMenu"));
    m_priceChangeAction = action("mnPrices", QStringLiteral("Промяна на цени"));
    m_transferAction = action("mnMove", QStringLiteral("Прехвърляне към друг магазин"));
    m_annulAction = action("mnAnul", QStringLiteral("Анулиране на продажба"));
    m_payoutAction = action("mnPay", QStringLiteral("Изплащане"));
    m_returnAction = action("mnBack", QStringLiteral("Връщане на уред"));
    m_reprintAction = action("mnPrint", QStringLiteral("Повторен печат на договор за консигнация"));
    ops->addAction(m_priceChangeAction);
    ops->addAction(m_transferAction);
    ops->addAction(m_annulAction);
    ops->addSeparator();
    ops->addAction(m_payoutAction);
    ops->addAction(m_returnAction);
    ops->addSeparator();
    ops->addAction(m_reprintAction);
    m_operationsAction = action("mnOp", QStringLiteral("Операции"));
    m_operationsAction->setMenu(ops);

    m_findAction = action("mnFind", QStringLiteral("Търсене"));
    m_findAction->setCheckable(true);
    m_columnsAction = action("chkCustomize", QStringLiteral("Видими колони"));
    m_columnsAction->setCheckable(true);
    m_printAction = action("mnPrintGrid", QStringLiteral("Печат"));
    auto* exportMenu = new QMenu(this);
    exportMenu->setObjectName(QStringLiteral("mnExportMenu"));
    QAction* exportCsv = exportMenu->addAction(QStringLiteral("Експорт в CSV..."));
    exportCsv->setObjectName(QStringLiteral("mnExportCsv"));
    exportCsv->setToolTip(QStringLiteral("Регистърът, както е показан, във файл CSV за електронна таблица"));
    QAction* exportPdf = exportMenu->addAction(QStringLiteral("Експорт в PDF..."));
    exportPdf->setObjectName(QStringLiteral("mnExportPdf"));
    exportPdf->setToolTip(QStringLiteral("Регистърът, както се печата, във файл PDF"));
    exportMenu->setToolTipsVisible(true);
    m_exportAction = action("mnExport", QStringLiteral("Експорт"));
    m_exportAction->setMenu(exportMenu);
    connect(exportCsv, &QAction::triggered, this, &MainWindow::exportRegisterCsv);
    connect(exportPdf, &QAction::triggered, this, &MainWindow::exportRegisterPdf);

    // Every toolbar command is reached from the keyboard too: Alt and the
    // underlined letter of its button. The commands' texts stay as they are.
    for (const auto& [a, underlined] :
         {std::pair{m_systemAction, "&Система"}, std::pair{m_intakeAction, "&Приемане на уред"},
          std::pair{m_saleAction, "Про&дажба   F2"}, std::pair{m_operationsAction, "&Операции"},
          std::pair{m_findAction, "&Търсене"}, std::pair{m_columnsAction, "&Видими колони"},
          std::pair{m_printAction, "Пе&чат"}, std::pair{m_exportAction, "&Експорт"}})
        a->setIconText(QString::fromUtf8(underlined));

    const QList<QAction*> top{m_systemAction, m_intakeAction,  m_saleAction, m_operationsAction,
                              m_findAction,   m_columnsAction, m_printAction, m_exportAction};
    for (int i = 0; i < top.size(); ++i) {
        if (i > 0)
            m_toolBar->addSeparator();
        m_toolBar->addAction(top[i]);
        if (top[i]->menu()) {
            auto* b = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(top[i]));
            if (b)
                b->setPopupMode(QToolButton::InstantPopup);
        }
    }

    m_exitBar = new QToolBar(this);
    m_exitBar->setObjectName(QStringLiteral("pRight"));
    m_exitBar->setMovable(false);
    m_exitBar->setFloatable(false);
    m_exitBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_exitBar->setFixedHeight(27);
    m_exitAction = action("mnExit", QStringLiteral("Изход "));
    m_exitAction->setIconText(QStringLiteral("&Изход "));
    auto* spacer = new QWidget(m_exitBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_exitBar->addWidget(spacer);
    m_exitBar->addAction(m_exitAction);
    addToolBar(Qt::TopToolBarArea, m_exitBar);

    m_saleKeyAction = action("keyF2", QStringLiteral("Продажба"));
    m_saleKeyAction->setShortcut(Qt::Key_F2);
    m_saleKeyAction->setShortcutContext(Qt::WindowShortcut);
    addAction(m_saleKeyAction);
    // Ctrl+F is a route of its own too: it opens the find window, and when
    // the window is open it goes to its search text instead of closing it.
    m_findKeyAction = action("keyFind", QStringLiteral("Търсене"));
    m_findKeyAction->setShortcut(QKeySequence::Find);
    m_findKeyAction->setShortcutContext(Qt::WindowShortcut);
    addAction(m_findKeyAction);
    m_printAction->setShortcut(QKeySequence::Print);
    m_printAction->setShortcutContext(Qt::WindowShortcut);

    // Every command says what it does, and its keys where it has them: its
    // own key, then Alt and the underlined letter of its toolbar button.
    auto tip = [](QAction* a, const QString& text, const QKeySequence& key = {}) {
        QStringList keys;
        if (!key.isEmpty())
            keys << key.toString(QKeySequence::NativeText);
        if (const QKeySequence alt = QKeySequence::mnemonic(a->iconText()); !alt.isEmpty())
            keys << alt.toString(QKeySequence::NativeText);
        a->setToolTip(keys.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, keys.join(QStringLiteral(", "))));
    };
    const QKeySequence closeKey(Qt::ALT | Qt::Key_F4); // the desktop's own close of a window
    tip(m_systemAction, QStringLiteral("Упътване, сведения за програмата, нулиране на данните, изход"));
    tip(m_manualAction, QStringLiteral("Упътване за работа с програмата"));
    tip(m_aboutAction, QStringLiteral("Сведения за програмата и базата данни"));
    tip(m_resetAction, QStringLiteral("Изтриване на всички приети и продадени уреди"));
    tip(m_backupAction, QStringLiteral("Проверен архив на базата данни в папката за архиви"));
    tip(m_quitAction, QStringLiteral("Изход от програмата"), closeKey);
    tip(m_booksCheckAction, QStringLiteral("Проверка на книгите: уредите срещу касовата книга, приходите, разходите, "
                                           "оборота и печалбата"));
    tip(m_worklistAction, QStringLiteral("Чакащи: непродадени уреди и неизплатени доверители"));
    tip(m_intakeAction, QStringLiteral("Приемане на уред на консигнация"));
    tip(m_saleAction, QStringLiteral("Продажба на избрания уред"), m_saleKeyAction->shortcut());
    tip(m_operationsAction,
        QStringLiteral("Промяна на цени, прехвърляне, анулиране, изплащане, връщане, повторен печат"));
    tip(m_priceChangeAction, QStringLiteral("Промяна на цените на избрания уред"));
    tip(m_transferAction, QStringLiteral("Прехвърляне на избрания уред към друг магазин"));
    tip(m_annulAction, QStringLiteral("Анулиране на продажбата на избрания уред"));
    tip(m_payoutAction, QStringLiteral("Изплащане на сумата на доверителя"));
    tip(m_returnAction, QStringLiteral("Връщане на непродадения уред на доверителя"));
    tip(m_reprintAction, QStringLiteral("Повторен печат на договора за консигнация на избрания уред"));
    tip(m_findAction, QStringLiteral("Търсене на уред по текст"), m_findKeyAction->shortcut());
    tip(m_columnsAction, QStringLiteral("Видими колони: показване и скриване на колони, подредба по подразбиране"));
    tip(m_printAction, QStringLiteral("Печат на регистъра"), m_printAction->shortcut());
    tip(m_exportAction, QStringLiteral("Регистърът във файл: CSV или PDF"));
    tip(m_turnoverAction, QStringLiteral("Оборот и печалба по магазини за период, проверени с касовата книга"));
    tip(m_exitAction, QStringLiteral("Изход от програмата"), closeKey);
    system->setToolTipsVisible(true);
    ops->setToolTipsVisible(true);

    connect(m_manualAction, &QAction::triggered, this, &MainWindow::openManual);
    connect(m_aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    connect(m_turnoverAction, &QAction::triggered, this, &MainWindow::showTurnoverWindow);
    connect(m_resetAction, &QAction::triggered, this, &MainWindow::resetData);
    connect(m_backupAction, &QAction::triggered, this, &MainWindow::backUpDatabase);
    connect(m_quitAction, &QAction::triggered, this, &MainWindow::close);
    connect(m_booksCheckAction, &QAction::triggered, this, &MainWindow::showBooksCheck);
    connect(m_worklistAction, &QAction::triggered, this, &MainWindow::showWorklist);
    connect(m_exitAction, &QAction::triggered, this, &MainWindow::close);
    connect(m_intakeAction, &QAction::triggered, this, &MainWindow::takeInItem);
    connect(m_saleAction, &QAction::triggered, this, &MainWindow::sellCurrentItem);
    connect(m_saleKeyAction, &QAction::triggered, this, &MainWindow::sellCurrentItem);
    connect(m_findKeyAction, &QAction::triggered, this, &MainWindow::goToFind);
    connect(m_priceChangeAction, &QAction::triggered, this, &MainWindow::changeCurrentPrices);
    connect(m_transferAction, &QAction::triggered, this, &MainWindow::transferCurrentItem);
    connect(m_annulAction, &QAction::triggered, this, &MainWindow::annulCurrentSale);
    connect(m_payoutAction, &QAction::triggered, this, &MainWindow::payOutCurrentItem);
    connect(m_returnAction, &QAction::triggered, this, &MainWindow::returnCurrentItem);
    connect(m_reprintAction, &QAction::triggered, this, &MainWindow::reprintContract);
    // The toggles follow their checked state, however it changes: a click,
    // a key, or an accessibility tool's "toggle" on the button.
    connect(m_findAction, &QAction::toggled, this, &MainWindow::toggleFindWindow);
    connect(m_columnsAction, &QAction::toggled, this, &MainWindow::toggleColumnChooser);
    connect(m_printAction, &QAction::triggered, this, &MainWindow::printRegister);
}

void MainWindow::buildFilterBar(QWidget* host) {
    auto* g = new QGridLayout(host);
    g->setContentsMargins(6, 2, 6, 4);
    g->setHorizontalSpacing(8);
    g->setVerticalSpacing(1);

    m_viewCombo = new QComboBox(host);
    m_viewCombo->setObjectName(QStringLiteral("cmbFilter"));
    m_viewCombo->addItems(
        {QStringLiteral("Само наличните уреди в магазина"), QStringLiteral("Всички приети уреди за период"),
         QStringLiteral("Само продадените уреди за период"), QStringLiteral("Само продадените,  но неизплатени уреди"),
         QStringLiteral("Само изплатените уреди за период"), QStringLiteral("Само неизплатените уреди")});
    m_viewCombo->setMinimumWidth(280);
    auto dateEdit = [host](const char* name) {
        auto* d = new DateEdit(host);
        d->setObjectName(QString::fromLatin1(name));
        d->setDisplayFormat(QString::fromLatin1(formats::kDateFormat));
        d->setCalendarPopup(true);
        d->setMinimumDate(QDate(1900, 1, 1));
        return d;
    };
    m_fromDateEdit = dateEdit("FromDate");
    m_toDateEdit = dateEdit("ToDate");
    m_toDateEdit->setCalendarWidget(new TodayCalendar([] { return Clock::today(); }));
    showBulgarianDateNames(m_fromDateEdit);
    showBulgarianDateNames(m_toDateEdit);
    m_refreshButton = new QPushButton(QStringLiteral("Обновяване"), host);
    m_refreshButton->setObjectName(QStringLiteral("btnRefresh"));
    m_refreshButton->setDefault(true);

    auto label = [host](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, host);
        l->setBuddy(buddy);
        return l;
    };
    g->addWidget(label(QStringLiteral("Филтри:"), m_viewCombo), 0, 0);
    g->addWidget(label(QStringLiteral("За периода от:"), m_fromDateEdit), 0, 1);
    g->addWidget(label(QStringLiteral("до дата:"), m_toDateEdit), 0, 2);
    g->addWidget(m_viewCombo, 1, 0);
    g->addWidget(m_fromDateEdit, 1, 1);
    g->addWidget(m_toDateEdit, 1, 2);
    g->addWidget(m_refreshButton, 1, 3);
    g->setColumnStretch(4, 1);

    // Enter anywhere in the window presses "Обновяване".
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* sc = new QShortcut(QKeySequence(key), this);
        sc->setObjectName(QStringLiteral("enterRefreshes"));
        sc->setContext(Qt::WindowShortcut);
        connect(sc, &QShortcut::activated, this, [this] {
            // Enter also finishes a date being typed; the key itself never
            // reaches the date editor.
            m_fromDateEdit->finishTyping();
            m_toDateEdit->finishTyping();
            if (m_refreshButton->isEnabled() && m_refreshButton->isVisibleTo(this) && m_filterBar->isEnabled())
                m_refreshButton->click();
        });
    }
    connect(m_refreshButton, &QPushButton::clicked, this, &MainWindow::refreshRegister);
    connect(m_viewCombo, &QComboBox::currentIndexChanged, this, &MainWindow::updateFilterBar);
    // The period rules act on a chosen date, never on a half-typed one; any
    // change makes the register stale at once.
    for (DateEdit* d : {m_fromDateEdit, m_toDateEdit})
        connect(d, &QDateEdit::dateChanged, m_refreshButton, [this] { m_refreshButton->setEnabled(true); });
    connect(m_fromDateEdit, &DateEdit::dateChosen, this, &MainWindow::clampFromDate);
    connect(m_toDateEdit, &DateEdit::dateChosen, this, &MainWindow::clampToDate);
}

void MainWindow::setLoggedIn(int clerkId, const QString& clerkName, int filterShopId, int rightsLevel) {
    m_clerkIdField->setText(QString::number(clerkId));
    m_filterShopId = filterShopId;
    setRightsLevel(rightsLevel);
    m_statusText->setText(QStringLiteral("Потребител: ") + clerkName);
}

void MainWindow::setRightsLevel(int level) {
    m_rightsLevel = level;
    for (QAction* a : {m_booksCheckAction, m_worklistAction, m_turnoverAction, m_backupAction, m_ownerSeparator})
        a->setVisible(level == 4);
    if (level != 4 && m_turnoverWindow)
        m_turnoverWindow->close();
}

int MainWindow::userId() const {
    return m_clerkIdField->text().toInt();
}

QString MainWindow::shopFilterText() const {
    QString t = m_filterShopId != 0 ? QStringLiteral("ID=%1").arg(m_filterShopId) : QString();
    if (m_shopFilterCompleted)
        t = t.isEmpty() ? QStringLiteral("active=true and away=false")
                        : t + QStringLiteral(" and active=true and away=false");
    return t;
}

void MainWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!m_shown && isReady()) {
        m_shown = true;
        m_shopFilterCompleted = true;
        showStartView();
        emit firstShown();
        QTimer::singleShot(0, this, &MainWindow::backUpIfDue);
    }
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (!MessageService::question(this, QStringLiteral("Желаете ли да излезете от програмата?"),
                                  QStringLiteral("Изход"))) {
        e->ignore();
        return;
    }
    rememberWindow();
    closeConnection();
    e->accept();
}

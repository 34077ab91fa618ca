#include "register/TfrmResale.h"

#include "core/Formats.h"
#include "widgets/MessageService.h"

#include <QAction>
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

TfrmResale::TfrmResale(const QString& programDir, QWidget* parent) : QMainWindow(parent), m_programDir(programDir) {
    setObjectName(QStringLiteral("TfrmResale"));

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
    UserID = hidden("UserID");
    PathBases = hidden("PathBases");
    eConFile = hidden("eConFile");
    qStr = hidden("qStr");

    buildToolbars();
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("pCentral"));
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    pFilter = new QWidget(central);
    pFilter->setObjectName(QStringLiteral("pFilter"));
    buildFilterBar(pFilter);
    v->addWidget(pFilter);
    pMain = new QWidget(central);
    pMain->setObjectName(QStringLiteral("pMain"));
    v->addWidget(pMain, 1);
    setCentralWidget(central);

    stBar = new QStatusBar(this);
    stBar->setObjectName(QStringLiteral("stBar"));
    stBar->setSizeGripEnabled(true);
    stBarText = new QLabel(stBar);
    stBarText->setObjectName(QStringLiteral("stBarText"));
    stBar->addWidget(stBarText, 1);
    setStatusBar(stBar);

    if (QScreen* s = QGuiApplication::primaryScreen()) {
        if (s->geometry().width() == 800)
            setWindowState(windowState() | Qt::WindowMaximized);
        else
            move(s->availableGeometry().center() - rect().center());
    }

    openDatabase();
    if (isReady())
        buildRegisterArea(pMain);
}

TfrmResale::~TfrmResale() { closeConnection(); }

void TfrmResale::openDatabase() {
    switch (m_conn.open(m_programDir)) {
    case Connection::Status::Ready:
        PathBases->setText(m_conn.basePath());
        eConFile->setText(m_conn.markerPath());
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

void TfrmResale::closeConnection() { m_conn.close(); }

void TfrmResale::buildToolbars() {
    auto action = [this](const char* name, const QString& text) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    pButtons = new QToolBar(this);
    pButtons->setObjectName(QStringLiteral("pButtons"));
    pButtons->setMovable(false);
    pButtons->setFloatable(false);
    pButtons->setToolButtonStyle(Qt::ToolButtonTextOnly);
    pButtons->setFixedHeight(27);
    addToolBar(Qt::TopToolBarArea, pButtons);

    auto* system = new QMenu(this);
    system->setObjectName(QStringLiteral("mnSystem"));
    TBItem6 = action("TBItem6", QStringLiteral("Упътване за работа"));
    TBItem5 = action("TBItem5", QStringLiteral("За програмата"));
    TBItem3 = action("TBItem3", QStringLiteral("Нулиране на данните"));
    TBItem4 = action("TBItem4", QStringLiteral("Изход от програмата"));
    system->addAction(TBItem6);
    system->addAction(TBItem5);
    system->addSeparator();
    system->addAction(TBItem3);
    system->addSeparator();
    system->addAction(TBItem4);
    TBSubmenuItem1 = action("TBSubmenuItem1", QStringLiteral("Система"));
    TBSubmenuItem1->setMenu(system);

    mnGet = action("mnGet", QStringLiteral("Приемане на уред"));
    mnSale = action("mnSale", QStringLiteral("Продажба   F2"));

    auto* ops = new QMenu(this);
    ops->setObjectName(QStringLiteral("mnOpMenu"));
    mnPrices = action("mnPrices", QStringLiteral("Промяна на цени"));
    mnMove = action("mnMove", QStringLiteral("Прехвърляне към друг магазин"));
    mnAnul = action("mnAnul", QStringLiteral("Анулиране на продажба"));
    mnPay = action("mnPay", QStringLiteral("Изплащане"));
    mnBack = action("mnBack", QStringLiteral("Връщане на уред"));
    mnPrint = action("mnPrint", QStringLiteral("Повторен печат на договор за консигнация"));
    ops->addAction(mnPrices);
    ops->addAction(mnMove);
    ops->addAction(mnAnul);
    ops->addSeparator();
    ops->addAction(mnPay);
    ops->addAction(mnBack);
    ops->addSeparator();
    ops->addAction(mnPrint);
    mnOp = action("mnOp", QStringLiteral("Операции"));
    mnOp->setMenu(ops);

    mnFind = action("mnFind", QStringLiteral("Търсене"));
    mnFind->setCheckable(true);
    chkCustomize = action("chkCustomize", QStringLiteral("Видими колони"));
    chkCustomize->setCheckable(true);
    mnPrintGrid = action("mnPrintGrid", QStringLiteral("Печат"));

    const QList<QAction*> top{TBSubmenuItem1, mnGet, mnSale, mnOp, mnFind, chkCustomize, mnPrintGrid};
    for (int i = 0; i < top.size(); ++i) {
        if (i > 0)
            pButtons->addSeparator();
        pButtons->addAction(top[i]);
        if (top[i]->menu()) {
            auto* b = qobject_cast<QToolButton*>(pButtons->widgetForAction(top[i]));
            if (b)
                b->setPopupMode(QToolButton::InstantPopup);
        }
    }

    pRight = new QToolBar(this);
    pRight->setObjectName(QStringLiteral("pRight"));
    pRight->setMovable(false);
    pRight->setFloatable(false);
    pRight->setToolButtonStyle(Qt::ToolButtonTextOnly);
    pRight->setFixedHeight(27);
    mnExit = action("mnExit", QStringLiteral("Изход "));
    auto* spacer = new QWidget(pRight);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    pRight->addWidget(spacer);
    pRight->addAction(mnExit);
    addToolBar(Qt::TopToolBarArea, pRight);

    keyF2 = action("keyF2", QStringLiteral("Продажба"));
    keyF2->setShortcut(Qt::Key_F2);
    keyF2->setShortcutContext(Qt::WindowShortcut);
    addAction(keyF2);

    connect(TBItem6, &QAction::triggered, this, &TfrmResale::TBItem6Click);
    connect(TBItem5, &QAction::triggered, this, &TfrmResale::TBItem5Click);
    connect(TBItem3, &QAction::triggered, this, &TfrmResale::TBItem3Click);
    connect(TBItem4, &QAction::triggered, this, &TfrmResale::TBItem4Click);
    connect(mnExit, &QAction::triggered, this, &TfrmResale::mnExitClick);
    connect(mnGet, &QAction::triggered, this, &TfrmResale::mnGetClick);
    connect(mnSale, &QAction::triggered, this, &TfrmResale::mnSaleClick);
    connect(keyF2, &QAction::triggered, this, &TfrmResale::mnSaleClick);
    connect(mnPrices, &QAction::triggered, this, &TfrmResale::mnPricesClick);
    connect(mnMove, &QAction::triggered, this, &TfrmResale::mnMoveClick);
    connect(mnAnul, &QAction::triggered, this, &TfrmResale::mnAnulClick);
    connect(mnPay, &QAction::triggered, this, &TfrmResale::mnPayClick);
    connect(mnBack, &QAction::triggered, this, &TfrmResale::mnBackClick);
    connect(mnPrint, &QAction::triggered, this, &TfrmResale::mnPrintClick);
    connect(mnFind, &QAction::triggered, this, &TfrmResale::mnFindClick);
    connect(chkCustomize, &QAction::triggered, this, &TfrmResale::chkCustomizeClick);
    connect(mnPrintGrid, &QAction::triggered, this, &TfrmResale::mnPrintGridClick);
}

void TfrmResale::buildFilterBar(QWidget* host) {
    auto* g = new QGridLayout(host);
    g->setContentsMargins(6, 2, 6, 4);
    g->setHorizontalSpacing(8);
    g->setVerticalSpacing(1);

    cmbFilter = new QComboBox(host);
    cmbFilter->setObjectName(QStringLiteral("cmbFilter"));
    cmbFilter->addItems({QStringLiteral("Само наличните уреди в магазина"),
                         QStringLiteral("Всички приети уреди за период"),
                         QStringLiteral("Само продадените уреди за период"),
                         QStringLiteral("Само продадените,  но неизплатени уреди"),
                         QStringLiteral("Само изплатените уреди за период"),
                         QStringLiteral("Само неизплатените уреди")});
    cmbFilter->setMinimumWidth(280);
    auto dateEdit = [host](const char* name) {
        auto* d = new QDateEdit(host);
        d->setObjectName(QString::fromLatin1(name));
        d->setDisplayFormat(QString::fromLatin1(formats::kDateFormat));
        d->setCalendarPopup(true);
        d->setMinimumDate(QDate(1900, 1, 1));
        return d;
    };
    FromDate = dateEdit("FromDate");
    ToDate = dateEdit("ToDate");
    btnRefresh = new QPushButton(QStringLiteral("Обновяване"), host);
    btnRefresh->setObjectName(QStringLiteral("btnRefresh"));
    btnRefresh->setDefault(true);

    auto label = [host](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, host);
        l->setBuddy(buddy);
        return l;
    };
    g->addWidget(label(QStringLiteral("Филтри:"), cmbFilter), 0, 0);
    g->addWidget(label(QStringLiteral("За периода от:"), FromDate), 0, 1);
    g->addWidget(label(QStringLiteral("до дата:"), ToDate), 0, 2);
    g->addWidget(cmbFilter, 1, 0);
    g->addWidget(FromDate, 1, 1);
    g->addWidget(ToDate, 1, 2);
    g->addWidget(btnRefresh, 1, 3);
    g->setColumnStretch(4, 1);

    // Enter anywhere in the window presses "Обновяване".
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* sc = new QShortcut(QKeySequence(key), this);
        sc->setContext(Qt::WindowShortcut);
        connect(sc, &QShortcut::activated, this, [this] {
            if (btnRefresh->isEnabled() && btnRefresh->isVisibleTo(this) && pFilter->isEnabled())
                btnRefresh->click();
        });
    }
    connect(btnRefresh, &QPushButton::clicked, this, &TfrmResale::btnRefreshClick);
    connect(cmbFilter, &QComboBox::currentIndexChanged, this, &TfrmResale::cmbFilterChange);
    connect(FromDate, &QDateEdit::dateChanged, this, &TfrmResale::FromDateChange);
    connect(ToDate, &QDateEdit::dateChanged, this, &TfrmResale::ToDateChange);
}

void TfrmResale::setLoggedIn(int clerkId, const QString& clerkName, int filterShopId) {
    UserID->setText(QString::number(clerkId));
    m_filterShopId = filterShopId;
    stBarText->setText(QStringLiteral("Потребител: ") + clerkName);
}

int TfrmResale::userId() const { return UserID->text().toInt(); }

QString TfrmResale::shopFilterText() const {
    QString t = m_filterShopId != 0 ? QStringLiteral("ID=%1").arg(m_filterShopId) : QString();
    if (m_shopFilterCompleted)
        t = t.isEmpty() ? QStringLiteral("active=true and away=false") : t + QStringLiteral(" and active=true and away=false");
    return t;
}

void TfrmResale::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!m_shown && isReady()) {
        m_shown = true;
        m_shopFilterCompleted = true;
        FormShow();
        emit firstShown();
    }
}

void TfrmResale::closeEvent(QCloseEvent* e) {
    if (!MessageService::question(this, QStringLiteral("Желаете ли да излезете от програмата?"),
                                  QStringLiteral("Изход"))) {
        e->ignore();
        return;
    }
    closeConnection();
    e->accept();
}

void TfrmResale::TBItem4Click() { close(); }
void TfrmResale::mnExitClick() { close(); }

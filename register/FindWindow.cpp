#include "register/FindWindow.h"

#include "register/CaseFolding.h"
#include "register/FindStatement.h"
#include "register/MainWindow.h"
#include "register/RegisterParts.h"
#include "widgets/AccessibleNames.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

FindWindow::FindWindow(MainWindow* main)
    : QWidget(main, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_main(main) {
    setObjectName(QStringLiteral("TfrmFind"));
    setWindowTitle(QStringLiteral("Търсене"));
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    m_fieldCombo = new QComboBox(this);
    m_fieldCombo->setObjectName(QStringLiteral("cmbField"));
    m_fieldCombo->addItems(FindStatement::fieldTexts());
    m_fieldCombo->setAccessibleName(QStringLiteral("Поле за търсене"));
    m_wayCombo = new QComboBox(this);
    m_wayCombo->setObjectName(QStringLiteral("cmbWay"));
    m_wayCombo->addItems(FindStatement::wayTexts());
    m_wayCombo->setAccessibleName(QStringLiteral("Начин на търсене"));
    m_textEdit = new QLineEdit(this);
    m_textEdit->setObjectName(QStringLiteral("eString"));
    m_textEdit->setAccessibleName(QStringLiteral("Текст за търсене"));
    QFont big = m_textEdit->font();
    big.setPointSize(10);
    m_textEdit->setFont(big);
    m_findButton = new QPushButton(QStringLiteral("Търсене"), this);
    m_findButton->setObjectName(QStringLiteral("btnFind"));
    m_findButton->setDefault(true);

    auto* g = new QGridLayout(this);
    g->setContentsMargins(5, 5, 5, 5);
    g->setSpacing(5);
    g->addWidget(m_fieldCombo, 0, 0);
    g->addWidget(m_wayCombo, 0, 1);
    g->addWidget(m_textEdit, 1, 0);
    g->addWidget(m_findButton, 1, 1);
    g->setColumnStretch(0, 3);
    g->setColumnStretch(1, 2);
    resize(300, 65);

    // Escape closes the window, as its close box does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    // Enter anywhere in the window searches once: the text field passes the
    // key on to keyPressEvent(), so it has no search of its own.
    connect(m_findButton, &QPushButton::clicked, this, &FindWindow::search);
    accessible::nameFromBuddies(this);
}

void FindWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        resetChoices();
}

void FindWindow::resetChoices() {
    m_fieldCombo->setCurrentIndex(0);
    m_wayCombo->setCurrentIndex(FindStatement::BeginsWith);
    m_textEdit->clear();
    m_fieldCombo->setFocus();
}

void FindWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_findButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FindWindow::search() {
    const QString text = m_textEdit->text();
    if (text.isEmpty()) {
        m_textEdit->setFocus();
        return;
    }
    FindStatement::Dialect dialect;
    dialect.engine = m_main->db().engine();
    if (dialect.engine == Engine::SQLite) {
        dialect.foldFunction = CaseFolding::install(m_main->db().sql());
    } else {
        try {
            dialect.icu = m_main->db()
                              .scalar(QStringLiteral("select count(*) from pg_collation where collname = ?"),
                                      {QStringLiteral("und-x-icu")})
                              .toInt() > 0;
        } catch (const std::exception&) {
            dialect.icu = false;
        }
    }
    const RegisterStatement s =
        FindStatement::build(m_fieldCombo->currentIndex(), m_wayCombo->currentIndex(), text, dialect);
    m_main->search(s);
}

void FindWindow::focusSearchText() {
    raise();
    activateWindow();
    m_textEdit->selectAll();
    m_textEdit->setFocus();
}

void FindWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    m_main->findWindowClosed();
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        setWindowFlag(Qt::WindowStaysOnTopHint, false); // the window is hidden now; this does not show it
}

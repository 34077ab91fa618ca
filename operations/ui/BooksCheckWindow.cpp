#include "operations/ui/BooksCheckWindow.h"

#include "core/Formats.h"
#include "db/Database.h"
#include "operations/Clock.h"
#include "widgets/BulgarianDates.h"
#include "widgets/DateEdit.h"
#include "widgets/FileDialogService.h"
#include "widgets/GridPrinter.h"
#include "widgets/GridTableModel.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <optional>

// What the check's thread and the window share: the stop request and the
// progress going one way, the outcome the other (read once the thread ended).
struct BooksCheckWindow::Run {
    std::atomic<bool> stop{false};
    std::atomic<qint64> done{0}, total{0};
    std::optional<booksreport::Report> report;
    QString error;
    bool cancelled = false;
};

namespace {

const char* const kSummaryGroup = "booksShop";

QList<GridColumn> breachColumns() {
    using K = GridColumn::Kind;
    QList<GridColumn> c;
    c.append({"gridShop", "Магазин", 0, K::Text, false, true, false, QString::fromLatin1(kSummaryGroup)});
    c.append({"gridBook", "Книга", 1, K::Text, true, true});
    c.append({"gridItem", "Уред №", 2, K::Integer, true, false});
    c.append({"gridDate", "Дата", 3, K::Date, true, false});
    // The amount before the text, so that a long text never hides it.
    c.append({"gridAmount", "С колко, лв.", 5, K::Money, true, false, true});
    c.append({"gridText", "Разминаване", 4, K::Text, true, false});
    return c;
}

} // namespace

BooksCheckWindow::BooksCheckWindow(Database& db, const QString& location, const QString& shown, QWidget* parent)
    : QDialog(parent), m_db(db), m_location(location), m_shown(shown) {
    setObjectName(QStringLiteral("frmBooksCheck"));
    setWindowTitle(QStringLiteral("Проверка на книгите"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    auto* layout = new QVBoxLayout(this);

    auto* choices = new QGridLayout;
    m_shopCombo = new QComboBox(this);
    m_shopCombo->setObjectName(QStringLiteral("cmbShop"));
    m_periodCheck = new QCheckBox(QStringLiteral("Само за периода"), this);
    m_periodCheck->setObjectName(QStringLiteral("chkPeriod"));
    auto dateEdit = [this](const char* name) {
        auto* d = new DateEdit(this);
        d->setObjectName(QString::fromLatin1(name));
        d->setDisplayFormat(QString::fromLatin1(formats::kDateFormat));
        d->setCalendarPopup(true);
        d->setMinimumDate(QDate(1900, 1, 1));
        showBulgarianDateNames(d);
        d->setEnabled(false);
        return d;
    };
    m_fromEdit = dateEdit("FromDate");
    m_toEdit = dateEdit("ToDate");
    const QDate today = Clock::today();
    m_fromEdit->setDate(QDate(today.year(), today.month(), 1));
    m_toEdit->setDate(today);
    m_checkButton = new QPushButton(QStringLiteral("Проверка"), this);
    m_checkButton->setObjectName(QStringLiteral("btnCheck"));
    m_checkButton->setDefault(true);
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    choices->addWidget(label(QStringLiteral("&Магазин:"), m_shopCombo), 0, 0);
    choices->addWidget(m_periodCheck, 1, 1);
    choices->addWidget(label(QStringLiteral("от:"), m_fromEdit), 0, 2);
    choices->addWidget(label(QStringLiteral("до:"), m_toEdit), 0, 3);
    choices->addWidget(m_shopCombo, 1, 0);
    choices->addWidget(m_fromEdit, 1, 2);
    choices->addWidget(m_toEdit, 1, 3);
    choices->addWidget(m_checkButton, 1, 4);
    choices->setColumnStretch(5, 1);
    layout->addLayout(choices);

    auto* running = new QHBoxLayout;
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("pbProgress"));
    m_progress->setAccessibleName(QStringLiteral("Напредък на проверката"));
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_progress->setFormat(QStringLiteral("%p%"));
    m_cancelButton = new QPushButton(QStringLiteral("Прекъсване"), this);
    m_cancelButton->setObjectName(QStringLiteral("btnCancel"));
    running->addWidget(m_progress, 1);
    running->addWidget(m_cancelButton);
    layout->addLayout(running);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblSummary"));
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_summary->setText(QStringLiteral("Изберете магазин и период и натиснете \"Проверка\"."));
    layout->addWidget(m_summary);

    m_table = new GridTableModel(this);
    m_grid = new GroupingGrid(this);
    m_grid->setObjectName(QStringLiteral("gridBreaches"));
    m_grid->setColumns(breachColumns());
    m_grid->model()->setSummaryText([](const GroupingModel::GroupSummary& s) {
        if (s.summaryGroup != QLatin1String(kSummaryGroup))
            return QString();
        return booksreport::totalsLine(s.rowCount, s.sums.value(4)); // gridAmount
    });
    m_grid->setSourceModel(m_table);
    m_grid->groupBy(0);
    m_grid->keepAsDefaultArrangement();
    layout->addWidget(m_grid, 1);

    auto* buttons = new QHBoxLayout;
    m_printButton = new QPushButton(QStringLiteral("Печат"), this);
    m_printButton->setObjectName(QStringLiteral("btnPrint"));
    m_pdfButton = new QPushButton(QStringLiteral("Запис в PDF"), this);
    m_pdfButton->setObjectName(QStringLiteral("btnPdf"));
    auto* close = new QPushButton(QStringLiteral("Затваряне"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    close->setAutoDefault(false);
    buttons->addWidget(m_printButton);
    buttons->addWidget(m_pdfButton);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(100);
    connect(m_progressTimer, &QTimer::timeout, this, &BooksCheckWindow::showProgress);
    connect(m_periodCheck, &QCheckBox::toggled, m_fromEdit, &QWidget::setEnabled);
    connect(m_periodCheck, &QCheckBox::toggled, m_toEdit, &QWidget::setEnabled);
    connect(m_checkButton, &QPushButton::clicked, this, &BooksCheckWindow::startCheck);
    connect(m_cancelButton, &QPushButton::clicked, this, &BooksCheckWindow::cancelCheck);
    connect(m_printButton, &QPushButton::clicked, this, &BooksCheckWindow::printReport);
    connect(m_pdfButton, &QPushButton::clicked, this, &BooksCheckWindow::saveAsPdf);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    resize(980, 620);
    updateButtons();
}

BooksCheckWindow::~BooksCheckWindow() {
    if (m_thread) {
        m_run->stop = true;
        m_thread->wait();
    }
}

void BooksCheckWindow::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!isRunning())
        loadShops();
}

void BooksCheckWindow::loadShops() {
    const int chosen = m_shopCombo->currentData().toInt();
    m_shopCombo->clear();
    m_shopCombo->addItem(QStringLiteral("Всички магазини"), 0);
    try {
        QSqlQuery q = m_db.exec(QStringLiteral("SELECT ID, Name FROM Shops ORDER BY ID"));
        while (q.next())
            m_shopCombo->addItem(q.value(1).toString(), q.value(0).toInt());
    } catch (const DbError& e) {
        MessageService::error(this, e.message());
    }
    m_shopCombo->setCurrentIndex(std::max(0, m_shopCombo->findData(chosen)));
}

bool BooksCheckWindow::isRunning() const { return m_thread != nullptr; }

void BooksCheckWindow::startCheck() {
    if (isRunning())
        return;
    m_fromEdit->finishTyping();
    m_toEdit->finishTyping();
    invariants::Options options;
    options.shop = m_shopCombo->currentData().toInt();
    if (m_periodCheck->isChecked()) {
        options.from = m_fromEdit->date();
        options.to = m_toEdit->date();
        if (options.from > options.to) {
            MessageService::error(this, QStringLiteral("Началото на периода е след края му!"));
            m_fromEdit->setFocus();
            return;
        }
    }
    auto run = std::make_shared<Run>();
    options.progress = [run](qint64 done, qint64 total) {
        run->done = done;
        run->total = total;
        return !run->stop.load();
    };
    m_run = run;
    const QString location = m_location, shown = m_shown;
    m_thread = QThread::create([run, options, location, shown] {
        Database db;
        QString error;
        if (!db.open(location, &error)) {
            run->error = error;
            return;
        }
        try {
            run->report = booksreport::run(db, shown, options);
        } catch (const invariants::Cancelled&) {
            run->cancelled = true;
        } catch (const DbError& e) {
            run->error = e.message();
        }
        db.close();
    });
    m_thread->setObjectName(QStringLiteral("booksCheck"));
    m_thread->setParent(this);
    connect(m_thread, &QThread::finished, this, &BooksCheckWindow::finishCheck);
    m_progress->setValue(0);
    m_summary->setText(QStringLiteral("Проверка на книгите..."));
    m_thread->start(QThread::LowPriority);
    m_progressTimer->start();
    updateButtons();
    m_cancelButton->setFocus();
}

void BooksCheckWindow::cancelCheck() {
    if (m_run && isRunning()) {
        m_run->stop = true;
        m_cancelButton->setEnabled(false);
        m_summary->setText(QStringLiteral("Проверката се прекъсва..."));
    }
}

void BooksCheckWindow::showProgress() {
    if (!m_run)
        return;
    const qint64 total = m_run->total, done = m_run->done;
    m_progress->setValue(total > 0 ? int(done * 1000 / total) : 0);
}

void BooksCheckWindow::finishCheck() {
    if (!m_thread)
        return; // already taken in when the window closed
    m_progressTimer->stop();
    m_thread->deleteLater();
    m_thread = nullptr;
    const std::shared_ptr<Run> run = std::move(m_run);
    if (run->report) {
        m_report = *run->report;
        m_haveReport = true;
        m_progress->setValue(m_progress->maximum());
        showReport();
    } else {
        m_progress->setValue(0);
        if (run->cancelled) {
            m_summary->setText(QStringLiteral("Проверката е прекъсната; нищо не е проверено докрай."));
        } else {
            m_summary->setText(QStringLiteral("Проверката не можа да завърши."));
            MessageService::error(this, run->error);
        }
    }
    updateButtons();
    m_checkButton->setFocus();
    emit checkEnded();
}

void BooksCheckWindow::showReport() {
    const booksreport::Report& r = m_report;
    const QList<GridColumn> cols = breachColumns();
    QVector<QVariant> values;
    values.reserve(r.breaches.size() * cols.size());
    for (const invariants::Breach& b : r.breaches) {
        values << b.shopName << b.book << (b.item != 0 ? QVariant(b.item) : QVariant())
               << (b.date.isValid() ? QVariant(b.date) : QVariant()) << b.text << QVariant(money::toLeva(b.amount));
    }
    m_table->reset({QStringLiteral("Shop"), QStringLiteral("Book"), QStringLiteral("Item"), QStringLiteral("Date"),
                    QStringLiteral("Text"), QStringLiteral("Amount")},
                   std::move(values));
    m_grid->expandAll();
    m_grid->fitColumns();
    m_grid->focusFirstRow();
    const QString when = QStringLiteral("%1 %2").arg(formats::date(r.checkedAt.date()),
                                                     r.checkedAt.time().toString(QStringLiteral("HH:mm")));
    if (r.agree())
        m_summary->setText(QStringLiteral("Проверени: %1 (%2). Книгите са в ред: уредите, касовата книга, приходите, "
                                          "разходите, оборотът и печалбата съвпадат.")
                               .arg(r.scope(), when));
    else
        m_summary->setText(QStringLiteral("Проверени: %1 (%2). Общо: %3.").arg(r.scope(), when, r.totalsText()));
}

void BooksCheckWindow::updateButtons() {
    const bool running = isRunning();
    m_checkButton->setEnabled(!running);
    m_shopCombo->setEnabled(!running);
    m_periodCheck->setEnabled(!running);
    m_fromEdit->setEnabled(!running && m_periodCheck->isChecked());
    m_toEdit->setEnabled(!running && m_periodCheck->isChecked());
    m_cancelButton->setEnabled(running);
    m_printButton->setEnabled(!running && m_haveReport);
    m_pdfButton->setEnabled(!running && m_haveReport);
}

QString BooksCheckWindow::printTitle() const {
    QString title = QStringLiteral("Проверка на книгите: %1").arg(m_report.scope());
    title += m_report.agree() ? QStringLiteral(" - книгите са в ред")
                              : QStringLiteral(" - %1").arg(m_report.totalsText());
    return title;
}

void BooksCheckWindow::printReport() {
    if (!m_haveReport)
        return;
    m_grid->expandAll();
    GridPrinter printer(m_grid);
    printer.setTitle(printTitle());
    printer.setPrintedAt(m_report.checkedAt);
    printer.preview(this);
}

void BooksCheckWindow::saveAsPdf() {
    if (!m_haveReport)
        return;
    const QString name = QStringLiteral("proverka-%1.pdf").arg(m_report.checkedAt.toString(QStringLiteral("yyyy-MM-dd-HHmm")));
    const QString file =
        FileDialogService::saveFile(this, QStringLiteral("Запис на проверката в PDF"), QDir::home().filePath(name),
                                    QStringLiteral("PDF (*.pdf)"));
    if (file.isEmpty())
        return;
    m_grid->expandAll();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    GridPrinter report(m_grid);
    report.setTitle(printTitle());
    report.setPrintedAt(m_report.checkedAt);
    GridPrinter::setupPage(&printer);
    report.fitOrientation(&printer);
    printer.setDocName(printTitle());
    if (!report.print(&printer))
        return;
    if (!QFileInfo(file).exists())
        MessageService::error(this, QStringLiteral("Файлът %1 не можа да се запише.").arg(file));
}

void BooksCheckWindow::closeEvent(QCloseEvent* e) {
    // A running check is stopped; the window waits for it to let go of its
    // connection.
    if (m_thread) {
        m_run->stop = true;
        m_thread->wait();
        finishCheck();
    }
    QDialog::closeEvent(e);
}

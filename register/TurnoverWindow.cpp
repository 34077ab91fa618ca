#include "register/TurnoverWindow.h"

#include "core/Formats.h"
#include "db/DbError.h"
#include "operations/Clock.h"
#include "widgets/BulgarianDates.h"
#include "widgets/DateEdit.h"
#include "widgets/FileDialogService.h"
#include "widgets/GridExport.h"
#include "widgets/GridPrinter.h"
#include "widgets/GridTableModel.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"
#include "widgets/WaitCursor.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <cmath>

namespace {

enum Field { ShopField, PeriodField, TurnoverField, ProfitField };

QString stepText(turnover::Step step) {
    return step == turnover::Step::Day ? QStringLiteral("по дни") : QStringLiteral("по месеци");
}

// A round step for the value axis, about five lines over the range.
double niceStep(double range) {
    if (range <= 0)
        return 1;
    const double raw = range / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (raw <= f * magnitude)
            return f * magnitude;
    return 10 * magnitude;
}

} // namespace

TurnoverWindow::TurnoverWindow(Database& db, QWidget* parent) : QWidget(parent, Qt::Window), m_db(db) {
    setObjectName(QStringLiteral("frmTurnover"));
    setWindowTitle(QStringLiteral("Оборот и печалба"));
    resize(980, 680);

    auto* bar = new QHBoxLayout;
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    auto dateEdit = [this](const char* name) {
        auto* d = new DateEdit(this);
        d->setObjectName(QString::fromLatin1(name));
        d->setDisplayFormat(QString::fromLatin1(formats::kDateFormat));
        d->setCalendarPopup(true);
        d->setMinimumDate(QDate(1900, 1, 1));
        showBulgarianDateNames(d);
        return d;
    };
    const QDate today = Clock::today();
    m_fromEdit = dateEdit("eFromDate");
    m_fromEdit->setDate(QDate(today.year(), today.month(), 1));
    m_toEdit = dateEdit("eToDate");
    m_toEdit->setDate(today);
    m_stepCombo = new QComboBox(this);
    m_stepCombo->setObjectName(QStringLiteral("cmbStep"));
    m_stepCombo->addItems({QStringLiteral("По дни"), QStringLiteral("По месеци")});
    m_refreshButton = new QPushButton(QStringLiteral("Обновяване"), this);
    m_refreshButton->setObjectName(QStringLiteral("btnRefresh"));
    m_refreshButton->setDefault(true);
    auto* printButton = new QPushButton(QStringLiteral("Печат"), this);
    printButton->setObjectName(QStringLiteral("btnPrint"));
    auto* csvButton = new QPushButton(QStringLiteral("Експорт в CSV"), this);
    csvButton->setObjectName(QStringLiteral("btnExportCsv"));
    auto* pdfButton = new QPushButton(QStringLiteral("Експорт в PDF"), this);
    pdfButton->setObjectName(QStringLiteral("btnExportPdf"));
    bar->addWidget(label(QStringLiteral("За периода от:"), m_fromEdit));
    bar->addWidget(m_fromEdit);
    bar->addWidget(label(QStringLiteral("до дата:"), m_toEdit));
    bar->addWidget(m_toEdit);
    bar->addWidget(label(QStringLiteral("Разбивка:"), m_stepCombo));
    bar->addWidget(m_stepCombo);
    bar->addWidget(m_refreshButton);
    bar->addStretch(1);
    bar->addWidget(printButton);
    bar->addWidget(csvButton);
    bar->addWidget(pdfButton);

    m_grid = new GroupingGrid(this);
    m_grid->setObjectName(QStringLiteral("gridTurnover"));
    m_table = new GridTableModel(this);
    m_grid->setSourceModel(m_table);
    m_grid->model()->setSummaryText([](const GroupingModel::GroupSummary& s) {
        return QStringLiteral("оборот %1 лв., печалба %2 лв.")
            .arg(formats::moneyGrouped(money::toLeva(s.sums.value(2))),
                 formats::moneyGrouped(money::toLeva(s.sums.value(3))));
    });

    auto* chartPage = new QWidget(this);
    auto* chartLayout = new QVBoxLayout(chartPage);
    m_chartValueCombo = new QComboBox(chartPage);
    m_chartValueCombo->setObjectName(QStringLiteral("cmbChartValue"));
    m_chartValueCombo->addItems({QStringLiteral("Оборот"), QStringLiteral("Печалба")});
    auto* chartBar = new QHBoxLayout;
    chartBar->addWidget(label(QStringLiteral("Графика на:"), m_chartValueCombo));
    chartBar->addWidget(m_chartValueCombo);
    chartBar->addStretch(1);
    chartLayout->addLayout(chartBar);
    m_chartView = new QChartView(chartPage);
    m_chartView->setObjectName(QStringLiteral("chartTurnover"));
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setAccessibleName(QStringLiteral("Графика"));
    chartLayout->addWidget(m_chartView, 1);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabsTurnover"));
    m_tabs->addTab(m_grid, QStringLiteral("Таблица"));
    m_tabs->addTab(chartPage, QStringLiteral("Графика"));

    auto* checkBox = new QWidget(this);
    auto* checkLayout = new QVBoxLayout(checkBox);
    checkLayout->setContentsMargins(0, 0, 0, 0);
    m_checkLabel = new QLabel(checkBox);
    m_checkLabel->setObjectName(QStringLiteral("lblCheck"));
    m_checkLabel->setWordWrap(true);
    m_differences = new QListWidget(checkBox);
    m_differences->setObjectName(QStringLiteral("lstDifferences"));
    m_differences->setWordWrap(true);
    m_checkLabel->setBuddy(m_differences);
    checkLayout->addWidget(m_checkLabel);
    checkLayout->addWidget(m_differences, 1);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_tabs);
    split->addWidget(checkBox);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(split, 1);

    // Enter anywhere in the window presses "Обновяване" (and finishes a date
    // being typed), as in the main window.
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* sc = new QShortcut(QKeySequence(key), this);
        sc->setContext(Qt::WindowShortcut);
        connect(sc, &QShortcut::activated, this, [this] {
            m_fromEdit->finishTyping();
            m_toEdit->finishTyping();
            m_refreshButton->click();
        });
    }
    connect(m_refreshButton, &QPushButton::clicked, this, &TurnoverWindow::refresh);
    connect(printButton, &QPushButton::clicked, this, &TurnoverWindow::print);
    connect(csvButton, &QPushButton::clicked, this, &TurnoverWindow::exportCsv);
    connect(pdfButton, &QPushButton::clicked, this, &TurnoverWindow::exportPdf);
    connect(m_chartValueCombo, &QComboBox::currentIndexChanged, this, &TurnoverWindow::showChart);
}

QString TurnoverWindow::title() const {
    return QStringLiteral("Оборот и печалба от %1 до %2 (%3)")
        .arg(formats::date(m_report.from), formats::date(m_report.to), stepText(m_report.step));
}

bool TurnoverWindow::refresh() {
    QDate from = m_fromEdit->date(), to = m_toEdit->date();
    if (from > to) {
        MessageService::warning(this, QStringLiteral("Началната дата на периода е след крайната."));
        m_fromEdit->setFocus();
        return false;
    }
    const auto step = m_stepCombo->currentIndex() == 1 ? turnover::Step::Month : turnover::Step::Day;
    try {
        WaitCursor wait;
        m_report = turnover::build(m_db, from, to, step);
    } catch (const DbError& e) {
        MessageService::error(this, e.message());
        return false;
    }
    showReport();
    return true;
}

void TurnoverWindow::showReport() {
    using K = GridColumn::Kind;
    const bool days = m_report.step == turnover::Step::Day;
    m_grid->setColumns({
        {QStringLiteral("gridShop"), QStringLiteral("Магазин"), ShopField, K::Text, false, true, false,
         QStringLiteral("sums")},
        {QStringLiteral("gridPeriod"), days ? QStringLiteral("Дата") : QStringLiteral("Месец"), PeriodField,
         days ? K::Date : K::Text, true, false},
        {QStringLiteral("gridTurnover"), QStringLiteral("Оборот"), TurnoverField, K::Money, true, false, true},
        {QStringLiteral("gridProfit"), QStringLiteral("Печалба"), ProfitField, K::Money, true, false, true},
    });
    QVector<QVariant> values;
    values.reserve(m_report.rows.size() * 4);
    for (const turnover::Row& r : m_report.rows)
        values << r.shopName << (days ? QVariant(r.period) : QVariant(turnover::periodText(r.period, m_report.step)))
               << money::toLeva(r.turnover) << money::toLeva(r.profit);
    m_table->reset({QStringLiteral("Shop"), QStringLiteral("Period"), QStringLiteral("Turnover"),
                    QStringLiteral("Profit")},
                   values);
    m_grid->groupBy(ShopField);
    m_grid->expandAll();
    m_grid->fitColumns();

    m_differences->clear();
    m_differences->setVisible(!m_report.differences.isEmpty());
    if (m_report.differences.isEmpty()) {
        m_checkLabel->setText(QStringLiteral("Оборотът и печалбата съвпадат с продажбите, изплащанията и "
                                             "анулиранията в касовата книга и дневниците за периода."));
        m_checkLabel->setStyleSheet(QStringLiteral("color: #1b5e20;"));
    } else {
        m_checkLabel->setText(QStringLiteral("Разлики с касовата книга и дневниците: %1 (ден, магазин, с колко)")
                                  .arg(m_report.differences.size()));
        m_checkLabel->setStyleSheet(QStringLiteral("color: #b71c1c; font-weight: bold;"));
        for (const turnover::Difference& d : m_report.differences)
            m_differences->addItem(turnover::differenceText(d));
    }
    showChart();
}

QChart* TurnoverWindow::makeChart(const turnover::Report& report, bool profit) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("%1 %2").arg(profit ? QStringLiteral("Печалба") : QStringLiteral("Оборот"),
                                                 stepText(report.step)));
    chart->setAnimationOptions(QChart::NoAnimation);
    QStringList categories;
    const bool days = report.step == turnover::Step::Day;
    for (const QDate& p : report.periods)
        categories << (days ? p.toString(QStringLiteral("dd.MM")) : turnover::periodText(p, report.step));
    const qsizetype n = report.periods.size();

    auto* bars = new QBarSeries(chart);
    bars->setBarWidth(0.8);
    double lo = 0, hi = 0;
    for (int shop : report.shops) {
        auto* set = new QBarSet(report.shopName(shop));
        QList<qreal> values(n, 0.0);
        for (const turnover::Row& r : report.rows) {
            if (r.shop != shop)
                continue;
            const qsizetype at = report.periods.indexOf(r.period);
            if (at >= 0)
                values[at] = money::toLeva(profit ? r.profit : r.turnover);
        }
        for (qreal v : values) {
            lo = std::min(lo, double(v));
            hi = std::max(hi, double(v));
        }
        set->append(values);
        bars->append(set);
    }
    auto* chain = new QLineSeries(chart);
    chain->setName(QStringLiteral("Веригата"));
    QPen pen(QColor(0x20, 0x20, 0x20));
    pen.setWidthF(2.5);
    chain->setPen(pen);
    chain->setPointsVisible(n <= 40);
    for (qsizetype i = 0; i < n; ++i) {
        const double v = money::toLeva(profit ? report.chainProfit(report.periods[i]) : report.chainTurnover(report.periods[i]));
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        chain->append(double(i), v);
    }
    chart->addSeries(bars);
    chart->addSeries(chain);

    auto* x = new QBarCategoryAxis(chart);
    x->append(categories);
    x->setTruncateLabels(false);
    if (n > 12)
        x->setLabelsAngle(-90);
    auto* y = new QValueAxis(chart);
    const double step = niceStep(hi - lo);
    y->setRange(std::floor(lo / step) * step, std::max(step, std::ceil(hi / step) * step));
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(0);
    y->setTickInterval(step);
    y->setLabelFormat(step < 1 ? QStringLiteral("%.2f") : QStringLiteral("%.0f"));
    y->setTitleText(QStringLiteral("лв."));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(bars), static_cast<QAbstractSeries*>(chain)}) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

void TurnoverWindow::showChart() {
    QChart* old = m_chartView->chart();
    m_chartView->setChart(makeChart(m_report, m_chartValueCombo->currentIndex() == 1));
    delete old;
}

// The report's last page: the days that differ from the bookings (when
// there are any), then both charts, turnover above profit.
void TurnoverWindow::paintCharts(QPainter* painter, const QRectF& area) const {
    QRectF charts = area;
    if (!m_report.differences.isEmpty()) {
        QFont font(QStringLiteral("Tahoma"));
        font.setStyleHint(QFont::SansSerif);
        font.setPointSizeF(7.5);
        QFont bold = font;
        bold.setBold(true);
        const QFontMetricsF fm(font, painter->device()), fb(bold, painter->device());
        // At most two fifths of the page; what does not fit is counted.
        const double room = area.height() * 0.4;
        double y = area.top();
        painter->setPen(Qt::black);
        painter->setFont(bold);
        const QString heading = QStringLiteral("Разлики с касовата книга и дневниците: %1").arg(m_report.differences.size());
        painter->drawText(QRectF(area.left(), y, area.width(), fb.height()), Qt::AlignLeft | Qt::AlignVCenter, heading);
        y += fb.height() * 1.4;
        painter->setFont(font);
        int drawn = 0;
        for (const turnover::Difference& d : m_report.differences) {
            const QString text = turnover::differenceText(d);
            const QRectF box = fm.boundingRect(QRectF(0, 0, area.width(), 1e6), Qt::TextWordWrap, text);
            if (y + box.height() + fm.height() > area.top() + room)
                break;
            painter->drawText(QRectF(area.left(), y, area.width(), box.height()), Qt::TextWordWrap, text);
            y += box.height() + fm.height() * 0.3;
            ++drawn;
        }
        if (drawn < m_report.differences.size()) {
            painter->drawText(QRectF(area.left(), y, area.width(), fm.height()), Qt::AlignLeft,
                              QStringLiteral("... и още %1 (в прозореца \"Оборот и печалба\")")
                                  .arg(m_report.differences.size() - drawn));
            y += fm.height();
        }
        y += fm.height();
        charts.setTop(y);
    }
    const double gap = charts.height() * 0.03;
    const double height = (charts.height() - gap) / 2;
    // Laid out at a screen's size, then scaled onto the paper.
    const QSizeF logical(760, 760 * height / charts.width());
    for (int i = 0; i < 2; ++i) {
        QGraphicsScene scene;
        QChart* chart = makeChart(m_report, i == 1);
        scene.addItem(chart);
        chart->setBackgroundRoundness(0);
        chart->setGeometry(QRectF(QPointF(0, 0), logical));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QRectF target(charts.left(), charts.top() + i * (height + gap), charts.width(), height);
        scene.render(painter, target, QRectF(QPointF(0, 0), logical), Qt::KeepAspectRatio);
    }
}

void TurnoverWindow::print() {
    if (m_report.rows.isEmpty()) {
        MessageService::warning(this, QStringLiteral("За периода няма оборот и печалба."));
        return;
    }
    GridPrinter printer(m_grid);
    printer.setTitle(title());
    printer.setAppendix([this](QPainter* p, const QRectF& area) { paintCharts(p, area); });
    printer.preview(this);
}

void TurnoverWindow::exportCsv() {
    const QString path = FileDialogService::saveFile(this, QStringLiteral("Експорт в CSV"),
                                                     QDir::home().filePath(QStringLiteral("oborot.csv")),
                                                     QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!gridexport::writeCsv(*m_grid, path, &error))
        MessageService::error(this, error);
}

void TurnoverWindow::exportPdf() {
    const QString path = FileDialogService::saveFile(this, QStringLiteral("Експорт в PDF"),
                                                     QDir::home().filePath(QStringLiteral("oborot.pdf")),
                                                     QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!gridexport::writePdf(*m_grid, title(), path, &error,
                              [this](QPainter* p, const QRectF& area) { paintCharts(p, area); }))
        MessageService::error(this, error);
}

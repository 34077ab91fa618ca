#include "documents/ui/ConsignmentContractWindow.h"

#include "documents/ui/ContractPrinting.h"
#include "widgets/PrintService.h"
#include "widgets/AccessibleNames.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr int kMinCopies = 1;
constexpr int kMaxCopies = 4;
constexpr int kSideMargin = 10;
// The contract prints on A4 inside these margins; the window shows its lines
// as wide as they print, so they break where the printed ones do.
constexpr double kPaperWidthMm = 210;
constexpr QMarginsF kPrintMarginsMm(20, 20, 10, 20);
constexpr double kPrintedLineMm = kPaperWidthMm - kPrintMarginsMm.left() - kPrintMarginsMm.right();
} // namespace

ConsignmentContractWindow::ConsignmentContractWindow(QWidget* parent)
    : QDialog(parent), m_copiesSpin(new QSpinBox(this)), m_printButton(new QPushButton(u"Печат"_s, this)),
      m_closeButton(new QPushButton(u"Изход"_s, this)), m_contractView(new QTextEdit(this)),
      m_statusBar(new QStatusBar(this)) {
    setObjectName(u"frmDogKons"_s);
    setWindowTitle(u"Преглед и печат на договор за консигнация"_s);

    auto* label = new QLabel(u"Брой копия"_s, this);
    label->setBuddy(m_copiesSpin);
    m_copiesSpin->setObjectName(u"spCopies"_s);
    m_copiesSpin->setRange(kMinCopies, kMaxCopies);
    m_copiesSpin->setValue(2);
    m_printButton->setObjectName(u"CorelButton1"_s);
    m_closeButton->setObjectName(u"CorelButton2"_s);
    m_printButton->setAutoDefault(false);
    m_closeButton->setAutoDefault(false);

    m_contractView->setObjectName(u"RichView1"_s);
    m_contractView->setReadOnly(true);
    m_contractView->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_contractView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int lineWidth = qRound(kPrintedLineMm / 25.4 * m_contractView->logicalDpiX()) + 2 * kSideMargin;
    m_contractView->setLineWrapMode(QTextEdit::FixedPixelWidth);
    m_contractView->setLineWrapColumnOrWidth(lineWidth);
    QPalette palette = m_contractView->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Dark, Qt::black); // the rules, as they print
    m_contractView->setPalette(palette);
    m_contractView->setAccessibleName(u"Договор за консигнация"_s);

    m_statusBar->setObjectName(u"StatusBar1"_s);
    m_statusBar->setSizeGripEnabled(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(label);
    bar->addWidget(m_copiesSpin);
    bar->addWidget(m_printButton);
    bar->addStretch();
    bar->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_contractView, 1);
    layout->addWidget(m_statusBar);

    connect(m_printButton, &QPushButton::clicked, this, &ConsignmentContractWindow::print);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);

    // A fixed dialog border: the view is as wide as a contract line.
    setFixedSize(lineWidth + 2 * kSideMargin + 60, 640);
    accessible::nameFromBuddies(this);
}

void ConsignmentContractWindow::setDataSource(DataSource source) {
    m_source = std::move(source);
}

void ConsignmentContractWindow::setData(const ConsignmentContractData& data) {
    m_source = [data]() { return data; };
}

void ConsignmentContractWindow::showEvent(QShowEvent* event) {
    rebuild();
    QDialog::showEvent(event);
}

void ConsignmentContractWindow::rebuild() {
    const ConsignmentContractData data = m_source ? m_source() : ConsignmentContractData{};
    QTextDocument* doc = m_contractView->document();
    ConsignmentContract::write(doc, data);
    doc->setDocumentMargin(kSideMargin);
    // Laid out with the font's own widths, not the screen's rounded ones, so
    // that its lines break where the printed ones do.
    doc->setUseDesignMetrics(true);
    m_contractView->moveCursor(QTextCursor::Start);
    m_statusBar->showMessage(u"Договор №%1"_s.arg(data.dogNo));
}

void ConsignmentContractWindow::setupPrinter(QPrinter* printer, int copies) {
    QPageLayout layout = printer->pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    layout.setMinimumMargins(QMarginsF());
    layout.setMargins(kPrintMarginsMm);
    printer->setPageLayout(layout);
    printer->setDocName(u"Contract"_s);
    printer->setCollateCopies(false);
    printer->setCopyCount(copies);
}

void ConsignmentContractWindow::print() {
    QPrinter printer(QPrinter::HighResolution);
    setupPrinter(&printer, m_copiesSpin->value());
    if (!PrintService::printDialog(&printer, this))
        return;
    const int copies = qBound(kMinCopies, printer.copyCount(), kMaxCopies);
    m_copiesSpin->setValue(copies);
    // The dialog may have changed the paper; the contract keeps its margins.
    setupPrinter(&printer, copies);
    ContractPrinting::printCopies(*m_contractView->document(), &printer, copies);
}

#include "documents/ui/TfrmDogKons.h"

#include "documents/ui/ContractPrinting.h"
#include "widgets/PrintService.h"

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
constexpr int kLineWidth = 620;
constexpr int kSideMargin = 10;
} // namespace

TfrmDogKons::TfrmDogKons(QWidget* parent)
    : QDialog(parent), m_spCopies(new QSpinBox(this)), m_btnPrint(new QPushButton(u"Печат"_s, this)),
      m_btnClose(new QPushButton(u"Изход"_s, this)), m_richView(new QTextEdit(this)),
      m_statusBar(new QStatusBar(this)) {
    setObjectName(u"frmDogKons"_s);
    setWindowTitle(u"Преглед и печат на договор за консигнация"_s);

    auto* label = new QLabel(u"Брой копия"_s, this);
    label->setBuddy(m_spCopies);
    m_spCopies->setObjectName(u"spCopies"_s);
    m_spCopies->setRange(kMinCopies, kMaxCopies);
    m_spCopies->setValue(2);
    m_btnPrint->setObjectName(u"CorelButton1"_s);
    m_btnClose->setObjectName(u"CorelButton2"_s);
    m_btnPrint->setAutoDefault(false);
    m_btnClose->setAutoDefault(false);

    m_richView->setObjectName(u"RichView1"_s);
    m_richView->setReadOnly(true);
    m_richView->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_richView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_richView->setLineWrapMode(QTextEdit::FixedPixelWidth);
    m_richView->setLineWrapColumnOrWidth(kLineWidth);
    QPalette palette = m_richView->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    m_richView->setPalette(palette);
    m_richView->setAccessibleName(u"Договор за консигнация"_s);

    m_statusBar->setObjectName(u"StatusBar1"_s);
    m_statusBar->setSizeGripEnabled(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(label);
    bar->addWidget(m_spCopies);
    bar->addWidget(m_btnPrint);
    bar->addStretch();
    bar->addWidget(m_btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_richView, 1);
    layout->addWidget(m_statusBar);

    connect(m_btnPrint, &QPushButton::clicked, this, &TfrmDogKons::CorelButton1Click);
    connect(m_btnClose, &QPushButton::clicked, this, &TfrmDogKons::CorelButton2Click);

    // A fixed dialog border: the view is as wide as a contract line.
    setFixedSize(kLineWidth + 2 * kSideMargin + 60, 640);
}

void TfrmDogKons::setDataSource(DataSource source) {
    m_source = std::move(source);
}

void TfrmDogKons::setData(const ConsignmentContractData& data) {
    m_source = [data]() { return data; };
}

void TfrmDogKons::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfrmDogKons::FormShow() {
    const ConsignmentContractData data = m_source ? m_source() : ConsignmentContractData{};
    QTextDocument* doc = m_richView->document();
    ConsignmentContract::write(doc, data);
    doc->setDocumentMargin(kSideMargin);
    m_richView->moveCursor(QTextCursor::Start);
    m_statusBar->showMessage(u"Договор №%1"_s.arg(data.dogNo));
}

void TfrmDogKons::setupPrinter(QPrinter* printer, int copies) {
    QPageLayout layout = printer->pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    layout.setMinimumMargins(QMarginsF());
    layout.setMargins(QMarginsF(20, 20, 10, 20));
    printer->setPageLayout(layout);
    printer->setDocName(u"Contract"_s);
    printer->setCollateCopies(false);
    printer->setCopyCount(copies);
}

void TfrmDogKons::CorelButton1Click() {
    QPrinter printer(QPrinter::HighResolution);
    setupPrinter(&printer, m_spCopies->value());
    if (!PrintService::printDialog(&printer, this))
        return;
    const int copies = qBound(kMinCopies, printer.copyCount(), kMaxCopies);
    m_spCopies->setValue(copies);
    // The dialog may have changed the paper; the contract keeps its margins.
    setupPrinter(&printer, copies);
    ContractPrinting::printCopies(*m_richView->document(), &printer, copies);
}

void TfrmDogKons::CorelButton2Click() {
    reject();
}

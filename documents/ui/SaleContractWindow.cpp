#include "documents/ui/SaleContractWindow.h"

#include "documents/RtfReader.h"
#include "documents/ui/ContractPrinting.h"
#include "documents/ui/JustifiedTextEdit.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"
#include "widgets/AccessibleNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr qreal kBandMm = 10;
} // namespace

SaleContractWindow::SaleContractWindow(QWidget* parent)
    : QDialog(parent), m_contractEdit(new JustifiedTextEdit(this)), m_loadButton(new QPushButton(u"Зареждане"_s, this)),
      m_replaceButton(new QPushButton(u"Replace"_s, this)), m_printButton(new QPushButton(u"Печат"_s, this)),
      m_templateDir(QCoreApplication::applicationDirPath()) {
    setObjectName(u"frmRTF"_s);
    setWindowTitle(u"Печат"_s);
    m_contractEdit->setObjectName(u"RichEdit"_s);
    m_contractEdit->setPlainText(u"RichEdit"_s);
    m_loadButton->setObjectName(u"btnLoadRTF"_s);
    m_replaceButton->setObjectName(u"btnReplace"_s);
    m_replaceButton->setVisible(false);
    m_printButton->setObjectName(u"btnPrint"_s);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_loadButton);
    buttons->addWidget(m_replaceButton);
    buttons->addWidget(m_printButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_contractEdit, 1);

    connect(m_loadButton, &QPushButton::clicked, this, &SaleContractWindow::loadTemplate);
    connect(m_replaceButton, &QPushButton::clicked, this, &SaleContractWindow::fillPlaceholders);
    connect(m_printButton, &QPushButton::clicked, this, &SaleContractWindow::preview);
    resize(800, 600);
    accessible::nameFromBuddies(this);
}

void SaleContractWindow::setValues(const SaleContractValues& values) {
    m_values = values;
}

void SaleContractWindow::setTemplateDir(const QString& dir) {
    m_templateDir = dir;
}

QString SaleContractWindow::templatePath() const {
    return QDir(m_templateDir).filePath(QString::fromLatin1(kTemplateName));
}

void SaleContractWindow::loadTemplate() {
    m_loaded = false;
    m_replaced = 0;
    const QString path = templatePath();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        MessageService::error(this, u"Не е намерен RTF-файла с договора за продажба."_s, u"Съобщение"_s);
        return;
    }
    m_contractEdit->setupJustification();
    m_contractEdit->clear();
    QString error;
    QString damage;
    if (!RtfReader::readFile(path, m_contractEdit->document(), &error, &damage)) {
        MessageService::error(this, error, u"Съобщение"_s);
        return;
    }
    if (!damage.isEmpty())
        MessageService::warning(this, damage, u"Съобщение"_s);
    m_loaded = true;
    fillPlaceholders();
}

void SaleContractWindow::fillPlaceholders() {
    if (!m_loaded)
        return;
    QTextDocument* doc = m_contractEdit->document();
    m_replaced = 0;
    for (const auto& [placeholder, value] : SaleContract::placeholders(m_values)) {
        m_replaced += SaleContract::replace(doc, placeholder, value);
        m_contractEdit->viewport()->update();
    }
    m_contractEdit->moveCursor(QTextCursor::Start);
}

QString SaleContractWindow::footerText() {
    return u"Документът е издаден с програмата \"Продажби ВТОРА УПОТРЕБА\" %1, Orvel (www.orvel.bg)"_s.arg(
        QString::fromLatin1(RESALE_VERSION));
}

void SaleContractWindow::setupPage(QPrinter* printer) {
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 10, 10, 10),
                                       QPageLayout::Millimeter));
    printer->setDocName(u"Договор за продажба"_s);
}

void SaleContractWindow::preview() {
    if (!m_loaded)
        return;
    QPrinter printer(QPrinter::HighResolution);
    setupPage(&printer);
    const QTextDocument* doc = m_contractEdit->document();
    PrintService::preview(
        &printer, this,
        [doc](QPrinter* p) { ContractPrinting::paintOnOnePage(*doc, p, footerText(), kBandMm, kBandMm); },
        u"Договор за продажба"_s);
}

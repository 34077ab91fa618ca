#include "documents/ui/TfrmRTF.h"

#include "documents/RtfReader.h"
#include "documents/ui/ContractPrinting.h"
#include "documents/ui/TJustifyRichEdit.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"

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

TfrmRTF::TfrmRTF(QWidget* parent)
    : QDialog(parent), m_richEdit(new TJustifyRichEdit(this)), m_btnLoadRTF(new QPushButton(u"Зареждане"_s, this)),
      m_btnReplace(new QPushButton(u"Replace"_s, this)), m_btnPrint(new QPushButton(u"Печат"_s, this)),
      m_templateDir(QCoreApplication::applicationDirPath()) {
    setObjectName(u"frmRTF"_s);
    setWindowTitle(u"Печат"_s);
    m_richEdit->setObjectName(u"RichEdit"_s);
    m_richEdit->setPlainText(u"RichEdit"_s);
    m_btnLoadRTF->setObjectName(u"btnLoadRTF"_s);
    m_btnReplace->setObjectName(u"btnReplace"_s);
    m_btnReplace->setVisible(false);
    m_btnPrint->setObjectName(u"btnPrint"_s);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_btnLoadRTF);
    buttons->addWidget(m_btnReplace);
    buttons->addWidget(m_btnPrint);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_richEdit, 1);

    connect(m_btnLoadRTF, &QPushButton::clicked, this, &TfrmRTF::btnLoadRTFClick);
    connect(m_btnReplace, &QPushButton::clicked, this, &TfrmRTF::btnReplaceClick);
    connect(m_btnPrint, &QPushButton::clicked, this, &TfrmRTF::btnPrintClick);
    resize(800, 600);
}

void TfrmRTF::setValues(const SaleContractValues& values) {
    m_values = values;
}

void TfrmRTF::setTemplateDir(const QString& dir) {
    m_templateDir = dir;
}

QString TfrmRTF::templatePath() const {
    return QDir(m_templateDir).filePath(QString::fromLatin1(kTemplateName));
}

void TfrmRTF::btnLoadRTFClick() {
    m_loaded = false;
    m_replaced = 0;
    const QString path = templatePath();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        MessageService::error(this, u"Не е намерен RTF-файла с договора за продажба."_s, u"Съобщение"_s);
        return;
    }
    m_richEdit->setupJustification();
    m_richEdit->clear();
    QString error;
    if (!RtfReader::readFile(path, m_richEdit->document(), &error)) {
        MessageService::error(this, error, u"Съобщение"_s);
        return;
    }
    m_loaded = true;
    btnReplaceClick();
}

void TfrmRTF::btnReplaceClick() {
    if (!m_loaded)
        return;
    QTextDocument* doc = m_richEdit->document();
    m_replaced = 0;
    for (const auto& [placeholder, value] : SaleContract::placeholders(m_values)) {
        m_replaced += SaleContract::replace(doc, placeholder, value);
        m_richEdit->viewport()->update();
    }
    m_richEdit->moveCursor(QTextCursor::Start);
}

QString TfrmRTF::footerText() {
    return u"Документът е издаден с програмата \"Продажби ВТОРА УПОТРЕБА\" %1, Orvel (www.orvel.bg)"_s.arg(
        QString::fromLatin1(RESALE_VERSION));
}

void TfrmRTF::setupPage(QPrinter* printer) {
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 10, 10, 10),
                                       QPageLayout::Millimeter));
    printer->setDocName(u"Договор за продажба"_s);
}

void TfrmRTF::btnPrintClick() {
    if (!m_loaded)
        return;
    QPrinter printer(QPrinter::HighResolution);
    setupPage(&printer);
    const QTextDocument* doc = m_richEdit->document();
    PrintService::preview(
        &printer, this,
        [doc](QPrinter* p) { ContractPrinting::paintOnOnePage(*doc, p, footerText(), kBandMm, kBandMm); },
        u"Договор за продажба"_s);
}

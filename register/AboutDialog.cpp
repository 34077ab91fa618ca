#include "register/AboutDialog.h"

#include "core/ProgramFiles.h"
#include "register/MainWindow.h"

#include <QCoreApplication>
#include <QDir>

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent), m_text(new QLabel(this)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("За програмата"));
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Уреди втора употреба"), this);
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    m_text->setObjectName(QStringLiteral("lblAbout"));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setWordWrap(true);
    layout->addWidget(m_text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOk"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setMinimumWidth(380);
    setDatabase(QString());
}

namespace {
// The folder the program's files were found in, and any file it lacks.
QString filesText() {
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString folder = programfiles::folder(programDir);
    QStringList lines{QDir::toNativeSeparators(folder)};
    if (const QString contract = programfiles::saleContractFolder(programDir); contract != folder)
        lines.append(QStringLiteral("Договор за продажба на магазина: %1")
                         .arg(QDir::toNativeSeparators(QDir(contract).filePath(QStringLiteral("salecontract.rtf")))));
    for (const QString& name : programfiles::missingFiles(programDir))
        lines.append(programfiles::missingText(name, programDir));
    return lines.join(QLatin1Char('\n'));
}
} // namespace

void AboutDialog::setDatabase(const QString& database) {
    m_text->setText(QStringLiteral("Продажби ВТОРА УПОТРЕБА\nверсия %1\n\nПриемане на уреди на консигнация, продажба, "
                                   "изплащане и регистър.\n\nБаза данни: %2\nФайлове на програмата: %3\nQt %4")
                        .arg(MainWindow::versionText(), database.isEmpty() ? QStringLiteral("—") : database,
                             filesText(), QString::fromLatin1(qVersion())));
}

QString AboutDialog::text() const { return m_text->text(); }

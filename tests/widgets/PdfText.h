#pragma once

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

// Text and page count of a PDF the program printed.
namespace pdftext {

inline bool available() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

inline QString text(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline int pages(const QString& pdf) {
    QFile f(pdf);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = f.readAll();
    int n = 0;
    for (qsizetype at = data.indexOf("/Type /Page"); at >= 0; at = data.indexOf("/Type /Page", at + 1))
        if (data.mid(at, 12) != "/Type /Pages")
            ++n;
    return n;
}

} // namespace pdftext

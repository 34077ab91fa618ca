// Feeds arbitrary bytes to the RTF reader. Built as a libFuzzer target with
// RESALE_LIBFUZZER, and linked into the replay test otherwise.
#include "documents/RtfReader.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int qtArgc = 1;
        static char name[] = "fuzz_rtfreader";
        static char* qtArgv[] = {name, nullptr};
        static QGuiApplication* app = new QGuiApplication(qtArgc, qtArgv);
        Q_UNUSED(app);
    }
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    QString error;
    const bool ok = RtfReader::read(bytes, &doc, &error);
    // Either text was read or a message says why not.
    if (!ok && error.isEmpty())
        std::abort();
    // The document must be usable afterwards.
    (void)doc.toPlainText();
    (void)doc.pageCount();
    return 0;
}

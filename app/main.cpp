// "Уреди втора употреба": consignment of second-hand appliances.
#include "app/Startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvel"));
    QApplication::setApplicationName(QStringLiteral("Resale"));
    startup::run(QApplication::applicationDirPath());
    return 0;
}

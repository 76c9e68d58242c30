#include "text/Formats.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    vantrel::TextLocale::initFromSystem();
    return 0;
}

#include <QCoreApplication>
#include <iostream>

#include "BatchRunner.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quantaro-cli");
    return quantaro::RunBatch(QCoreApplication::arguments().mid(1), std::cout, std::cerr);
}

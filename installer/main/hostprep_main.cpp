#include <QApplication>

#include "RuntimeDirectory.h"

int main(int argc, char** argv) {
    EnsureRuntimeDirectory();
    QApplication app(argc, argv);
    return 0;
}

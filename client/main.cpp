#include <QApplication>

#include "AppContext.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    AppContext ctx;
    try {
        return 0;
    } catch (const ProgramEnd& e) {
        return e.exitStatus;
    }
}

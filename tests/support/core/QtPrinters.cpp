#include "QtPrinters.h"

#include <QByteArray>
#include <QString>
#include <gtest/gtest-printers.h>
#include <string>

void PrintTo(const QString& s, std::ostream* os) { *os << ::testing::PrintToString(s.toStdString()); }
void PrintTo(const QByteArray& b, std::ostream* os) { *os << ::testing::PrintToString(b.toStdString()); }

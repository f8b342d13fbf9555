#pragma once
#include <QLabel>

// A label that carries its control name as objectName, so tests find it.
inline QLabel* namedLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

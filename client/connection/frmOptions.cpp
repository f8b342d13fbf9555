#include "frmOptions.h"

#include <QGroupBox>
#include <QVBoxLayout>

#include "AppContext.h"

frmOptions::frmOptions(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmOptions"));
    auto* layout = new QVBoxLayout(this);
    for (size_t i = 0; i < fraIPAddress.size(); ++i) {
        fraIPAddress[i] = new QGroupBox(this);
        fraIPAddress[i]->setObjectName(QStringLiteral("fraIPAddress_%1").arg(i));
        layout->addWidget(fraIPAddress[i]);
    }
}

frmOptions::~frmOptions() = default;

#pragma once
#include <QString>
#include <QStringList>
#include <functional>

#include "RunSettings.h"

// The run settings that the remembered values (section "Settings") give, as
// the spooled-file screen's load and the option dialogs take them, with no
// screen: a value that a control could not show keeps the control's default.
// `setting` answers a remembered value ("None" when it is not set);
// `offered` says whether this PC offers a destination, which a remembered
// "Process" must be to come back.
RunSettings RememberedRunSettings(const std::function<QString(const QString& key)>& setting,
                                  const std::function<bool(const QString& destination)>& offered);

// A page length the text layout can use: "Variable" or 1 to 999 lines.
bool UsablePageLength(const QString& v);

// The entries of the screen's lists of PDF and HTML sizes, and the entry each
// list shows when nothing is remembered.
namespace ScreenLists {
QStringList pdfFontSizes();
QStringList pdfVertSizes();
QStringList pdfPaperSizes();  // the first, "Best fit", is shown
QStringList htmlFontSizes();
inline const QString kPdfFontSize = QStringLiteral("12");
inline const QString kPdfVertSize = QStringLiteral("12");
inline const QString kHtmlFontSize = QStringLiteral("9");
}  // namespace ScreenLists

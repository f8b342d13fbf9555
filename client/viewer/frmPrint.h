#pragma once
#include <QDialog>

class AppContext;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// "Printer format options": the font size and orientation of printed reports
// for each of the three widths, loaded from the remembered values when the
// window opens and stored by OK only.
class frmPrint : public QDialog {
    Q_OBJECT
public:
    explicit frmPrint(AppContext& ctx);

    QLabel* Label1 = nullptr;
    QGroupBox* Frame1[3] = {};
    QComboBox* cboFontSize[3] = {};
    // Pairs per frame: (0) portrait, (1) landscape for 80 columns; (2)/(4)
    // landscape and (3)/(5) portrait for 132 and 198 columns.
    QRadioButton* optPortraitOrLandscape[6] = {};
    QPushButton* cmdOK = nullptr;
    QPushButton* CancelButton = nullptr;

    void Form_Load();
    // Stores the six values and closes; a size that is neither "Auto" nor
    // 1 to 72 is refused (nothing stored, the window stays open).
    void cmdOK_Click();
    void CancelButton_Click();

protected:
    void reject() override { CancelButton_Click(); }

private:
    AppContext& ctx_;
};

// The spooled-file screen's "&Font sizes and page orientation...": a fresh
// window, shown modally.
void ShowPrinterFormat(AppContext& ctx);

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

    // The values of one width's frame (0: 80, 1: 132, 2: 198 columns): the
    // font size as it stands, and the orientation.
    QString fontSize(int frame) const;
    // A size that is neither "Auto" nor 1 to 72 is not taken.
    void setFontSize(int frame, const QString& size);
    bool landscape(int frame) const;
    void setLandscape(int frame, bool landscape);

protected:
    void reject() override { CancelButton_Click(); }

private:
    AppContext& ctx_;
};

// The spooled-file screen's "&Font sizes and page orientation...": the
// window (as a settings file left it, else fresh from the remembered
// values), shown modally and unloaded after.
void ShowPrinterFormat(AppContext& ctx);

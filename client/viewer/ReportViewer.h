#pragma once
#include <QDialog>
#include <QRect>

#include "SettingKeys.h"

class AppContext;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class SpoolFileRow;

// What the two report viewers share: the headings, the report in a read-only
// plain-text box (fast for large reports), the search row and Close, the
// window state, match case and search text remembered across runs, and the
// window's place kept for the rest of the run.
class ReportViewer : public QDialog {
    Q_OBJECT
public:
    // The three remembered values of a viewer.
    struct Keys {
        SettingKey windowState;
        SettingKey matchCase;
        SettingKey searchString;
    };
    ReportViewer(AppContext& ctx, const Keys& keys, QRect& rememberedPlace, int minWidthTwips);

    QLabel* heading = nullptr;  // Label2 / Label1
    QLabel* lblEntry = nullptr;
    QPlainTextEdit* text = nullptr;  // txtClip / rtbPreview
    QPushButton* cmdFindNext = nullptr;
    QLineEdit* txtFindWhat = nullptr;
    QCheckBox* chkMatchCase = nullptr;
    QPushButton* cmdClose = nullptr;
    QMenuBar* menu = nullptr;

    void setEntry(const SpoolFileRow& row);
    // Puts the selected text on the clipboard (empty when nothing is selected).
    void copySelection();
    // Stores the remembered values (with "&Remember Settings", not with
    // settings from a file), keeps the window's place, and hides it.
    void unload();

    // The heading of a named queue's reports or of *ALL, and a report's entry
    // line under it: the same columns, in a fixed-pitch font.
    static QString headingText(bool allQueues);
    static QString entryText(const SpoolFileRow& row, bool allQueues);

protected:
    // The remembered values, the window's size and place, the heading.
    void loadWindow();
    void fitHeading();
    void resizeEvent(QResizeEvent* e) override;
    virtual void searchTextChanged();
    void reject() override { unload(); }
    void closeEvent(QCloseEvent* e) override;

    AppContext& ctx_;

private:
    Keys keys_;
    QRect& place_;
    bool unloaded_ = false;
    bool allQueues_ = false;
};

#pragma once
#include <QChar>
#include <QVariantList>

#include "Automation.h"

// A macro (Application.Run, an add-in template, WordBasic ToolsMacro) asked
// of an office program of this platform, which cannot run one.
namespace OfficeMacros {
constexpr int kUnavailable = 32810;
inline QString unavailableText() { return QStringLiteral("macros are not available on this platform"); }
}  // namespace OfficeMacros

// The rows a worksheet of the spreadsheet programs holds.
namespace Worksheet {
constexpr qint64 kRows = 1048576;
}  // namespace Worksheet

// Typed facades over the late-bound objects of the office programs. Each
// method is one operation of the program's object model, with the member
// names and arguments that program takes; errors come as AutomationError.

class ExcelApplication {
public:
    static constexpr const char* kProgId = "excel.application";
    explicit ExcelApplication(std::shared_ptr<AutomationObject> app) : app_(std::move(app)) {}
    AutomationObject& object() { return *app_; }

    void setVisible(bool visible) { app_->set(QStringLiteral("Visible"), visible); }
    void openWorkbook(const QString& file) { app_->call(QStringLiteral("Workbooks.Open"), {{QStringLiteral("FileName"), file}}); }
    // Opens it again for the user, in the recently used list.
    void reopenWorkbook(const QString& file) {
        app_->call(QStringLiteral("Workbooks.Open"), {{QStringLiteral("FileName"), file}, {QStringLiteral("AddToMru"), true}});
    }
    // Text into a new workbook: delimited with every line whole in column A, or
    // fixed width with the columns placed by Excel.
    void openText(const QString& file, bool fixedWidth) {
        AutoArgs args{{QStringLiteral("FileName"), file},
                      {QStringLiteral("Origin"), 2},
                      {QStringLiteral("StartRow"), 1},
                      {QStringLiteral("DataType"), fixedWidth ? 2 : 1}};
        if (!fixedWidth) args.append({QStringLiteral("FieldInfo"), QVariantList{0, 1}});
        app_->call(QStringLiteral("Workbooks.OpenText"), args);
    }
    void selectRange(const QString& ref) { app_->object(QStringLiteral("Range"), {ref})->call(QStringLiteral("Select")); }
    void selectColumns(const QString& ref) { app_->object(QStringLiteral("Columns"), {ref})->call(QStringLiteral("Select")); }
    void selectAllCells() { app_->call(QStringLiteral("Cells.Select")); }
    // Cells.Find(What, After:=ActiveCell, LookAt:=xlWhole).Activate: a cell
    // that holds the text and nothing else; fails when nothing is found.
    void findAndActivate(const QString& what) {
        app_->object(QStringLiteral("Cells.Find"), {{QStringLiteral("What"), what}, AutoArg::of(QStringLiteral("After"), activeCell()),
                                                    {QStringLiteral("LookAt"), kWhole}})
            ->call(QStringLiteral("Activate"));
    }
    static constexpr int kWhole = 1;  // xlWhole
    void findNextAndActivate() {
        app_->object(QStringLiteral("Cells.FindNext"), {AutoArg::of(QStringLiteral("After"), activeCell())})->call(QStringLiteral("Activate"));
    }
    void deleteSelectedRows() { app_->call(QStringLiteral("Selection.EntireRow.Delete")); }
    void addPageBreakBeforeActiveCell() {
        app_->call(QStringLiteral("ActiveWindow.SelectedSheets.HPageBreaks.Add"), {AutoArg::of(QStringLiteral("Before"), activeCell())});
    }
    QVariant activeCellValue() { return app_->get(QStringLiteral("ActiveCell.Value")); }
    // A built-in dialog (422 is Text to Columns).
    void showDialog(int id) { app_->object(QStringLiteral("Dialogs"), {id})->call(QStringLiteral("Show")); }
    void autoFitSelectedColumns() { app_->call(QStringLiteral("Selection.Columns.AutoFit")); }
    void run(const QString& macro) { app_->call(QStringLiteral("Run"), {macro}); }
    // As an .xlsx workbook (file format 51).
    void saveActiveWorkbookAs(const QString& file) {
        app_->call(QStringLiteral("ActiveWorkbook.SaveAs"),
                   {{QStringLiteral("FileName"), file}, {QStringLiteral("FileFormat"), 51},
                    {QStringLiteral("Password"), QString()}, {QStringLiteral("WriteResPassword"), QString()},
                    {QStringLiteral("ReadOnlyRecommended"), false}, {QStringLiteral("CreateBackup"), false}});
    }
    void closeActiveWorkbook() { app_->call(QStringLiteral("ActiveWorkbook.Close")); }

private:
    std::shared_ptr<AutomationObject> activeCell() { return app_->object(QStringLiteral("ActiveCell")); }
    std::shared_ptr<AutomationObject> app_;
};

class WordApplication {
public:
    static constexpr const char* kProgId = "word.application";
    static constexpr int kAddInAlreadyLoaded = 5681;  // counts as success
    // The extension of what the word processor of this platform saves, whatever
    // name it is given (OpenDocument text).
    static constexpr const char* kSavedExtension = "odt";
    explicit WordApplication(std::shared_ptr<AutomationObject> app) : app_(std::move(app)) {}
    AutomationObject& object() { return *app_; }

    void setVisible(bool visible) { app_->set(QStringLiteral("Visible"), visible); }
    void setWindowState(int state) { app_->set(QStringLiteral("WindowState"), state); }
    void addTemplate(const QString& file) {
        app_->call(QStringLiteral("AddIns.Add"), {{QStringLiteral("FileName"), file}, {QStringLiteral("Install"), true}});
    }
    // A text file as plain text (Word picks the converter).
    void openDocument(const QString& file, bool addToRecentFiles) {
        app_->call(QStringLiteral("Documents.Open"),
                   {{QStringLiteral("FileName"), file}, {QStringLiteral("ConfirmConversions"), false},
                    {QStringLiteral("ReadOnly"), false}, {QStringLiteral("AddToRecentFiles"), addToRecentFiles},
                    {QStringLiteral("PasswordDocument"), QString()}, {QStringLiteral("PasswordTemplate"), QString()},
                    {QStringLiteral("Revert"), false}, {QStringLiteral("WritePasswordDocument"), QString()},
                    {QStringLiteral("WritePasswordTemplate"), QString()}, {QStringLiteral("Format"), 0}});
    }
    void selectWholeStory() { app_->call(QStringLiteral("Selection.WholeStory")); }
    void setFontSize(double points) { app_->set(QStringLiteral("Selection.Font.Size"), points); }
    // Replaces every `text` in the document ("^p" is a paragraph mark, "^m" a
    // manual page break).
    void replaceAll(const QString& text, const QString& replacement) {
        app_->call(QStringLiteral("Selection.Find.ClearFormatting"));
        app_->call(QStringLiteral("Selection.Find.Replacement.ClearFormatting"));
        const std::pair<const char*, QVariant> props[] = {
            {"Text", text},          {"Replacement.Text", replacement}, {"Forward", true},
            {"Wrap", 1},             {"Format", false},                 {"MatchCase", false},
            {"MatchWholeWord", false}, {"MatchWildcards", false},       {"MatchSoundsLike", false},
            {"MatchAllWordForms", false}};
        for (const auto& [name, value] : props) app_->set(QStringLiteral("Selection.Find.") + QLatin1String(name), value);
        app_->call(QStringLiteral("Selection.Find.Execute"), {{QStringLiteral("Replace"), 2}});
    }
    void goToStart() { app_->call(QStringLiteral("Selection.HomeKey"), {{QStringLiteral("Unit"), 6}}); }
    void runMacro(const QString& name) { app_->call(QStringLiteral("Run"), {{QStringLiteral("MacroName"), name}}); }
    void autoFormat() {
        app_->set(QStringLiteral("Selection.Document.Kind"), 0);
        app_->call(QStringLiteral("Selection.Range.AutoFormat"));
    }
    // In Word's own format (0).
    void saveActiveDocumentAs(const QString& file) {
        app_->call(QStringLiteral("ActiveDocument.SaveAs"),
                   {{QStringLiteral("FileName"), file}, {QStringLiteral("FileFormat"), 0},
                    {QStringLiteral("LockComments"), false}, {QStringLiteral("Password"), QString()},
                    {QStringLiteral("AddToRecentFiles"), true}, {QStringLiteral("WritePassword"), QString()},
                    {QStringLiteral("ReadOnlyRecommended"), false}, {QStringLiteral("EmbedTrueTypeFonts"), false},
                    {QStringLiteral("SaveNativePictureFormat"), false}, {QStringLiteral("SaveFormsData"), false},
                    {QStringLiteral("SaveAsAOCELetter"), false}});
    }
    void closeActiveDocument() { app_->call(QStringLiteral("ActiveDocument.Close")); }

private:
    std::shared_ptr<AutomationObject> app_;
};

class Lotus123Workbook {
public:
    static constexpr const char* kProgId = "Lotus123.Workbook";
    explicit Lotus123Workbook(std::shared_ptr<AutomationObject> workbook) : wb_(std::move(workbook)) {}
    AutomationObject& object() { return *wb_; }

    void setVisible(bool visible) { wb_->set(QStringLiteral("Application.Visible"), visible); }
    // parseOption "$Text" or "$AutoParse"; empty: left as it is.
    void setTextImport(const QString& parseOption) {
        wb_->set(QStringLiteral("Application.TextCodepage"), QStringLiteral("$Windows"));
        if (!parseOption.isEmpty()) wb_->set(QStringLiteral("Application.TextColumnParseOption"), parseOption);
        wb_->set(QStringLiteral("Application.TextColumnParseUserDefined"), QString());
    }
    void activate() { wb_->call(QStringLiteral("Activate")); }
    void openTextDocument(const QString& file) {
        wb_->call(QStringLiteral("Application.OpenDocument"),
                  {file, AutoArg::omitted(), QStringLiteral("Text (TXT;PRN;CSV;DAT;OUT;ASC)"), AutoArg::omitted(), false,
                   true, true});
    }

private:
    std::shared_ptr<AutomationObject> wb_;
};

class WordProApplication {
public:
    static constexpr const char* kProgId = "WordPro.Application";
    explicit WordProApplication(std::shared_ptr<AutomationObject> app) : app_(std::move(app)) {}
    AutomationObject& object() { return *app_; }

    void setLastUsedFilter(const QString& type, const QString& name) {
        app_->call(QStringLiteral("ApplicationWindow.Filter.SetLastUsedFilter"), {type, name});
    }
    void setVisible(bool visible) { app_->set(QStringLiteral("Visible"), visible); }
    void maximize() { app_->call(QStringLiteral("ApplicationWindow.Maximize")); }
    void minimize() { app_->call(QStringLiteral("ApplicationWindow.Minimize")); }
    void openTextDocument(const QString& file) { app_->call(QStringLiteral("OpenDocument"), {file, QString(), QStringLiteral("Text")}); }
    void initFindAndReplace() { app_->call(QStringLiteral("InitFindAndReplace"), {true}); }
    void selectDoc() { app_->call(QStringLiteral("SelectDoc")); }
    void setFont(const QString& name, double size) {
        app_->set(QStringLiteral("Text.Font.FontName"), name);
        app_->set(QStringLiteral("Text.Font.Size"), size);
    }
    void type(const QString& keys) { app_->call(QStringLiteral("Type"), {keys}); }
    void setFindAndReplace(const QString& find, const QString& matchType, const QString& replace, const QString& where) {
        app_->set(QStringLiteral("FindAndReplace.FindString"), find);
        app_->set(QStringLiteral("FindAndReplace.MatchType"), matchType);
        app_->set(QStringLiteral("FindAndReplace.ReplaceString"), replace);
        app_->set(QStringLiteral("FindAndReplace.Where"), where);
    }
    // 0 while a match was found.
    int find() { return app_->call(QStringLiteral("Find")).toInt(); }

private:
    std::shared_ptr<AutomationObject> app_;
};

// The WordBasic commands of Word 6/95, sent over its "Winword|System" DDE link.
namespace WordBasic {
constexpr const char* kApplication = "Winword";
constexpr const char* kTopic = "System";
// The item of this platform's word processor that shows the documents opened
// so far and names the copies it wrote for them, separated by tabs.
constexpr const char* kShownDocuments = "ShownDocuments";
// A quote within the name is doubled, as in any quoted string of the command.
inline QString fileOpen(const QString& path) {
    return QStringLiteral("[FileOpen .Name = \"") + QString(path).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QStringLiteral("\"]");
}
inline QString toolsMacroRun(const QString& name) {
    return QStringLiteral("[ToolsMacro .Name = \"") + name +
           QStringLiteral("\", .Run, .Show = 0, .Description = \"\", .NewName = \"\"]");
}
}  // namespace WordBasic

#include "OfficeStandIns.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "Codec.h"
#include "DesktopAutomation.h"
#include "DocumentModel.h"
#include "LocalDde.h"
#include "OfficeAutomation.h"
#include "ProcessStarter.h"
#include "SheetModel.h"

namespace {
AutomationError notSupported(const QString& member) {
    return AutomationError(438, QStringLiteral("Object doesn't support this property or method (%1)").arg(member));
}
AutomationError noObject() { return AutomationError(91, QStringLiteral("Object variable or With block variable not set")); }
AutomationError macrosUnavailable() {
    return AutomationError(OfficeMacros::kUnavailable, OfficeMacros::unavailableText());
}

// A named argument, else the positional one at `index`.
const AutoArg* arg(const AutoArgs& args, const QString& name, int index = -1) {
    for (const AutoArg& a : args)
        if (!a.name.isEmpty() && a.name.compare(name, Qt::CaseInsensitive) == 0) return &a;
    int pos = 0;
    for (const AutoArg& a : args) {
        if (!a.name.isEmpty()) continue;
        if (pos++ == index) return &a;
    }
    return nullptr;
}
QVariant value(const AutoArgs& args, const QString& name, int index = -1) {
    const AutoArg* a = arg(args, name, index);
    return a ? a->value : QVariant();
}

// One running program of the stand-ins.
class StandInApp {
public:
    virtual ~StandInApp() = default;
    virtual QVariant call(const QString& member, const AutoArgs& args) = 0;
    virtual std::shared_ptr<AutomationObject> object(const QString& member, const AutoArgs& args) = 0;
    virtual QVariant get(const QString& property) = 0;
    virtual void set(const QString& property, const QVariant& v) = 0;
    // The last handle of a client went.
    virtual void released() {}
    bool closed = false;
    int handles = 0;
};

// What a client holds: the program, reached by member paths.
class AppHandle : public AutomationObject {
public:
    explicit AppHandle(std::shared_ptr<StandInApp> app) : app_(std::move(app)) { ++app_->handles; }
    ~AppHandle() override {
        if (--app_->handles == 0 && !app_->closed) app_->released();
    }
    QVariant call(const QString& m, const AutoArgs& a) override { return live().call(m.toLower(), a); }
    std::shared_ptr<AutomationObject> object(const QString& m, const AutoArgs& a) override {
        return live().object(m.toLower(), a);
    }
    QVariant get(const QString& p) override { return live().get(p.toLower()); }
    void set(const QString& p, const QVariant& v) override { live().set(p.toLower(), v); }

private:
    StandInApp& live() {
        if (app_->closed)
            throw AutomationError(kServerUnavailable, QStringLiteral("The remote server machine does not exist or is unavailable"));
        return *app_;
    }
    std::shared_ptr<StandInApp> app_;
};

// A small object a call returned (a range, a dialog): its methods are lambdas.
class MethodObject : public AutomationObject {
public:
    using Method = std::function<QVariant(const QString& member, const AutoArgs& args)>;
    explicit MethodObject(Method m) : m_(std::move(m)) {}
    QVariant call(const QString& member, const AutoArgs& args) override { return m_(member.toLower(), args); }
    std::shared_ptr<AutomationObject> object(const QString& member, const AutoArgs&) override { throw notSupported(member); }
    QVariant get(const QString& property) override { return m_(property.toLower(), {}); }
    void set(const QString& property, const QVariant&) override { throw notSupported(property); }

private:
    Method m_;
};

// A cell of a sheet, as ActiveCell and Find return it.
class CellObject : public MethodObject {
public:
    CellObject(qsizetype row, int column, Method m) : MethodObject(std::move(m)), row(row), column(column) {}
    qsizetype row;
    int column;
};

// "B12" -> row 11, column 1; false when it is no cell reference.
bool parseCell(const QString& ref, qsizetype& row, int& column) {
    static const QRegularExpression re(QStringLiteral("^\\$?([A-Za-z]{1,3})\\$?(\\d+)$"));
    const auto m = re.match(ref.trimmed());
    if (!m.hasMatch()) return false;
    column = 0;
    for (QChar c : m.captured(1).toUpper()) column = column * 26 + (c.unicode() - 'A' + 1);
    --column;
    row = m.captured(2).toLongLong() - 1;
    return row >= 0;
}
int parseColumn(const QString& letters) {
    int column = 0;
    for (QChar c : letters.trimmed().toUpper()) {
        if (c < QLatin1Char('A') || c > QLatin1Char('Z')) return -1;
        column = column * 26 + (c.unicode() - 'A' + 1);
    }
    return column - 1;
}

// Shows a file to the user through the desktop's opener.
void openForUser(const StandInDesk& desk, const QString& file) {
    if (ProcessStarter* p = desk.processes ? desk.processes() : nullptr) p->start(desk.opener, {file});
}

// Shows a document once: a file of the program's own as it is, anything else
// as a copy written by `write`.
void showOnce(const StandInDesk& desk, bool& shown, bool isOwnFile, const QString& path, const QString& extension,
              const std::function<bool(const QString&)>& write) {
    if (shown) return;
    shown = true;
    // Nobody watches a batch run: nothing is put on its desktop, but a
    // document that exists nowhere else is kept, and the run says where.
    const bool unattended = desk.unattended && desk.unattended();
    if (isOwnFile) {
        if (!unattended) openForUser(desk, path);
        return;
    }
    const QString copy = UnsavedCopyPath(desk, path, extension);
    if (!write(copy)) return;
    if (!unattended) openForUser(desk, copy);
    else if (desk.keptUnshown) desk.keptUnshown(copy);
}

// ---------------------------------------------------------------- spreadsheet
// A line of the work file that holds the page mark alone (character 149).
const QString kPageMark = QString(QChar(0x2022));

struct Workbook {
    QString name;
    QString path;       // the file it came from or was saved as
    Sheet sheet;
    bool fromFile = false;  // a workbook file opened as it is (content not read)
    bool shown = false;
};

// The spreadsheet behind both "excel.application" and "Lotus123.Workbook".
class SpreadsheetApp : public StandInApp, public std::enable_shared_from_this<SpreadsheetApp> {
public:
    explicit SpreadsheetApp(std::shared_ptr<const StandInDesk> desk) : desk_(std::move(desk)) {}

    QVariant call(const QString& m, const AutoArgs& a) override {
        if (m == u"workbooks.open") return openWorkbook(value(a, QStringLiteral("FileName"), 0).toString());
        if (m == u"workbooks.opentext") {
            openText(value(a, QStringLiteral("FileName"), 0).toString(), value(a, QStringLiteral("DataType"), 3).toInt() == 2);
            return true;
        }
        if (m == u"application.opendocument") {  // 1-2-3
            openText(value(a, QString(), 0).toString(), parseOption_.compare(u"$AutoParse", Qt::CaseInsensitive) == 0);
            // 1-2-3 keeps the page marks of the text as rows of their own,
            // hidden, each starting a page: the sheet prints the host's pages.
            Sheet& s = sheet();
            for (qsizetype r = 0, n = s.rowCount(); r < n; ++r) {
                if (s.lineOf(r) != kPageMark) continue;
                s.hideRow(r);
                s.addPageBreak(r);
            }
            // 1-2-3 fits its columns to what it imported.
            s.autoFit(0, -1);
            return true;
        }
        if (m == u"activate") return true;
        if (m == u"cells.select") {
            sel_ = {0, -1, 0, -1};
            return true;
        }
        if (m == u"selection.entirerow.delete") {
            Sheet& s = sheet();
            const qsizetype last = sel_.lastRow < 0 ? s.rowCount() - 1 : sel_.lastRow;
            s.deleteRows(sel_.firstRow, last - sel_.firstRow + 1);
            return true;
        }
        if (m == u"activewindow.selectedsheets.hpagebreaks.add") {
            const AutoArg* before = arg(a, QStringLiteral("Before"), 0);
            auto* cell = before ? dynamic_cast<CellObject*>(before->object.get()) : nullptr;
            if (!cell) throw AutomationError(1004, QStringLiteral("Unable to add a page break without a cell"));
            if (!sheet().addPageBreak(cell->row))
                throw AutomationError(1004, QStringLiteral("Add method of HPageBreaks class failed"));
            return true;
        }
        if (m == u"selection.columns.autofit") {
            sheet().autoFit(sel_.firstColumn, sel_.lastColumn);
            return true;
        }
        if (m == u"run") throw macrosUnavailable();
        if (m == u"activeworkbook.saveas") {
            saveAs(value(a, QStringLiteral("FileName"), 0).toString());
            return true;
        }
        if (m == u"activeworkbook.close") {
            book();
            books_.erase(books_.begin() + active_);
            active_ = static_cast<int>(books_.size()) - 1;
            cell_ = {};
            return true;
        }
        throw notSupported(m);
    }

    std::shared_ptr<AutomationObject> object(const QString& m, const AutoArgs& a) override {
        auto self = shared_from_this();
        if (m == u"range") {
            const QStringList ends = value(a, QString(), 0).toString().split(QLatin1Char(':'));
            Selection s{};
            int c2 = 0;
            qsizetype r2 = 0;
            if (!parseCell(ends.first(), s.firstRow, s.firstColumn) ||
                (ends.size() > 1 && !parseCell(ends.last(), r2, c2)))
                throw AutomationError(1004, QStringLiteral("Method 'Range' of object '_Global' failed"));
            s.lastRow = ends.size() > 1 ? r2 : s.firstRow;
            s.lastColumn = ends.size() > 1 ? c2 : s.firstColumn;
            return std::make_shared<MethodObject>([self, s](const QString& mm, const AutoArgs&) -> QVariant {
                if (mm != u"select" && mm != u"activate") throw notSupported(mm);
                self->sel_ = s;
                self->cell_ = {s.firstRow, s.firstColumn};
                return true;
            });
        }
        if (m == u"columns") {
            const QStringList ends = value(a, QString(), 0).toString().split(QLatin1Char(':'));
            const int c1 = parseColumn(ends.first()), c2 = parseColumn(ends.last());
            if (c1 < 0 || c2 < c1) throw AutomationError(1004, QStringLiteral("Method 'Columns' of object '_Global' failed"));
            return std::make_shared<MethodObject>([self, c1, c2](const QString& mm, const AutoArgs&) -> QVariant {
                if (mm != u"select") throw notSupported(mm);
                self->sel_ = {0, -1, c1, c2};
                self->cell_ = {0, c1};
                return true;
            });
        }
        if (m == u"activecell") {
            book();
            return cellObject(cell_.row, cell_.column);
        }
        if (m == u"cells.find" || m == u"cells.findnext") {
            if (m == u"cells.find") {
                lastFind_ = value(a, QStringLiteral("What"), 0).toString();
                // FindNext keeps the way of the Find before it.
                findWhole_ = value(a, QStringLiteral("LookAt")).toInt() == ExcelApplication::kWhole;
            }
            const AutoArg* after = arg(a, QStringLiteral("After"), m == u"cells.find" ? 1 : 0);
            const auto* from = after ? dynamic_cast<const CellObject*>(after->object.get()) : nullptr;
            return find(from ? from->row : cell_.row, from ? from->column : cell_.column);
        }
        if (m == u"dialogs") {
            const int id = value(a, QString(), 0).toInt();
            return std::make_shared<MethodObject>([self, id](const QString& mm, const AutoArgs&) -> QVariant {
                if (mm != u"show" || id != 422) throw notSupported(mm);
                // No one to answer Text to Columns here: the columns are placed as fixed widths.
                self->sheet().splitFixedWidth(std::max(self->sel_.firstColumn, 0));
                return true;
            });
        }
        throw notSupported(m);
    }

    QVariant get(const QString& p) override {
        if (p == u"visible" || p == u"application.visible") return visible_;
        if (p == u"activecell.value") return sheet().cell(cell_.row, cell_.column);
        if (p == u"activeworkbook.fullname") return book().path;
        if (p == u"activeworkbook.name") return book().name;
        throw notSupported(p);
    }

    void set(const QString& p, const QVariant& v) override {
        if (p == u"visible" || p == u"application.visible") visible_ = v.toBool();
        else if (p == u"application.textcodepage" || p == u"application.textcolumnparseuserdefined") return;
        else if (p == u"application.textcolumnparseoption") parseOption_ = v.toString();
        else throw notSupported(p);
    }

    void released() override {
        if (!visible_) return;
        for (auto& b : books_)
            showOnce(*desk_, b->shown, b->fromFile, b->path, QStringLiteral("xlsx"),
                     [&](const QString& copy) { return WriteXlsx(b->sheet, QFileInfo(b->name).completeBaseName(), copy, nullptr); });
    }

private:
    struct Selection {
        qsizetype firstRow = 0, lastRow = 0;  // lastRow -1: to the end
        int firstColumn = 0, lastColumn = 0;  // lastColumn -1: every column
    };
    struct Cell {
        qsizetype row = 0;
        int column = 0;
    };

    Workbook& book() {
        if (active_ < 0 || active_ >= static_cast<int>(books_.size())) throw noObject();
        return *books_[static_cast<std::size_t>(active_)];
    }
    Sheet& sheet() { return book().sheet; }

    std::shared_ptr<AutomationObject> cellObject(qsizetype row, int column) {
        auto self = shared_from_this();
        return std::make_shared<CellObject>(row, column, [self, row, column](const QString& mm, const AutoArgs&) -> QVariant {
            if (mm == u"activate" || mm == u"select") {
                self->cell_ = {row, column};
                self->sel_ = {row, row, column, column};
                return true;
            }
            if (mm == u"value") return self->sheet().cell(row, column);
            throw notSupported(mm);
        });
    }

    // The next cell after (row, column), row by row, that contains the text; wraps once.
    std::shared_ptr<AutomationObject> find(qsizetype row, int column) {
        Sheet& s = sheet();
        if (lastFind_.isEmpty() || s.rowCount() == 0) throw noObject();
        const qsizetype n = s.rowCount();
        // A whole line of a sheet that was not parsed is found in its bytes, without a text made of each.
        const std::string bytes = Codec::fromUnicode(lastFind_);
        if (findWhole_ && s.columnStarts.isEmpty() && Codec::toUnicode(bytes) == lastFind_) {
            for (qsizetype step = 0; step <= n; ++step) {
                const qsizetype r = (row + step) % n;
                if ((step != 0 || column < 0) && s.lineBytes(r).toStdString() == bytes) return cellObject(r, 0);
            }
            throw noObject();
        }
        for (qsizetype step = 0; step <= n; ++step) {
            const qsizetype r = (row + step) % n;
            const QStringList cells = s.row(r);
            for (qsizetype c = step == 0 ? column + 1 : 0; c < cells.size(); ++c)
                if (findWhole_ ? cells.at(c) == lastFind_ : cells.at(c).contains(lastFind_))
                    return cellObject(r, static_cast<int>(c));
        }
        throw noObject();
    }

    QVariant openWorkbook(const QString& file) {
        if (!QFileInfo(file).isFile())
            throw AutomationError(1004, QStringLiteral("'%1' could not be found.").arg(file));
        auto b = std::make_shared<Workbook>();
        b->name = QFileInfo(file).fileName();
        b->path = file;
        b->fromFile = true;
        addBook(b);
        return true;
    }

    // The sheet reads its rows from the file as they are needed.
    void openText(const QString& file, bool split) {
        auto b = std::make_shared<Workbook>();
        if (!b->sheet.lines.open(file)) throw AutomationError(1004, QStringLiteral("'%1' could not be found.").arg(file));
        b->name = QFileInfo(file).fileName();
        b->path = file;
        if (split) b->sheet.splitFixedWidth(0);
        addBook(b);
    }

    void addBook(std::shared_ptr<Workbook> b) {
        books_.push_back(std::move(b));
        active_ = static_cast<int>(books_.size()) - 1;
        cell_ = {};
        sel_ = {};
    }

    void saveAs(const QString& file) {
        Workbook& b = book();
        QString why;
        if (!WriteXlsx(b.sheet, QFileInfo(b.name).completeBaseName(), file, &why)) throw AutomationError(1004, why);
        b.path = file;
        b.name = QFileInfo(file).fileName();
    }

    std::shared_ptr<const StandInDesk> desk_;
    bool visible_ = false;
    std::vector<std::shared_ptr<Workbook>> books_;
    int active_ = -1;
    Cell cell_;
    Selection sel_;
    QString lastFind_;
    bool findWhole_ = false;
    QString parseOption_;
};

// ---------------------------------------------------------------- word processor
// The word processor behind "word.application" and "WordPro.Application".
class WordProcessorApp : public StandInApp {
public:
    WordProcessorApp(std::shared_ptr<const StandInDesk> desk, bool wordPro) : desk_(std::move(desk)), wordPro_(wordPro) {}

    QVariant call(const QString& m, const AutoArgs& a) override {
        if (m == u"addins.add" || m == u"run") throw macrosUnavailable();
        if (m == u"documents.open" || m == u"opendocument") {
            open(value(a, QStringLiteral("FileName"), 0).toString());
            return true;
        }
        if (m == u"selection.wholestory" || m == u"selectdoc") {
            wholeSelected_ = true;
            return true;
        }
        if (m == u"selection.find.clearformatting" || m == u"selection.find.replacement.clearformatting" ||
            m == u"selection.homekey" || m == u"selection.range.autoformat" || m == u"initfindandreplace" ||
            m == u"applicationwindow.filter.setlastusedfilter" || m == u"applicationwindow.maximize")
            return true;
        if (m == u"selection.find.execute") {
            const int replace = value(a, QStringLiteral("Replace")).toInt();
            TextDocumentModel& d = doc();
            if (replace == 2) return d.replaceAll(find_.value(QStringLiteral("text")).toString(),
                                                   find_.value(QStringLiteral("replacement.text")).toString()) > 0;
            return d.content().contains(find_.value(QStringLiteral("text")).toString());
        }
        if (m == u"type") {
            type(value(a, QString(), 0).toString());
            return true;
        }
        if (m == u"find") return findNext();
        if (m == u"applicationwindow.minimize") {
            showDocuments();
            return true;
        }
        if (m == u"activedocument.saveas") {
            TextDocumentModel& d = doc();
            const QString file = WithExtension(value(a, QStringLiteral("FileName"), 0).toString(), QStringLiteral("odt"));
            QString why;
            if (!WriteOdt(d, file, desk_->timeOfDay(), &why)) throw AutomationError(5152, why);
            d.path = file;
            d.modified = false;
            return true;
        }
        if (m == u"activedocument.close") {
            doc();
            docs_.erase(docs_.begin() + active_);
            active_ = static_cast<int>(docs_.size()) - 1;
            return true;
        }
        throw notSupported(m);
    }

    std::shared_ptr<AutomationObject> object(const QString& m, const AutoArgs&) override { throw notSupported(m); }

    QVariant get(const QString& p) override {
        if (p == u"visible") return visible_;
        if (p == u"activedocument.fullname") return doc().path;
        if (p == u"activedocument.name") return QFileInfo(doc().path).fileName();
        throw notSupported(p);
    }

    void set(const QString& p, const QVariant& v) override {
        if (p == u"visible") {
            visible_ = v.toBool();
        } else if (p == u"windowstate" || p == u"selection.document.kind" || p.startsWith(u"activedocument.pagesetup.")) {
        } else if (p == u"selection.font.size" || p == u"text.font.size") {
            if (wholeSelected_) doc().fontSize = v.toDouble();
        } else if (p == u"text.font.fontname") {
            if (wholeSelected_) doc().fontFamily = v.toString();
        } else if (p.startsWith(u"selection.find.")) {
            find_.insert(p.mid(15), v);
        } else if (p.startsWith(u"findandreplace.")) {
            find_.insert(p.mid(15), v);
        } else {
            throw notSupported(p);
        }
    }

    void released() override {
        if (!wordPro_) showDocuments();
    }

    void showDocuments() {
        if (!visible_) return;
        for (auto& d : docs_)
            showOnce(*desk_, d->shown, d->fromSavedFile, d->path, QStringLiteral("odt"),
                     [&](const QString& copy) { return WriteOdt(*d, copy, desk_->timeOfDay(), nullptr); });
    }

private:
    TextDocumentModel& doc() {
        if (active_ < 0 || active_ >= static_cast<int>(docs_.size())) throw noObject();
        return *docs_[static_cast<std::size_t>(active_)];
    }

    void open(const QString& file) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) throw AutomationError(5174, QStringLiteral("This file could not be found. (%1)").arg(file));
        auto d = std::make_shared<TextDocumentModel>();
        if (f.peek(2) == "PK") {  // a document this program saved
            d->path = file;
            d->fromSavedFile = true;
        } else {
            f.close();
            d->loadText(file);
            // Plain text opens in the program's monospaced text font.
            d->fontFamily = wordPro_ ? QString() : QStringLiteral("Courier New");
        }
        docs_.push_back(std::move(d));
        active_ = static_cast<int>(docs_.size()) - 1;
        wholeSelected_ = false;
        cursor_ = 0;
        selection_ = 0;
    }

    // WordPro's Type: "[ctrlHome]" to the start, "[ctrlEnter]" a page break in place of the selection.
    void type(const QString& keys) {
        TextDocumentModel& d = doc();
        if (keys.compare(u"[ctrlHome]", Qt::CaseInsensitive) == 0) {
            cursor_ = 0;
            selection_ = 0;
            wholeSelected_ = false;
            return;
        }
        const QString text = keys.compare(u"[ctrlEnter]", Qt::CaseInsensitive) == 0 ? QStringLiteral("\f") : keys;
        d.content().replace(cursor_, selection_, text);
        cursor_ += text.size();
        selection_ = 0;
        d.modified = true;
    }

    // 0 when the text was found from the cursor on (and is now selected).
    int findNext() {
        TextDocumentModel& d = doc();
        const QString what = find_.value(QStringLiteral("findstring")).toString();
        if (what.isEmpty()) return 1;
        const qsizetype at = d.content().indexOf(what, cursor_ + selection_);
        if (at < 0) return 1;
        cursor_ = at;
        selection_ = what.size();
        wholeSelected_ = false;
        return 0;
    }

    std::shared_ptr<const StandInDesk> desk_;
    bool wordPro_;
    bool visible_ = false;
    std::vector<std::shared_ptr<TextDocumentModel>> docs_;
    int active_ = -1;
    bool wholeSelected_ = false;
    qsizetype cursor_ = 0, selection_ = 0;
    QMap<QString, QVariant> find_;
};
}  // namespace

QString UnsavedCopyPath(const StandInDesk& desk, const QString& source, const QString& extension) {
    const QString folder = desk.documentsFolder ? desk.documentsFolder() : QDir::tempPath();
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QDir dir(folder);
    // Named after the report, not after the work file's counter (" 007").
    static const QRegularExpression counter(QStringLiteral(" \\d{3}$"));
    QString base = QFileInfo(source).completeBaseName();
    if (base.contains(counter) && base.size() > 4) base.remove(counter);
    QString copy = dir.filePath(base + QLatin1Char('.') + extension);
    // A copy shown earlier may hold the user's changes: the next takes a name of its own.
    for (int n = 2; QFileInfo(copy).exists() || QFileInfo(copy).isSymLink(); ++n)
        copy = dir.filePath(QStringLiteral("%1 (%2).%3").arg(base).arg(n).arg(extension));
    return copy;
}

struct OfficeStandIns::State {
    std::shared_ptr<const StandInDesk> desk;
    // The running instance of each program (kept running after a delivery, as the programs do).
    std::shared_ptr<SpreadsheetApp> excel, lotus;
    std::shared_ptr<WordProcessorApp> word, wordPro;

    std::shared_ptr<AutomationObject> handle(const QString& progId, bool create) {
        const QString id = progId.toCaseFolded();
        auto get = [&](auto& slot, auto make) -> std::shared_ptr<AutomationObject> {
            if (create || (slot && slot->closed)) {
                if (!create) return nullptr;
                slot = make();
            }
            return slot ? std::make_shared<AppHandle>(slot) : nullptr;
        };
        if (id == u"excel.application")
            return get(excel, [&] { return std::make_shared<SpreadsheetApp>(desk); });
        if (id == u"lotus123.workbook")
            return get(lotus, [&] { return std::make_shared<SpreadsheetApp>(desk); });
        if (id == u"word.application")
            return get(word, [&] { return std::make_shared<WordProcessorApp>(desk, false); });
        if (id == u"wordpro.application")
            return get(wordPro, [&] { return std::make_shared<WordProcessorApp>(desk, true); });
        return nullptr;
    }
};

OfficeStandIns::OfficeStandIns(StandInDesk desk) : state_(std::make_shared<State>()) { state_->desk = std::make_shared<const StandInDesk>(std::move(desk)); }
OfficeStandIns::~OfficeStandIns() = default;

std::shared_ptr<AutomationObject> OfficeStandIns::running(const QString& progId) { return state_->handle(progId, false); }
std::shared_ptr<AutomationObject> OfficeStandIns::create(const QString& progId) { return state_->handle(progId, true); }

void OfficeStandIns::closeWordPro() {
    if (state_->wordPro) state_->wordPro->closed = true;
}

void OfficeStandIns::registerWith(DesktopAutomation& automation) {
    auto state = state_;
    for (const char* id : {ExcelApplication::kProgId, Lotus123Workbook::kProgId, WordApplication::kProgId}) {
        const QString progId = QString::fromLatin1(id);
        automation.registerBackend(progId, {[state, progId] { return state->handle(progId, false); },
                                            [state, progId] { return state->handle(progId, true); }});
    }
    // WordPro is only ever created: there is no look-up of a running one.
    const QString wordPro = QString::fromLatin1(WordProApplication::kProgId);
    automation.registerBackend(wordPro, {{}, [state, wordPro] { return state->handle(wordPro, true); }});
    automation.registerDde(QString::fromLatin1(WordBasic::kApplication), QString::fromLatin1(WordBasic::kTopic), [] {
        return LocalDde::initiate(QString::fromLatin1(WordBasic::kApplication), QString::fromLatin1(WordBasic::kTopic));
    });
}

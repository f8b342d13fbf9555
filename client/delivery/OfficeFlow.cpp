#include "OfficeFlow.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "DeliveryState.h"
#include "MousePointer.h"
#include "OfficeAutomation.h"
#include "OfficeDelivery.h"
#include "PcFileName.h"
#include "ProcTxt.h"
#include "RunContext.h"
#include "SafeOutputFile.h"
#include "SettingValues.h"

QString VbNumber(int n) { return n >= 0 ? QStringLiteral(" %1").arg(n) : QString::number(n); }

OfficeState& Office(RunContext& ctx) {
    DeliveryState& delivery = DeliveryOf(ctx);
    if (!delivery.officeState) {
        delivery.officeState = std::make_shared<OfficeState>();
        std::weak_ptr<OfficeState> weak = delivery.officeState;
        delivery.releaseWordProApp = [weak] {
            if (auto o = weak.lock()) o->gWordProApp.reset();
        };
    }
    return *delivery.officeState;
}

namespace OfficeFlow {
void Run::status(const QString& text) {
    progress.status(text);
    progress.refresh();
}

QString Run::batchName() const {
    const RunSettings::SaveName& name = settings.saveNames[RunSettings::TextSave];
    return name.fromFile ? name.name : QString();
}

void Run::clearBatchTag() { settings.saveNames[RunSettings::TextSave].fromFile = false; }

void Run::macrosUnavailable() {
    if (macroUnavailableTold) return;
    macroUnavailableTold = true;
    ctx.services.report(Failure{OfficeMacros::unavailableText(), MsgIcon::Exclamation, QStringLiteral("Tolvane")});
}

void Run::errorBox(const AutomationError& e, bool withDescriptionLabel, MsgIcon icon) {
    ctx.services.report(Failure{QStringLiteral("Error") + VbNumber(e.number) +
                           (withDescriptionLabel ? QStringLiteral(" Description: ") : QStringLiteral(" ")) +
                           e.description,
                       icon, QStringLiteral("Tolvane")});
}

bool RefuseDocumentTarget(Run& run, const QString& document) {
    if (document.trimmed().isEmpty()) return false;
    try {
        SafeOutputFile::checkPlainFile(document);
        return false;
    } catch (const PcFileError& e) {
        run.ctx.services.report(Failure{QStringLiteral("The document cannot be saved: ") + e.description +
                                   QStringLiteral(".  Nothing was asked of the host."),
                               MsgIcon::Critical, QStringLiteral("Tolvane")});
        return true;
    }
}

ReportResult TransferToWorkFile(Run& run, const QString& folder, bool fullNames, const QString& extension,
                                const QString& processCode, bool replace) {
    const QString file = BuildPcFileName(run.ctx, folder, run.row, fullNames, extension);
    DownloadOptions o = run.options;
    // Only the work file: the screen's own Add/Replace choice stays as the user left it.
    if (replace) o.textFile = DownloadOptions::AddReplace::Replace;
    return ProcTxt(run.ctx, o, run.progress, file, processCode, run.row);
}

std::shared_ptr<AutomationObject> Connect(Run& run, const QString& progId, const QString& program, bool lookForRunning) {
    Automation* automation = run.ctx.services.automation.get();
    if (!automation) return nullptr;
    if (lookForRunning) {
        run.status(QStringLiteral("Checking for an existing instance of ") + program + QStringLiteral("..."));
        try {
            if (auto running = automation->getObject(progId)) return running;
        } catch (const AutomationError&) {
        }
    }
    run.status(QStringLiteral("Starting a new instance of ") + program + QStringLiteral("."));
    try {
        if (auto created = automation->createObject(progId)) return created;
    } catch (const AutomationError&) {
    }
    run.ctx.services.report(
        Failure{program + QStringLiteral(" could not be started."), MsgIcon::Critical, QStringLiteral("Tolvane")});
    return nullptr;
}

QString SaveFolder(RunContext& ctx) {
    const QString saved = ctx.services.getSetting(Setting::SavePath);
    return HasValue(saved) ? saved : ctx.connection.gWorkDir;
}

QString WorkFolder(RunContext& ctx, bool shortForm) {
    return shortForm && ctx.services.paths ? ctx.services.paths->shortPath(ctx.connection.gWorkDir) : ctx.connection.gWorkDir;
}

WorkFileShape ShapeOf(const QString& workFile) {
    WorkFileShape shape;
    QFile f(workFile);
    if (!f.open(QIODevice::ReadOnly)) return shape;
    bool text = false;
    while (!f.atEnd()) {
        QByteArray line = f.readLine();
        while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
        ++shape.lines;
        // The mark is a line of its own character alone; a record of "\x95" has a blank behind it.
        if (line == "\x95") {
            ++shape.marks;
            shape.bulletIsMark.push_back(true);
        } else {
            for (qsizetype n = line.count('\x95'); n > 0; --n) shape.bulletIsMark.push_back(false);
        }
        line = line.trimmed();
        if (!text && line.isEmpty()) ++shape.leadingBlank;
        else text = true;
    }
    return shape;
}

bool RefuseOverRowLimit(Run& run, qint64 rows, const QString& program) {
    if (rows <= Worksheet::kRows) return false;
    const QLocale c(QLocale::English, QLocale::UnitedStates);  // "1,048,576"
    run.ctx.services.report(Failure{QStringLiteral("The report has %1 lines, more than the %2 rows a worksheet holds: it "
                                                   "was not loaded into %3.")
                                        .arg(c.toString(rows), c.toString(Worksheet::kRows), program),
                                    MsgIcon::Exclamation, QStringLiteral("Tolvane")});
    return true;
}

bool IsOfficeVersion(const QString& version) {
    static const QStringList known{"10", "11", "12", "13", "14", "15", "16", "17"};
    return known.contains(version);
}

QString MacroReference(const QString& path, const QString& macro) {
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    QString book = path.mid(cut + 1);
    if (book.isEmpty()) return macro;  // no file: the program looks the macro up by name
    book.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + book + QStringLiteral("'!") + macro;
}

void AskForSaveFolder(Run& run) {
    run.ctx.services.report(
        Failure{QStringLiteral("Can not locate the directory you want to use to save documents.  Please specify a "
                               "valid location."),
                MsgIcon::None, QStringLiteral("Tolvane")});
    setMousePointer(MousePointer::Normal);
    if (run.ctx.services.nobodyAnswers()) return;
    run.ctx.runWindows().showNamingOptions(run.ctx.services.getSetting(Setting::FullName));
}
}  // namespace OfficeFlow

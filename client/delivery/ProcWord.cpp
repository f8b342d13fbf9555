#include <QDir>
#include <QFileInfo>

#include "Clock.h"
#include "MousePointer.h"
#include "OfficeAutomation.h"
#include "OfficeDelivery.h"
#include "OfficeFlow.h"
#include "OfficeSetup.h"
#include "PcFileName.h"
#include "RegistryAccess.h"
#include "RunContext.h"

using namespace OfficeFlow;

ReportResult ProcWord_8(RunContext& ctx, RunSettings& settings, DownloadProgress& progress, const SpoolFileRow& row) {
    const DownloadOptions& options = settings.options;
    Run run{ctx, settings, options, progress, row};
    PointerGuard busy(MousePointer::ArrowHourglass);
    const QString batchName = run.batchName();
    // The name is chosen free as the document will be written: an earlier
    // document of the name the word processor gives it is never replaced.
    const auto freeName = [&] {
        const QString name =
            BuildPcFileName(ctx, SaveFolder(ctx), row, true, QString::fromLatin1(WordApplication::kSavedExtension));
        return name.left(name.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".doc");
    };
    QString output = batchName.isEmpty() ? freeName() : batchName;
    // The word processor saves it under its own extension.
    const QFileInfo asked(output);
    const QString base = asked.suffix().isEmpty() ? asked.fileName() : asked.completeBaseName();
    if (RefuseDocumentTarget(run, asked.dir().filePath(base + QStringLiteral(".") +
                                                       QString::fromLatin1(WordApplication::kSavedExtension)))) {
        run.clearBatchTag();
        return {};
    }
    // The report goes to a work file; the document is saved from it, so that
    // an earlier document is replaced only by a complete one.
    const ReportResult transfer = TransferToWorkFile(run, ctx.connection.gWorkDir, true, QStringLiteral("txt"),
                                                     QStringLiteral("ProcWord_8"), true);
    if (!transfer) {
        run.clearBatchTag();
        return {};
    }
    const QString& workFile = transfer.writtenAs;
    const auto app = Connect(run, QString::fromLatin1(WordApplication::kProgId), QStringLiteral("Word"), true);
    if (!app) return {};
    WordApplication word(app);
    run.status(QStringLiteral("Transferring to Word."));
    if (!options.runSilent && batchName.isEmpty()) IgnoringErrors([&] {
        word.setVisible(true);
        word.setWindowState(0);
    });
    const std::optional<RunSettings::Macro> macro =
        options.runMacro ? std::optional(MacroFor(ctx, settings, MacroProgram::Word)) : std::nullopt;
    if (macro) {
        const QString tpl = macro->document.trimmed();
        if (!tpl.isEmpty()) {
            run.status(QStringLiteral("Loading Word macro sheet") + tpl);
            try {
                word.addTemplate(tpl);
            } catch (const AutomationError& e) {
                if (e.number == OfficeMacros::kUnavailable) {
                    run.macrosUnavailable();
                } else if (e.number != WordApplication::kAddInAlreadyLoaded) {
                    ctx.services.report(Failure{QStringLiteral("Can't load the macro template (") + tpl +
                                           QStringLiteral("). Error: ") + VbNumber(e.number) +
                                           QStringLiteral(" Description: ") + e.description,
                                       MsgIcon::Exclamation, QStringLiteral("Tolvane")});
                    return {};
                }
            }
        }
    }
    run.status(QStringLiteral("Loading spool file to Word.  "));
    IgnoringErrors([&] { word.openDocument(workFile, false); });
    if (!options.removeBlankLines) IgnoringErrors([&] {
        word.selectWholeStory();
        word.setFontSize(transfer.recordWidth == QLatin1String(" 80") ? 9 : 6);
        // The mark is a paragraph of its own character alone: a bullet in the text stays.
        word.replaceAll(QStringLiteral("^p") + QChar(0x2022) + QStringLiteral("^p"), QStringLiteral("^p^m^p"));
        word.goToStart();
    });
    run.status(QStringLiteral("File has been loaded to Word.   "));
    bool macroRan = false;
    if (macro) {
        const QString name = macro->name;
        if (!name.trimmed().isEmpty()) {
            run.status(QStringLiteral("Running ") + name.trimmed() + QStringLiteral("."));
            try {
                word.runMacro(MacroReference(macro->document.trimmed(), name));
                macroRan = true;
            } catch (const AutomationError& e) {
                if (e.number == OfficeMacros::kUnavailable) run.macrosUnavailable();
            }
        }
    }
    if (options.autoformat) IgnoringErrors([&] { word.autoFormat(); });
    // Another run may have taken the free name while the report arrived: it is looked for again.
    if (batchName.isEmpty()) output = freeName();
    QString saved = output;
    if (!options.runMacro) {
        try {
            word.saveActiveDocumentAs(output);
        } catch (const AutomationError& e) {
            IgnoringErrors([&] { word.closeActiveDocument(); });
            if (!QFileInfo(QFileInfo(output).absolutePath()).isDir()) AskForSaveFolder(run);
            else run.errorBox(e, true, MsgIcon::Exclamation);
            run.clearBatchTag();
            return {};
        }
        // The program may write its own format under its own extension.
        IgnoringErrors([&] {
            const QString full = word.object().get(QStringLiteral("ActiveDocument.FullName")).toString();
            if (!full.isEmpty()) saved = full;
        });
        IgnoringErrors([&] { word.closeActiveDocument(); });
        if (!options.runSilent) IgnoringErrors([&] { word.openDocument(saved, true); });
    }
    // A macro that should have saved the document and could not run leaves it open, unsaved.
    if (!options.runMacro || macroRan) run.status(QStringLiteral("Load to Word complete as ") + saved + QStringLiteral("   "));
    run.clearBatchTag();
    return {Outcome::Done(), transfer.recordWidth, options.runMacro ? QString() : saved};
}

ReportResult ProcWord_6(RunContext& ctx, RunSettings& settings, DownloadProgress& progress, const SpoolFileRow& row) {
    const DownloadOptions& options = settings.options;
    Run run{ctx, settings, options, progress, row};
    PointerGuard busy(MousePointer::ArrowHourglass);
    // Named by the naming options as the other office programs' work files
    // are: the document shown from it is named after the report.
    const ReportResult transfer = TransferToWorkFile(run, WorkFolder(ctx, !IsOfficeVersion(ctx.targets.gWordVersion)),
                                                     true, QString(), QStringLiteral("ProcWord_6"), false);
    if (!transfer) return {};
    const QString& workFile = transfer.writtenAs;
    OfficeState& kept = Office(ctx);
    run.status(QStringLiteral("Linking to Word."));
    std::shared_ptr<DdeConversation> link;
    const QString application = QString::fromLatin1(WordBasic::kApplication);
    const QString topic = QString::fromLatin1(WordBasic::kTopic);
    for (int attempt = 0; !link; ++attempt) {
        try {
            link = ctx.services.automation ? ctx.services.automation->ddeInitiate(application, topic) : nullptr;
            if (!link) throw AutomationError(Automation::kNoDdeAnswer, QStringLiteral("No DDE answer"));
        } catch (const AutomationError& e) {
            if (e.number != Automation::kNoDdeAnswer) {
                ctx.services.report(Failure{QStringLiteral("Error") + VbNumber(e.number), MsgIcon::Exclamation,
                                   QStringLiteral("Tolvane")});
                return {};
            }
            if (attempt == 0) {
                run.status(QStringLiteral("Starting MS Word."));
                qint32 length = 0;
                const QString command = ctx.services.machineRegistry
                                            ? ReadMachineRegistryValue(*ctx.services.machineRegistry,
                                                                       QStringLiteral("SOFTWARE\\Classes\\Word.Document.6\\Shell\\open\\command"),
                                                                       length)
                                            : QString();
                // Started from a run nobody watches, the word processor has nobody to show its documents to.
                if (ctx.services.nobodyAnswers()) qputenv("SWOFFICE_NO_OPENER", "1");
                else qunsetenv("SWOFFICE_NO_OPENER");
                if (length > 4 && ctx.services.processes)
                    ctx.services.processes->startCommandLine(command.left(length - 4), ProcessStarter::MinimizedFocus);
                run.status(QStringLiteral("MS Word started."));
            } else if (attempt >= kept.ddeRetryLimit) {
                // Our own bound: a Word that never answers must not hold the screen for ever.
                ctx.services.report(Failure{QStringLiteral("MS Word does not answer.  The report was not loaded into Word."),
                                   MsgIcon::Exclamation, QStringLiteral("Tolvane")});
                return {};
            } else {
                setMousePointer(MousePointer::Hourglass);
                if (ctx.services.clock) ctx.services.clock->waitMs(kept.ddeRetryWaitMs);
            }
        }
    }
    run.status(QString());
    try {
        QString tpl, name;
        if (options.runMacro) {
            const RunSettings::Macro macro = MacroFor(ctx, settings, MacroProgram::Word);
            tpl = macro.document.trimmed();
            name = macro.name.trimmed();
        }
        auto macroStep = [&](const QString& command) {
            try {
                link->execute(command);
            } catch (const AutomationError& e) {
                if (e.number != OfficeMacros::kUnavailable) throw;
                run.macrosUnavailable();
            }
        };
        if (!tpl.isEmpty()) {
            run.status(QStringLiteral("Loading macro template file."));
            macroStep(WordBasic::fileOpen(tpl));
        }
        run.status(QStringLiteral("Loading spoolfile to Word document."));
        link->execute(WordBasic::fileOpen(workFile));
        if (!name.isEmpty()) {
            run.status(QStringLiteral("Running macro."));
            macroStep(WordBasic::toolsMacroRun(name));
        }
    } catch (const AutomationError& e) {
        ctx.services.report(
            Failure{QStringLiteral("Error") + VbNumber(e.number), MsgIcon::Exclamation, QStringLiteral("Tolvane")});
        return {};
    }
    run.status(QStringLiteral("File has been loaded to Word."));
    // Nobody watches a batch run: where the document is kept goes into its line.
    // A word processor that serves no such item has nothing more to say.
    if (ctx.services.nobodyAnswers()) {
        try {
            const QStringList copies =
                link->request(QString::fromLatin1(WordBasic::kShownDocuments)).split(QLatin1Char('\t'), Qt::SkipEmptyParts);
            for (const QString& copy : copies) NoteKeptDocument(ctx, copy);
        } catch (const AutomationError&) {
        }
    }
    link.reset();
    return {Outcome::Done(), transfer.recordWidth, {}};
}

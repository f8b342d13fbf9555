#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "DeliveryState.h"
#include "OfficeDelivery.h"
#include "RunContext.h"
#include "SettingValues.h"

const SettingKey& MacroFileSetting(MacroProgram program) {
    return program == MacroProgram::Excel ? Setting::ExcelMacroSheet : Setting::WordMacroDocument;
}
const SettingKey& MacroNameSetting(MacroProgram program) {
    return program == MacroProgram::Excel ? Setting::ExcelMacroName : Setting::WordMacroName;
}

QString MacroDefaultFolder() { return QDir::homePath() + QStringLiteral("/Templates/"); }

bool MacroFileReadable(Services& services, MacroProgram program, const QString& file) {
    const QString path = file.trimmed();
    // A path names a folder with either separator; a bare name is looked up by the program.
    if (path.isEmpty() || (!path.contains(QLatin1Char('\\')) && !path.contains(QLatin1Char('/')))) return true;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) return true;
    // 53/76 (not there) have their own message; 70 no permission, 75 any other access error.
    const QString notFound =
        program == MacroProgram::Excel
            ? QStringLiteral("Macro workbook by that name not found...")
            : QStringLiteral("Macro template file by that name not found.  Please specify the full path and file name.");
    services.report(Failure{!QFileInfo::exists(path) ? notFound
                                                : QStringLiteral("File Error ") +
                                                      VbNumber(f.error() == QFileDevice::PermissionsError ? 70 : 75),
                       MsgIcon::Exclamation, QStringLiteral("Macro Load")});
    return false;
}

RunSettings::Macro MacroFor(RunContext& ctx, const RunSettings& settings, MacroProgram program) {
    OfficeState& office = Office(ctx);
    if (office.macroWindows) return office.macroWindows->askMacro(program);
    const bool excel = program == MacroProgram::Excel;
    std::optional<RunSettings::Macro>& kept = excel ? office.excelMacro : office.wordMacro;
    if (!kept) {
        // As the dialog loads: its default name, then the remembered values
        // (which the Excel dialog of a settings-file run leaves out), then the file's.
        RunSettings::Macro m;
        m.name = QStringLiteral("Macro1");
        if (!excel || !ctx.download.gSettingsFromFile) {
            const QString file = ctx.services.getSetting(MacroFileSetting(program));
            const QString name = ctx.services.getSetting(MacroNameSetting(program));
            if (HasValue(file)) m.document = file;
            if (HasValue(name)) m.name = name;
        }
        const RunSettings::Macro& given = excel ? settings.excel : settings.word;
        if (given.documentSet) m.document = given.document;
        if (given.nameSet) m.name = given.name;
        m.loaded = true;
        (excel ? DeliveryOf(ctx).gExcelMacroFormLoaded : DeliveryOf(ctx).gWordMacroFormLoaded) = true;
        kept = m;
    }
    if (kept->document.trimmed().isEmpty()) kept->document = MacroDefaultFolder();
    MacroFileReadable(ctx.services, program, kept->document);
    return *kept;
}

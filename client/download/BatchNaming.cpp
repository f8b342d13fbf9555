#include "BatchNaming.h"

#include "PcFileName.h"
#include "RunContext.h"
#include "SettingValues.h"

namespace {

// The remembered name of the last file of a kind.
const SettingKey& lastNameKey(SaveDialogKind dialog) {
    switch (dialog) {
    case SaveDialogKind::Html: return Setting::HtmlFile;
    case SaveDialogKind::Xml: return Setting::XmlFile;
    case SaveDialogKind::Pdf: return Setting::PdfFile;
    default: return Setting::TextFile;
    }
}
}  // namespace

RunSettings::SaveDialog SaveNameOf(SaveDialogKind dialog) {
    switch (dialog) {
    case SaveDialogKind::Html: return RunSettings::HtmlSave;
    case SaveDialogKind::Xml: return RunSettings::XmlSave;
    case SaveDialogKind::Pdf: return RunSettings::PdfSave;
    default: return RunSettings::TextSave;
    }
}

QString SaveExtensionOf(SaveDialogKind dialog) {
    switch (dialog) {
    case SaveDialogKind::Html: return QStringLiteral("html");
    case SaveDialogKind::Xml: return QStringLiteral("xml");
    case SaveDialogKind::Pdf: return QStringLiteral("pdf");
    default: return QStringLiteral("txt");
    }
}

QString BatchFileName(RunContext& ctx, RunSettings& settings, SaveDialogKind dialog, const SpoolFileRow& row) {
    RunSettings::SaveName& field = settings.saveNames[SaveNameOf(dialog)];
    const DownloadOptions::Naming& naming = settings.options.naming;
    if (!field.fromFile) {
        const QString savePath = ctx.services.getSetting(Setting::SavePath);
        const QString last = ctx.services.getSetting(lastNameKey(dialog));
        if (dialog == SaveDialogKind::Pdf) {
            if (naming.fullName && HasValue(savePath)) {
                field.name = BuildPcFileName(ctx, savePath, row, true, QStringLiteral("pdf"));
            } else if (field.name.trimmed().isEmpty() && HasValue(last)) {
                // Never the folder's own name: a name of the remembered file or a numbered one.
                field.name = last;
            } else {
                field.name = BuildPcFileName(ctx, HasValue(savePath) ? savePath : QString(), row, false, QStringLiteral("pdf"));
            }
        } else {
            const bool fullName = ctx.services.getSetting(Setting::FullName) == QLatin1String("1");
            if (field.name.trimmed().isEmpty() || fullName) {
                const QString folder =
                    dialog == SaveDialogKind::Text && !naming.savePath.isEmpty() ? naming.savePath : savePath;
                if (!fullName) {
                    if (field.name.trimmed().isEmpty() && HasValue(last)) field.name = last;
                    // No name remembered: the short numbered one, as a PDF gets.
                    if (field.name.trimmed().isEmpty())
                        field.name = BuildPcFileName(ctx, HasValue(folder) ? folder : QString(), row, false,
                                                     SaveExtensionOf(dialog));
                } else if (HasValue(folder)) {
                    field.name = BuildPcFileName(ctx, folder, row, true, SaveExtensionOf(dialog));
                }
                if (dialog == SaveDialogKind::Text) {
                    const QString addReplace = ctx.services.getSetting(Setting::AddReplace);
                    if (HasValue(addReplace))
                        settings.options.textFile = addReplace == QLatin1String("True")
                                                        ? DownloadOptions::AddReplace::Replace
                                                        : DownloadOptions::AddReplace::Add;
                }
            }
        }
    }
    // A settings file's name is its first report's only.
    field.fromFile = false;
    return field.name.trimmed();
}

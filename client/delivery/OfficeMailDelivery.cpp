#include "OfficeMailDelivery.h"

#include "EmailAttach.h"
#include "EmailAuto.h"
#include "EmailBody.h"
#include "EmailCommon.h"
#include "MousePointer.h"
#include "OfficeDelivery.h"
#include "RunContext.h"

std::optional<DeliveryProcedure> OfficeMailDeliveryFor(RunContext& ctx, RunSettings& settings,
                                                       DownloadProgress& progress, const ProcessType& type) {
    using D = Destination;
    using MailProc = Outcome (*)(MailRun, const SpoolFileRow&);
    const DownloadOptions& options = settings.options;
    // As a message (`body`), attached (the table's procedure), or sent by itself (`automatic`).
    auto mail = [&](MailProc body, MailProc attach, MailProc automatic) -> DeliveryProcedure {
        const MailProc proc = options.email == 0 ? body : options.autoSend && automatic ? automatic : attach;
        const D id = type.id;
        return [&ctx, &options, &progress, proc, id](const QString&, const SpoolFileRow& row) {
            setMousePointer(MousePointer::ArrowHourglass);
            // The mail program's command as target discovery found it.
            Email(ctx).gMailProgram = id == D::NetscapeMail         ? ctx.targets.gNetscapeCommand
                                      : id == D::OutlookExpressMail ? ctx.targets.gOutlookExpressCommand
                                                                    : QString();
            return ReportResult{proc(MailRun{ctx, options, progress}, row), {}, {}};
        };
    };
    // The office programs: each makes its own work file and document. `busy`: the
    // pointer shows the wait from the start (the others set it themselves).
    using OfficeProc = ReportResult (*)(RunContext&, RunSettings&, DownloadProgress&, const SpoolFileRow&);
    auto office = [&](OfficeProc proc, bool busy) -> DeliveryProcedure {
        return [&ctx, &settings, &progress, proc, busy](const QString&, const SpoolFileRow& row) {
            if (busy) setMousePointer(MousePointer::ArrowHourglass);
            return proc(ctx, settings, progress, row);
        };
    };
    switch (type.id) {
    case D::NetscapeMail: return mail(ProcEmail, EmailAttachNetscape, nullptr);
    case D::OutlookExpressMail: return mail(EmailBodyOutlookExpress, EmailAttachOutlookExpress, ProcAttachIEAMS);
    case D::OutlookMail: return mail(EmailBodyOutlook, EmailAttachOutlook, ProcAttachOAMS);
    case D::LotusNotes: return mail(EmailBodyNotes, EmailAttachNotes, ProcAttachNotesAMS);
    case D::MicrosoftExcel: return office(ProcExcel, false);
    case D::Lotus123: return office(ProcLotus123, true);
    case D::MicrosoftWord695: return office(ProcWord_6, false);
    case D::MicrosoftWord: return office(ProcWord_8, false);
    case D::LotusWordPro: return office(ProcWordPro, true);
    default: return std::nullopt;
    }
}

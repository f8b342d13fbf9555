#include "MailSetup.h"

#include <QDir>
#include <algorithm>
#include <cstdio>

#include "Codec.h"
#include "DeliveryState.h"
#include "EmailCommon.h"
#include "MailStandIns.h"
#include "RunContext.h"
#include "SettingValues.h"
#include "SignOn.h"

namespace MailSetup {
namespace {
QString setting(RunContext& ctx, const SettingKey& key) {
    const QString v = ctx.services.getSetting(key);
    return HasText(v) ? v.trimmed() : QString();
}
}  // namespace

SmtpConfig serverSettings(RunContext& ctx) {
    SmtpConfig c;
    c.settingsFile = ctx.services.settingsFileName();
    c.url = setting(ctx, Setting::MailServer);
    c.user = setting(ctx, Setting::MailUser);
    c.sender = setting(ctx, Setting::MailSender);
    c.requireTls = setting(ctx, Setting::MailTls).compare(QLatin1String("No"), Qt::CaseInsensitive) != 0;
    // Seconds a server may keep the program waiting before the send fails.
    bool ok = false;
    const int timeout = setting(ctx, Setting::MailTimeout).toInt(&ok);
    if (ok && timeout > 0) {
        c.timeoutSec = timeout;
        c.connectTimeoutSec = std::min<long>(c.connectTimeoutSec, timeout);
    }
    const QString scrambled = ctx.services.getSetting(Setting::MailPassword);
    if (HasText(scrambled))
        c.password = Codec::toUnicode(SignOnScrambling::unscrambleField(Codec::fromUnicode(scrambled)));
    return c;
}

bool savePassword(RunContext& ctx, const QString& password) {
    if (password.size() > kMaxPasswordLength || !SignOnScrambling::firstUncarriedCharacter(password).isNull()) return false;
    ctx.services.saveSetting(Setting::MailPassword,
                    Codec::toUnicode(SignOnScrambling::scrambleField(Codec::fromUnicode(password))));
    return true;
}

QString draftsFolder(RunContext& ctx) {
    const QString chosen = setting(ctx, Setting::DraftsFolder);
    if (!chosen.isEmpty()) return chosen;
    return QDir(ctx.services.paths ? ctx.services.paths->dataPath() : QDir::homePath()).filePath(QStringLiteral("Drafts"));
}
}  // namespace MailSetup

void InstallMailStandIns(RunContext& ctx) {
    auto service = std::make_shared<MailService>();
    service->draftsFolder = MailSetup::draftsFolder(ctx);
    service->starter = [&ctx] { return ctx.services.processes.get(); };
    service->canOpen = [&ctx] { return !ctx.services.nobodyAnswers() && MailService::haveDesktop(); };
    service->config = [&ctx] { return MailSetup::serverSettings(ctx); };
    service->now = [&ctx] { return ctx.services.now(); };
    // A large message on a slow line: the window keeps answering, and its Cancel stops the send.
    service->whileSending = [&ctx] {
        ctx.services.clock->pumpOnce();
        return !ctx.link.cancelRequested();
    };
    // May be told while the program ends: it holds on to what it writes to.
    Email(ctx);
    service->notice = [email = DeliveryOf(ctx).emailState](const QString& path) {
        email->drafts << path;
        std::fprintf(stderr, "Draft written to %s\n", qPrintable(QDir::toNativeSeparators(path)));
    };
    auto standIns = std::make_shared<MailStandIns>(service);
    standIns->onProblem = [&ctx](const QString& problem) {
        ++Email(ctx).lostDrafts;
        ctx.services.report(Failure{problem, MsgIcon::Critical, QStringLiteral("Tolvane")});
    };
    ctx.services.processes = standIns->wrap(std::move(ctx.services.processes));
    ctx.services.keyboard = standIns->wrap(std::move(ctx.services.keyboard));
    ctx.services.automation = standIns->wrap(std::move(ctx.services.automation));
    ctx.services.machineRegistry = standIns->wrap(std::move(ctx.services.machineRegistry));
    DeliveryOf(ctx).mailStandIns = standIns;
}

QString CloseMailWindows(RunContext& ctx) {
    if (const auto& standIns = DeliveryOf(ctx).mailStandIns) standIns->closeWindows();
    EmailState& email = Email(ctx);
    const QString told =
        email.draftsShown < email.drafts.size() ? DraftsWrittenText(email.drafts.mid(email.draftsShown)) : QString();
    email.draftsShown = email.drafts.size();
    return told;
}

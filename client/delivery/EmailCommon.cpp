#include "EmailCommon.h"

#include <QFileInfo>

#include "AppContext.h"
#include "KeyboardLocks.h"
#include "SendKeys.h"
#include "SplfScreenApi.h"

namespace {
// Bounded where the original tried millions of times: a window that has not
// come after these tries is not coming.
constexpr int kActivationTries = 20;
constexpr int kRoundsBetweenTries = 25;

bool retry(AppContext& ctx, const std::function<bool()>& once) {
    for (int i = 0; i < kActivationTries; ++i) {
        if (once()) return true;
        for (int r = 0; r < kRoundsBetweenTries; ++r) ctx.clock->pumpOnce();
    }
    return false;
}
}  // namespace

EmailState& Email(AppContext& ctx) {
    if (!ctx.emailState) ctx.emailState = std::make_shared<EmailState>();
    return *ctx.emailState;
}

namespace EmailKeys {
void send(AppContext& ctx, const QString& keys, bool wait) { SendKeysKeepingLocks(ctx, keys, wait); }
void type(AppContext& ctx, const QString& data, bool wait) { SendKeysKeepingLocks(ctx, SendKeys::literal(data), wait); }
bool activate(AppContext& ctx, const QString& title) {
    return ctx.keyboard && retry(ctx, [&] { return ctx.keyboard->activate(title); });
}
bool activateTask(AppContext& ctx, qint64 task) {
    return ctx.keyboard && task != 0 && retry(ctx, [&] { return ctx.keyboard->activateTask(task); });
}
}  // namespace EmailKeys

QString ErrorText(int number, const QString& description) {
    return QStringLiteral("Error") + (number < 0 ? QString::number(number) : QStringLiteral(" ") + QString::number(number)) +
           QStringLiteral(" ") + description;
}

QString CompanyName(AppContext& ctx) {
    const QString c = ctx.getSetting(QStringLiteral("Company name"));
    return c == QLatin1String("None") ? QString() : c;
}

QString MailWorkDir(AppContext& ctx) { return ctx.paths ? ctx.paths->shortPath(ctx.gWorkDir) : ctx.gWorkDir; }

void FocusScreen(AppContext& ctx) {
    if (!ctx.gBatchMode) ctx.frmSplf().giveFocus();
}


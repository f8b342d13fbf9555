#include "SignOn.h"

#include <QCheckBox>
#include <QLineEdit>

#include "AppContext.h"
#include "Codec.h"
#include "Connect.h"
#include "HostLink.h"
#include "MousePointer.h"
#include "frmLogin.h"

namespace SignOnScrambling {
namespace {
int alphabetPosition(char c) {
    for (int k = 0; k < kAlphabetLength; ++k)
        if (kSignOnAlphabet[k] == c) return k + 1;
    return 0;
}
}  // namespace

std::string scrambleField(const std::string& field) {
    std::string out = field;
    for (size_t idx = 0; idx < out.size(); ++idx) {
        const int i = static_cast<int>(idx) + 1;
        int n = alphabetPosition(out[idx]) + i;
        if (n > kAlphabetLength) n -= kAlphabetLength;
        if (n <= kAlphabetLength) out[idx] = kSignOnAlphabet[n - 1];
    }
    return out;
}

std::string unscrambleField(const std::string& field) {
    std::string out = field;
    for (size_t idx = 0; idx < out.size(); ++idx) {
        const int i = static_cast<int>(idx) + 1;
        const int n = alphabetPosition(out[idx]);
        if (n == 0) continue;
        int k = n - i;
        while (k <= 0) k += kAlphabetLength;
        out[idx] = kSignOnAlphabet[k - 1];
    }
    return out;
}

QChar firstUncarriedCharacter(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() > 0x7E || alphabetPosition(static_cast<char>(c.unicode())) == 0) return c;
    }
    return {};
}

bool isScrambledPassword(const std::string& saved) {
    if (saved.size() != kPasswordLength) return false;
    for (char c : saved)
        if (alphabetPosition(c) == 0) return false;
    return true;
}
}  // namespace SignOnScrambling

using namespace SignOnScrambling;

bool SignOn(AppContext& ctx, std::string& userId, std::string& password) {
    const std::string user = Codec::fromUnicode(ctx.getSetting(QStringLiteral("User"), QStringLiteral("-None")).trimmed());
    ctx.gUserId = HostWire::field(user, kUserIdLength);
    bool haveSavedPassword = false;
    if (user == "-None") {
        ctx.gUserId = std::string(kUserIdLength, ' ');
    } else {
        // Read back byte-exact: a scrambled form may begin with a blank, and a
        // trimmed or damaged one would send a wrong password that counts
        // towards disabling the user profile.
        const std::string saved = Codec::fromUnicode(ctx.getSetting(QStringLiteral("century"), QStringLiteral("-None")));
        if (isScrambledPassword(saved)) {
            ctx.gPassword = saved;
            haveSavedPassword = true;
        } else {
            ctx.gPassword = std::string(kPasswordLength, ' ');
        }
    }

    if (!haveSavedPassword) {
        ctx.gSignOnAccepted = false;
        frmLogin& login = ctx.loginWindow();
        login.txtUserID->setText(Codec::toUnicode(ctx.gUserId).trimmed());
        setMousePointer(MousePointer::Normal);
        login.cancelled = false;
        if (ctx.presenter)
            ctx.presenter->showModeless(&login);
        else
            login.show();
        // An unattended run shows no dialog: nobody would answer it.
        const bool nobodyToAsk = ctx.presenter && ctx.presenter->unattended;
        const bool answered =
            !nobodyToAsk && ctx.clock->waitUntil([&] { return ctx.gSignOnAccepted || login.cancelled; },
                                                 ctx.signOnDialogTimeoutMs);
        if (login.cancelled) ctx.endProgram(kExitSignOnCancelled, QStringLiteral("Sign-on cancelled"));
        if (!answered) {
            Disconnect(ctx.link);
            ctx.unloadLoginWindow();
            const int answer = ctx.msgBox(QStringLiteral("Signon to the iSeries has timed out.  Would you like to retry?"),
                                          MsgButtons::YesNo, MsgIcon::None, QStringLiteral("Tolvane"),
                                          unattendedDefault(ctx));
            if (answer == vbYes) return true;
            ctx.endProgram(kExitSignOnCancelled, QStringLiteral("Sign-on timed out"));
        }
        setMousePointer(MousePointer::Hourglass);
        ctx.gUserId = HostWire::field(Codec::fromUnicode(login.txtUserID->text()), kUserIdLength);
        ctx.gPassword = HostWire::field(Codec::fromUnicode(login.txtPassword->text()), kPasswordLength);
        ctx.gPassword = scrambleField(ctx.gPassword);
    }
    ctx.gUserId = scrambleField(ctx.gUserId);
    userId = ctx.gUserId;
    password = ctx.gPassword;
    return false;
}

#include "SignOn.h"

#include "Codec.h"
#include "Connect.h"
#include "ConnectView.h"
#include "ConnectionState.h"
#include "HostLink.h"
#include "MousePointer.h"
#include "Services.h"

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

SignOnResult SignOn(Services& services, ConnectionState& state, HostLink& link, SignOnPrompt& prompt) {
    const QString keptUser = services.getKept(Setting::User).trimmed();
    const std::string user = Codec::fromUnicode(keptUser);
    state.gUserId = HostWire::field(user, kUserIdLength);
    bool haveSavedPassword = false;
    if (!IsKept(keptUser)) {
        state.gUserId = std::string(kUserIdLength, ' ');
    } else {
        // Read back byte-exact: a scrambled form may begin with a blank, and a
        // trimmed or damaged one would send a wrong password that counts
        // towards disabling the user profile.
        const std::string saved = Codec::fromUnicode(services.getKept(Setting::Password));
        if (isScrambledPassword(saved)) {
            state.gPassword = saved;
            haveSavedPassword = true;
        } else {
            state.gPassword = std::string(kPasswordLength, ' ');
        }
    }

    if (!haveSavedPassword) {
        state.gSignOnAccepted = false;
        setMousePointer(MousePointer::Normal);
        // An unattended run waits for no answer: nobody would give one. It says
        // what is missing instead of a dialog's time-out that never ran.
        if (services.presenter && services.presenter->unattended) {
            Disconnect(link);
            services.report(Failure{
                QStringLiteral("There is no saved password for user ") + Codec::toUnicode(state.gUserId).trimmed() +
                    QStringLiteral(", and an unattended run cannot ask for one.  Sign on once in the "
                                   "program's window with \"Save password\" ticked."),
                MsgIcon::Critical, QStringLiteral("Tolvane")});
            services.endProgram(kExitSignOnCancelled, QStringLiteral("No saved password"));
        }
        prompt.showSignOn(Codec::toUnicode(state.gUserId).trimmed());
        const bool answered = services.clock->waitUntil(
            [&] { return state.gSignOnAccepted || prompt.signOnCancelled(); }, state.signOnDialogTimeoutMs);
        if (prompt.signOnCancelled()) services.endProgram(kExitSignOnCancelled, QStringLiteral("Sign-on cancelled"));
        if (!answered) {
            Disconnect(link);
            prompt.discardSignOn();
            const int answer =
                services.ask(Question{QStringLiteral("Signon to the iSeries has timed out.  Would you like to retry?"),
                                      MsgButtons::YesNo, MsgIcon::None, QStringLiteral("Tolvane"), 1, kAskAgainNo});
            if (answer == vbYes) return {};
            services.endProgram(kExitSignOnCancelled, QStringLiteral("Sign-on timed out"));
        }
        setMousePointer(MousePointer::Hourglass);
        const SignOnAnswer typed = prompt.signOnAnswer();
        state.gUserId = HostWire::field(Codec::fromUnicode(typed.userId), kUserIdLength);
        state.gPassword = HostWire::field(Codec::fromUnicode(typed.password), kPasswordLength);
        state.gPassword = scrambleField(state.gPassword);
    }
    state.gUserId = scrambleField(state.gUserId);
    return {Outcome::Done(), state.gUserId, state.gPassword};
}

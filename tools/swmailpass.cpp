// Stores the password of the outgoing mail server, scrambled as the sign-on
// password is, in the user's settings ("Mail password"). Reads it from
// standard input, so that it appears in no command line.
//
//   printf '%s\n' 'the password' | swmailpass
#include <QApplication>
#include <QTextStream>
#include <cstdio>

#include "AppContext.h"
#include "MailSetup.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream in(stdin);
    const QString password = in.readLine();
    AppContext ctx;
    ctx.useBatchMessageBoxes();
    if (!MailSetup::savePassword(ctx, password)) {
        std::fprintf(stderr, "swmailpass: a password of at most %d printable ASCII characters, please\n",
                     MailSetup::kMaxPasswordLength);
        return 1;
    }
    ctx.services.settings.reset();  // written now
    return 0;
}

#include "MessageBoxes.h"

#include <cstdio>

int MessageBoxes::defaultAnswer(MsgButtons buttons, int defaultButton) {
    static const int kAnswers[6][3] = {{vbOK, vbOK, vbOK},          {vbOK, vbCancel, vbCancel},
                                       {vbAbort, vbRetry, vbIgnore}, {vbYes, vbNo, vbCancel},
                                       {vbYes, vbNo, vbNo},          {vbRetry, vbCancel, vbCancel}};
    const int b = static_cast<int>(buttons);
    const int i = (defaultButton >= 1 && defaultButton <= 3) ? defaultButton - 1 : 0;
    return kAnswers[(b >= 0 && b < 6) ? b : 0][i];
}

QString PrintableText(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\n') || u == 0x7F || (u >= 0x80 && u <= 0x9F)) c = QLatin1Char('?');
    }
    return out;
}

int BatchMessageBoxes::show(const QString& text, MsgButtons buttons, MsgIcon, const QString& title, int defaultButton) {
    QString line = title + QStringLiteral(": ") + text;
    line.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    line = PrintableText(line);
    if (write_) {
        write_(line);
    } else {
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
        std::fflush(stderr);
    }
    return defaultAnswer(buttons, defaultButton);
}

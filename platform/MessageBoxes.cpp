#include "MessageBoxes.h"

int MessageBoxes::defaultAnswer(MsgButtons buttons, int defaultButton) {
    static const int kAnswers[6][3] = {{vbOK, vbOK, vbOK},          {vbOK, vbCancel, vbCancel},
                                       {vbAbort, vbRetry, vbIgnore}, {vbYes, vbNo, vbCancel},
                                       {vbYes, vbNo, vbNo},          {vbRetry, vbCancel, vbCancel}};
    const int b = static_cast<int>(buttons);
    const int i = (defaultButton >= 1 && defaultButton <= 3) ? defaultButton - 1 : 0;
    return kAnswers[(b >= 0 && b < 6) ? b : 0][i];
}

#include "KeypadPasscode.h"

#include "Prompt.h"
#include "RSComm.h"

namespace {
const QString PasscodeAddress = QStringLiteral("W1038");
}

void SetupPasscode(RSComm& link, Prompt& prompt) {
    if (link.Busy())
        return;
    QString current;
    if (!link.CommError()) {
        const QString value = link.RSRead(PasscodeAddress);
        // A failed read has no value to offer.
        if (!link.CommError() && !link.LastReadFailed())
            current = value;
    }
    const std::optional<QString> answer =
        prompt.input(QStringLiteral("Keypad Set-up Passcode"),
                     QStringLiteral("Please Enter New Passcode (0-65535)"), current);
    // Blanks alone would be written as 0.
    if (!answer || answer->trimmed().isEmpty() || link.CommError())
        return;
    link.RSWrite(PasscodeAddress, *answer);
}

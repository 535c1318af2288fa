// Board identity and faults.
#include "RSComm.h"

#include "CodeTable.h"
#include "Prompt.h"

#include <QFileDevice>

int RSComm::FaultCode() {
    const QString value = RSRead(QStringLiteral("B8176"));
    return m_lastReadFailed ? 0 : value.toInt();
}

int RSComm::FirmwareRev() {
    if (!m_onlineMode || m_commError)
        return -1;
    return RSRead(QStringLiteral("B8159")).toInt();
}

QString RSComm::FaultDescription(int fltCode) {
    const QString code = CodeTable::codeText(fltCode & 0xFFFF);
    const QString prefix = QStringLiteral("Fault Code (") + code + QStringLiteral("H): ");
    const auto lookup = CodeTable::find(SupportFile(QStringLiteral("FaultErrCodes.txt")), code,
                                        CodeTable::Match::First);
    if (!lookup.fileFound)
        return prefix + QStringLiteral("--- Fault File Not Found ---");
    if (lookup.readError) {
        m_prompt.message(QStringLiteral("RSComm FaultDescription"),
                         QStringLiteral("Error Number = ") +
                             QString::number(int(QFileDevice::ReadError)) + QStringLiteral("\n\n") +
                             lookup.errorString,
                         Prompt::Icon::Information);
        return prefix;
    }
    return prefix + lookup.description.value_or(QString());
}

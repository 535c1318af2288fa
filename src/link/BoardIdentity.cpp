// Board identity and faults.
#include "BoardIdentity.h"

#include "BoardCodes.h"
#include "BoardLink.h"
#include "BoardProtocol.h"
#include "CodeTable.h"
#include "ErrorText.h"
#include "ProgramFolder.h"
#include "Prompt.h"

#include <QFileDevice>

namespace {

LinkResult<int> readByte(BoardLink& core, int address) {
    ParsedAddress a;
    a.boardAddress = address;
    const auto value = core.read(a);
    if (!value)
        return value.failure();
    return int(value.value());
}

} // namespace

BoardIdentity::BoardIdentity(BoardLink& core, Prompt& prompt, QString programFolder)
    : m_core(core), m_prompt(prompt), m_programFolder(std::move(programFolder)) {}

QString BoardIdentity::TargetboardName(int boardType) {
    return BoardCodes::targetboardName(boardType);
}

QString BoardIdentity::LCFBoardIndex(int boardType) {
    return BoardCodes::lcfBoardIndex(boardType);
}

LinkResult<int> BoardIdentity::faultCode() {
    return readByte(m_core, BoardProtocol::FaultCodeRegister);
}

LinkResult<int> BoardIdentity::firmwareRevision() {
    return readByte(m_core, BoardProtocol::FirmwareRegister);
}

QString BoardIdentity::FaultDescription(int fltCode) {
    const QString code = CodeTable::codeText(fltCode & 0xFFFF);
    const QString prefix = QStringLiteral("Fault Code (") + code + QStringLiteral("H): ");
    const auto lookup = CodeTable::find(
        ProgramFolder::resolve(m_programFolder, QStringLiteral("Support/FaultErrCodes.txt")), code,
        CodeTable::Match::First);
    if (!lookup.fileFound)
        return prefix + QStringLiteral("--- Fault File Not Found ---");
    if (lookup.readError) {
        m_prompt.message(QStringLiteral("RSComm FaultDescription"),
                         ErrorText::numbered(int(QFileDevice::ReadError), lookup.errorString),
                         Prompt::Icon::Information);
        return prefix;
    }
    return prefix + lookup.description.value_or(QString());
}

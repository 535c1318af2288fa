#include "ProgramLoading.h"

#include "RSComm.h"

Prompt& ProgramLoading::prompt() const {
    return m_link.m_prompt;
}

Clock& ProgramLoading::clock() const {
    return m_link.m_clock;
}

void ProgramLoading::BeginProgramMode() {
    m_link.BeginProgramMode();
}

void ProgramLoading::EndProgramMode() {
    m_link.EndProgramMode();
}

void ProgramLoading::setWritingIdent(bool writing) {
    m_link.m_writingIdent = writing;
}

void ProgramLoading::setReadingIdent(bool reading) {
    m_link.m_readingIdent = reading;
}

void ProgramLoading::InvalidateProgram() {
    m_link.m_validProgram = false;
}

bool ProgramLoading::ReloadBoardCode(const QString& errorTitle) {
    return m_link.ReloadBoardCode(errorTitle);
}

void ProgramLoading::ArmProgramLoad() {
    m_link.ArmProgramLoad();
}

void ProgramLoading::StartProgramLoad() {
    m_link.StartProgramLoad();
}

bool ProgramLoading::SendProgramRecord(const ProgramRecords::Record& record) {
    return m_link.SendProgramRecord(record);
}

bool ProgramLoading::EndProgramLoad() {
    return m_link.EndProgramLoad();
}

std::optional<QByteArray> ProgramLoading::ReadProgramRecord(int address, int bytes) {
    return m_link.ReadProgramRecord(address, bytes);
}

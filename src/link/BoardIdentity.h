#pragma once

#include "LinkResult.h"

#include <QString>

class BoardLink;
class Prompt;

// What the board is and what ails it: the model names of the board codes,
// the fault code and firmware revision registers, and the fault texts of
// support/FaultErrCodes.txt.
class BoardIdentity {
public:
    BoardIdentity(BoardLink& core, Prompt& prompt, QString programFolder);

    static QString TargetboardName(int boardType);
    static QString LCFBoardIndex(int boardType);

    LinkResult<int> faultCode();
    LinkResult<int> firmwareRevision();
    // "Fault Code (1AH): " and the fault's text; a table that cannot be read
    // is reported through the prompt.
    QString FaultDescription(int fltCode);

private:
    BoardLink& m_core;
    Prompt& m_prompt;
    QString m_programFolder;
};

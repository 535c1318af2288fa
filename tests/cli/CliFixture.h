#pragma once

#include "BoardProcess.h"

#include <gtest/gtest.h>
#include <memory>

// telvane-cli against telvane-boardsim over a real pseudo-terminal, from a
// program folder of its own.
class CliFixture : public ::testing::Test {
protected:
    void startBoard(const QStringList& args = {}) {
        board = std::make_unique<BoardProcess>(args);
        ASSERT_TRUE(board->started());
        pty = board->pty();
    }
    // Runs telvane-cli, with --device naming the board unless told otherwise.
    ProcessResult run(const QStringList& args, bool withDevice = true) {
        return RunProgram(QStringLiteral("telvane-cli"),
                          (withDevice ? QStringList{"--device", pty} : QStringList{}) + args, home,
                          {}, 30000);
    }
    void writeFile(const QString& name, const QByteArray& content) {
        ASSERT_TRUE(home.writeFile(name, content));
    }

    std::unique_ptr<BoardProcess> board;
    QString pty;
    ProgramHome home;
};

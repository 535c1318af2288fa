// telvane: the set-up and diagnostics program for the cupper's controller board.
#include "BoardViews.h"
#include "Clock.h"
#include "GuiPrompt.h"
#include "ProgramFolder.h"
#include "QtSerialPort.h"
#include "TargetBoardCommand.h"
#include "ViewTable.h"
#include "Views.h"
#include "frmMDIMain.h"

#ifdef TELVANE_TEST_HOOKS
#include "Driver.h"
#endif

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TELVANE"));
    QApplication::setApplicationDisplayName(QStringLiteral("TELVANE"));

    SteadyClock clock;
    QtSerialPort commControl;
    GuiPrompt prompt;
    ViewTable views;
    RegisterViews(views);
    RegisterBoardViews(views);

    frmMDIMain main(prompt, clock, commControl, ProgramFolder::path(), views);
    InstallBoardCommands(main);
    main.show();

#ifdef TELVANE_TEST_HOOKS
    // Unattended runs of the program's own tests and benchmarks.
    const QStringList driveSteps = Driver::stepsFromEnvironment();
    Driver driver(main, driveSteps);
    if (!driveSteps.isEmpty())
        driver.start();
#endif
    return app.exec();
}

// telvane: the set-up and diagnostics program for the cupper's controller board.
#include "AnySerialPort.h"
#include "AppViews.h"
#include "ApplicationIdentity.h"
#include "BoardViews.h"
#include "Clock.h"
#include "GuiPrompt.h"
#include "PlantCommand.h"
#include "PrintDialogs.h"
#include "ProgramFolder.h"
#include "ReportCommand.h"
#include "TargetBoardCommand.h"
#include "TrendView.h"
#include "ViewTable.h"
#include "Views.h"
#include "frmMDIMain.h"

#ifdef TELVANE_TEST_HOOKS
#include "Driver.h"
#endif

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SetApplicationIdentity();

    SteadyClock clock;
    AnySerialPort commControl;
    GuiPrompt prompt;
    ViewTable views;
    RegisterAppViews(views);
    RegisterViews(views);
    RegisterBoardViews(views);
    RegisterTrendView(views);

    frmMDIMain main(prompt, clock, commControl, ProgramFolder::path(), views);
    QtPrintDialogs printDialogs;
    InstallReportCommand(main.context(), printDialogs, &main);
    main.setPrintDialogs(&printDialogs);
    InstallBoardCommands(main.context(), &main);
    InstallPlantWindow(main.context(), &main);
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

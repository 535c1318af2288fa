// telvane: the set-up and diagnostics program for the cupper's controller board.
#include "ApplicationIdentity.h"
#include "Clock.h"
#include "Driver.h"
#include "GuiPrompt.h"
#include "ProgramFolder.h"
#include "QtSerialPort.h"
#include "Views.h"
#include "frmMDIMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    SetApplicationIdentity();

    SteadyClock clock;
    QtSerialPort commControl;
    GuiPrompt prompt;
    const QStringList driveSteps = Driver::stepsFromEnvironment();

    frmMDIMain main(prompt, clock, commControl, ProgramFolder::path());
    RegisterViews(main);
    main.show();

    Driver driver(main, driveSteps);
    if (!driveSteps.isEmpty())
        driver.start();
    return app.exec();
}

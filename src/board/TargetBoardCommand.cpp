#include "TargetBoardCommand.h"

#include "frmMDIMain.h"
#include "frmTargetBoard.h"

#include <memory>

void InstallBoardCommands(frmMDIMain& main) {
    // The main window's program command picks and checks the project; the
    // window opens for it here.
    main.setTargetBoardOpener([&main](const QString& project) {
        auto window = std::make_unique<frmTargetBoard>(main.context(), &main);
        window->InitializeForm(project);
    });
}

#include "TargetBoardCommand.h"

#include "ViewContext.h"
#include "frmTargetBoard.h"

#include <memory>

void InstallBoardCommands(ViewContext& context, QWidget* parent) {
    // The main window's program command picks and checks the project; the
    // window opens for it here.
    context.setTargetBoardOpener([&context, parent](const QString& project) {
        auto window = std::make_unique<frmTargetBoard>(context, parent);
        window->InitializeForm(project);
    });
}

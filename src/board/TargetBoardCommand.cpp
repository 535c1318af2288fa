#include "TargetBoardCommand.h"

#include "FileDialogs.h"
#include "RSComm.h"
#include "SharedState.h"
#include "ViewContext.h"
#include "frmMDIMain.h"
#include "frmTargetBoard.h"

#include <memory>

void TargetBoardCommand(ViewContext& context, QWidget* parent) {
    QString& project = context.shared().Files.gProgramFilePath;
    const QString chosen = context.fileDialogs().getOpenFileName(
        parent, QStringLiteral("Korvel Files (*.kvl *.KVL)"), project);
    if (!chosen.isEmpty()) {
        project = chosen;
        RSComm& link = context.link();
        link.setDownloadFile(project);
        if (!link.ValidProgram())
            return;
    }
    auto window = std::make_unique<frmTargetBoard>(context, parent);
    window->InitializeForm(project);
}

void InstallBoardCommands(frmMDIMain& main) {
    main.setTargetBoardCommand([&main] { TargetBoardCommand(main.context(), &main); });
}

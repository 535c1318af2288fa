#include "PlantCommand.h"

#include "ViewContext.h"
#include "frmPlant.h"

#include <QPointer>

void InstallPlantWindow(ViewContext& context, QWidget* parent) {
    context.setPlantOpener([&context, parent, open = QPointer<frmPlant>()]() mutable {
        if (open) {
            open->raise();
            open->activateWindow();
            return;
        }
        open = new frmPlant(context, parent);
        open->setAttribute(Qt::WA_DeleteOnClose);
        open->show();
        open->Start();
    });
}

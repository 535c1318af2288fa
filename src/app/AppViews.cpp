#include "AppViews.h"

#include "ViewTable.h"
#include "frmData.h"
#include "frmMain.h"

void RegisterAppViews(ViewTable& table) {
    table.Register(ViewTable::MainDisplay,
                   [](ViewContext& context) { return new frmMain(context); });
    table.Register(ViewTable::ShiftData, [](ViewContext& context) { return new frmData(context); });
}

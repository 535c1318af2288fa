#include "Views.h"

#include "ViewTable.h"
#include "frmDisplayIO.h"
#include "frmSetup.h"
#include "frmTiming.h"

void RegisterViews(ViewTable& table) {
    table.Register(ViewTable::SetupParameters,
                   [](ViewContext& context) { return new frmSetup(context); });
    table.Register(ViewTable::MachineTiming,
                   [](ViewContext& context) { return new frmTiming(context); });
    table.Register(ViewTable::IOStates,
                   [](ViewContext& context) { return new frmDisplayIO(context); });
}

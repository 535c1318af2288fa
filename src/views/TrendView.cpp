#include "TrendView.h"

#include "ViewTable.h"
#include "frmTrend.h"

void RegisterTrendView(ViewTable& table, SampleTime::WallClock wall) {
    table.Register(ViewTable::Trend,
                   [wall](ViewContext& context) { return new frmTrend(context, wall); });
}

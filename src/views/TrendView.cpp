#include "TrendView.h"

#include "ViewTable.h"
#include "frmTrend.h"

void RegisterTrendView(ViewTable& table, const Clock& clock) {
    table.Register(ViewTable::Trend,
                   [&clock](ViewContext& context) { return new frmTrend(context, clock); });
}

#include "BoardViews.h"

#include "ViewTable.h"
#include "frm8470DF1.h"

void RegisterBoardViews(ViewTable& table) {
    table.Register(ViewTable::SerialCommunications,
                   [](ViewContext& context) { return new frm8470DF1(context); });
}

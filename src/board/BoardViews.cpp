#include "BoardViews.h"

#include "ViewTable.h"

void RegisterBoardViews(ViewTable& table) {
    (void)table;
}

#include "Views.h"

#include "frmMDIMain.h"
#include "frmSetup.h"

namespace {
// Positions in the Window menu's list of views.
constexpr int SetupView = 1;
} // namespace

void RegisterViews(frmMDIMain& main) {
    main.setViewFactory(SetupView, [](frmMDIMain& host) { return new frmSetup(host); });
}

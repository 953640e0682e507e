#include "panel/style/panel_resources.h"

#include <QtGlobal>

void loadPanelResources() {
    // The resources live in a static library, so nothing would pull them in without this call.
    static const bool loaded = [] {
        Q_INIT_RESOURCE(panel_resources);
        return true;
    }();
    Q_UNUSED(loaded);
}

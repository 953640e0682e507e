#pragma once

// Registers the icons and fonts compiled into the panel library; safe to call repeatedly.
void loadPanelResources();

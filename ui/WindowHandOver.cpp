#include "ui/WindowHandOver.h"

// Placeholder bodies until the main panel exists.
void showPanelAfterConfirm() {}
void backToDirectoryWindow() {}
void passLanguageToDirectoryWindow() {}

#pragma once

// The hand-over between the directory window and the main panel; each runs at
// the end of the slot that triggers it.

// After a Confirm that left sharedCatalogue set: directory window out, main
// panel in with the new catalogue's rows.
void showPanelAfterConfirm();
// The main panel's Back: main panel out, directory window in.
void backToDirectoryWindow();
// After a language switch in the main panel: the hidden directory window too.
void passLanguageToDirectoryWindow();

#pragma once

#include "platform/DesktopShell.h"
#include "results/ResultAction.h"
#include "results/ResultActionHost.h"
#include "results/ResultSelection.h"

namespace quillfen {

// Runs one action on the list's rows as they are at this moment, which may be while a search is
// still adding rows. The opening actions take the first selected row and do nothing without one;
// Cut, Copy and Copy File Name take every selected row in list order and replace the clipboard
// even when none is selected. The editor is the "Editor" setting split into words with the path
// added as one more word, started directly and not waited for. Move to Trash tries every selected
// row and leaves the list to the host.
void runResultAction(ResultAction action, ResultSelection& selection, ResultActionHost& host,
                     platform::DesktopShell& shell);

}  // namespace quillfen

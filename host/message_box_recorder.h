// An unattended run must not stop at a message box. When asked, the host
// tool prints every box the plug-in shows as "[caption] text" on standard
// error, the form in which the POSIX build shows them, and answers it with OK.
#pragma once

// Watches the calling thread, the one that calls the plug-in, until the
// process ends.
void RecordMessageBoxes();

// The programs' help: the help file in the start folder, opened at a topic.
#pragma once

// Opens the help file `fileName` of the start folder (its name found
// without regard to case) at the topic `contextId`, or at its index for a
// context below 2. A missing file is reported with "Can´t locate file" and
// its path, one the desktop cannot show with "Can´t show help file".
void ShowHelp(int contextId, const char* fileName);

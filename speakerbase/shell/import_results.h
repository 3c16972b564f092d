// What every import of ksb does with its reader's result: the messages
// shown in their order, then the records appended as the session's (the
// 501st refused with "Max. amount of speakers in database is 500"), the last
// one current and listed. Without a record the current record stays.
#pragma once

#include "speakerbase/imports/speaker_import.h"

void AppendImportedRecords(const SpeakerImport& result);

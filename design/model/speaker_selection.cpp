#include "design/model/speaker_selection.h"

#include "framework/core/services.h"

int BeginSpeakerSelection(SpeakerDatabaseIndex& index, int suggested) {
  if (index.path.empty()) {
    ShowMessage(kMustLoadSpeakerDatabaseMessage, nullptr, kMsgOk);
    return 0;
  }
  const int count = int(index.entries.size());
  if (suggested > 0 && suggested < count) index.position = suggested;
  if (index.position < 0 || index.position >= count) index.position = 0;
  return 1;
}

SpeakerSelection OpenSpeakerSelection(const SpeakerDatabaseIndex& index) {
  SpeakerSelection selection;
  for (const SpeakerIndexEntry& entry : index.entries) selection.names.push_back(entry.name);
  ChangeSpeakerSelection(index, selection, index.position);
  return selection;
}

void ChangeSpeakerSelection(const SpeakerDatabaseIndex& index, SpeakerSelection& selection, int entry) {
  if (entry < 0 || size_t(entry) >= selection.names.size()) return;
  selection.selection = entry;
  selection.header = SpeakerType{};
  if (ReadIndexedHeader(index, entry, selection.header)) selection.description = selection.header.Comment();
  else selection.description.clear();
}

int ConfirmSpeakerSelection(SpeakerDatabaseIndex& index, const SpeakerSelection& selection) {
  if (selection.names.empty()) return -1;
  index.position = selection.selection;
  return index.position;
}

// The project reader of File/Open: a project of any version parsed and
// committed with the result block behind it, then saved and read again.
#include "design/document/project_document.h"
#include "design/model/project.h"
#include "fuzz/fuzz_check.h"

namespace {

bool ReadDocument(FuzzInput bytes) {
  MemoryReader reader(bytes);
  ProjectModel model;
  if (!ParseProject(reader, model)) return false;
  CommitProjectDocument(model, "FUZZ.KPR");
  return true;
}

FuzzBytes DocumentBytes() {
  MemoryWriter writer;
  FuzzRequire(WriteProjectDocument(writer), "the document is written");
  return writer.Take();
}

// The document with its path and modified mark.
FuzzBytes DocumentState() {
  FuzzBytes state = DocumentBytes();
  state.insert(state.end(), gProject.path.begin(), gProject.path.end());
  state.push_back(uint8_t(gProject.modified));
  state.push_back(uint8_t(gProject.modified >> 8));
  return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  ResetFuzzProject();
  CheckReadWriteRead(FuzzInput(data, size), ReadDocument, DocumentBytes, DocumentState);
  return 0;
}

// The older shape files beside older speaker databases ("TARNIK 1.0     ",
// "TARNIK V1.27" and project-magic layouts).
#include "design/model/shape_file.h"
#include "fuzz/shape_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  CheckShapeReader(FuzzInput(data, size), [](FuzzInput bytes) { return ReadShapeFile(bytes); });
  return 0;
}

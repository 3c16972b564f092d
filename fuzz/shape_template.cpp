// The shape templates the programs carry as RCDATA blocks ("LSTMPL",
// "XYZ_CROSS").
#include "design/model/shape_file.h"
#include "fuzz/shape_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  CheckShapeReader(FuzzInput(data, size), [](FuzzInput bytes) { return ReadShapeResource(bytes); });
  return 0;
}

// The EASE face files of the exchange: the input read as an EASE 3 face file
// (.xfc) and as an EASE 2 one (.exp). What a read gives is written and reads
// back to the same text, and every face read is a room face whose items
// name its vertices.
#include <string>
#include <string_view>
#include <vector>

#include "design/model/ease_exchange.h"
#include "framework/core/text_lines.h"
#include "framework/model/layers.h"
#include "fuzz/fuzz_check.h"

namespace {

using FaceReader = FaceImport (*)(const std::vector<std::string>&);

FaceImport gRead;

std::vector<const GraphicObject*> FacesRead() {
  std::vector<const GraphicObject*> faces;
  for (const GraphicObject* face = gRead.faces.list().first; face; face = face->next) faces.push_back(face);
  return faces;
}

void CheckRoomFaces() {
  for (const GraphicObject* face : FacesRead()) {
    FuzzRequire(face->kind == kKindFace && face->layer == kRoomLayer && face->state == 0, "a face read is a room face");
    FuzzRequire(face->vertexCount >= 3 && face->itemCount == face->vertexCount + 1 && ItemsNameTheirVertices(*face),
                "a face read is one polygon over its vertices");
    FuzzRequire(face->items[1].op == kOpAttribute && face->items[1].index == 0, "a face read has material 0");
  }
}

FuzzBytes Bytes(const std::string& text) { return FuzzBytes(text.begin(), text.end()); }

FuzzBytes WriteEase3() { return Bytes(FormatFacesEase3(FacesRead())); }

FuzzBytes WriteEase2() {
  std::string text;
  FuzzRequire(FormatFacesEase2(FacesRead(), text), "a face read from EASE 2 fits its ten lines");
  return Bytes(text);
}

void CheckLayout(FuzzInput input, FaceReader readFaces, FuzzBytes (*write)()) {
  gRead = FaceImport{};
  auto read = [readFaces](FuzzInput bytes) {
    gRead = readFaces(SplitTextLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    ShowEaseReadMessages(gRead.refusal, gRead.leftOut);
    CheckRoomFaces();
    return gRead.refusal == nullptr;
  };
  CheckReadWriteRead(input, read, write);
  gRead = FaceImport{};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetUpFuzzRun();
  const FuzzInput input(data, size);
  CheckLayout(input, ReadFacesEase3, WriteEase3);
  CheckLayout(input, ReadFacesEase2, WriteEase2);
  return 0;
}

// Fixtures of the project file tests: a clean project in a temporary folder,
// file helpers, and a fingerprint of the live model to show that a failed
// read left it as it was.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "design/document/project_document.h"
#include "design/model/materials.h"
#include "design/model/project.h"
#include "design/model/project_file.h"
#include "tests/design/model/speaker_fixtures.h"

struct ModelFingerprint {
  const GraphicObject* first = nullptr;
  uint32_t objects = 0;
  int16_t types = 0;
  int16_t materials = 0;
  std::string path;
  uint16_t modified = 0;
  std::string layer0;

  static ModelFingerprint Now() {
    return {gObjects.model.first, CountObjects(),    gSpeakerModel.types.count, gMaterials.project.count,
            gProject.path,        gProject.modified, gLayers.records[0].name};
  }
  bool operator==(const ModelFingerprint&) const = default;
};

class ProjectTest : public SpeakerModelTest {
 protected:
  void SetUp() override {
    SpeakerModelTest::SetUp();
    NewProject();
    char pattern[] = "/tmp/korvane_project_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::filesystem::remove_all(dir_);
    SpeakerModelTest::TearDown();
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  static std::vector<uint8_t> FileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
  }
  static void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  // The bytes a save of the live model writes.
  static std::vector<uint8_t> ProjectBytes() {
    MemoryWriter w;
    EXPECT_TRUE(WriteProjectFile(w));
    return w.Take();
  }

  // A triangle on `layer` whose material item names `material`.
  static GraphicObject* AddFace(uint32_t layer, uint16_t material = 0, uint32_t colour = 7) {
    GraphicObject* o = CreateObject(0, 3, 4);
    o->vertices[1] = {1, 0, 0};
    o->vertices[2] = {0, 1, 0};
    const ObjectItem items[] = {{kOpStart, 0}, {kOpAttribute, material}, {kOpLineTo, 1}, {kOpClose, 2}};
    std::copy(std::begin(items), std::end(items), o->items);
    o->kind = kKindFace;
    o->layer = layer;
    o->colour = colour;
    AppendObject(o);
    return o;
  }
  // A current-layout type on the project's table with `shape`.
  int16_t AddNamedType(const char* brand, GraphicObject* shape) {
    const int16_t index = AddType(shape);
    gSpeakerModel.types.At(index)->SetBrand(brand);
    gSpeakerModel.types.At(index)->SetLayoutFlag(kCurrentSpeakerLayout);
    return index;
  }
  static GraphicObject* PlaceSpeaker(const char* name, int16_t typeIndex, uint16_t on) {
    Loudspeaker speaker;
    speaker.name = name;
    speaker.typeIndex = typeIndex;
    speaker.on = on;
    speaker.position = {2, 1, 1.5f};
    GraphicObject* object = MakeSpeakerObject();
    EXPECT_EQ(BuildSpeakerSymbol(speaker, object, true), 1);
    return object;
  }

  std::string dir_;
};

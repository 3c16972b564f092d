#include "framework/model/layers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(LayersTest, ResetNamesEveryLayerAndShowsOnlyTheFirstThree) {
  LayerTable table;
  ResetLayers(table);
  EXPECT_EQ(table.records[0].name, "LAYER 1");
  EXPECT_EQ(table.records[31].name, "LAYER 32");
  for (int i = 0; i < kLayerCount; ++i) EXPECT_EQ(table.IsVisible(uint32_t(i)), i < 3) << i;
  EXPECT_FALSE(table.IsVisible(32));
}

TEST(LayersTest, SixteenRecordsAreStoredAsNameFieldAndFlag) {
  LayerTable table;
  ResetLayers(table);
  table.records[1].name = "AUDIENCE";
  table.records[15].visible = 1;
  table.records[16].name = "NOT STORED";
  MemoryWriter w;
  ASSERT_TRUE(WriteStoredLayers(w, table));
  const std::vector<uint8_t>& bytes = w.bytes();
  ASSERT_EQ(bytes.size(), kStoredLayersSize);
  EXPECT_EQ(ReadTextField(std::span(bytes).subspan(24, kLayerNameSize)), "AUDIENCE");
  EXPECT_EQ(LoadU16(&bytes[24 + 22]), 1);
  EXPECT_EQ(LoadU16(&bytes[15 * 24 + 22]), 1);

  LayerTable read;
  ResetLayers(read);
  read.records[16].name = "KEPT";
  MemoryReader r(bytes);
  ASSERT_TRUE(ReadStoredLayers(r, read));
  for (int i = 0; i < kStoredLayerCount; ++i) EXPECT_EQ(read.records[size_t(i)], table.records[size_t(i)]) << i;
  EXPECT_EQ(read.records[16].name, "KEPT");
}

// A name that fills its field without a NUL reads as the 21 characters a
// save keeps, so that reading and saving agree.
TEST(LayersTest, ANameWithoutItsNulReadsAsItIsSaved) {
  std::vector<uint8_t> bytes(kStoredLayersSize, 0);
  std::fill_n(bytes.begin(), kLayerNameSize, uint8_t('N'));
  LayerTable table;
  MemoryReader r(bytes);
  ASSERT_TRUE(ReadStoredLayers(r, table));
  EXPECT_EQ(table.records[0].name, std::string(kLayerNameSize - 1, 'N'));
  MemoryWriter w;
  ASSERT_TRUE(WriteStoredLayers(w, table));
  LayerTable again;
  MemoryReader back(w.bytes());
  ASSERT_TRUE(ReadStoredLayers(back, again));
  EXPECT_EQ(again.records[0], table.records[0]);
}

TEST(LayersTest, ShortInputLeavesTheTableAsItWas) {
  LayerTable table;
  ResetLayers(table);
  std::vector<uint8_t> bytes(kStoredLayersSize - 1, 'A');
  MemoryReader r(bytes);
  EXPECT_FALSE(ReadStoredLayers(r, table));
  EXPECT_EQ(table.records[0].name, "LAYER 1");
}

}  // namespace

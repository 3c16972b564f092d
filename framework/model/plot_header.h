// The plot-header texts: 742 bytes that the print-header dialog edits and
// that project files carry as the data of their settings object. Bytes 0-161
// are reserved (zero), then eight rows of a label (11 bytes) and a text (41
// bytes), then four free texts of 41 bytes. Every string ends inside its
// field.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr size_t kPlotHeaderSize = 742;
constexpr int kPlotHeaderRows = 8;
constexpr int kPlotHeaderFreeTexts = 4;
constexpr size_t kPlotHeaderRowsOffset = 162;
constexpr size_t kPlotHeaderLabelSize = 11;
constexpr size_t kPlotHeaderTextSize = 41;
constexpr size_t kPlotHeaderRowSize = kPlotHeaderLabelSize + kPlotHeaderTextSize;  // 52
constexpr size_t kPlotHeaderFreeTextsOffset = 578;

struct PlotHeaderBlock {
  std::array<uint8_t, kPlotHeaderSize> bytes{};

  std::string Label(int row) const { return Field(RowOffset(row), kPlotHeaderLabelSize); }
  std::string Text(int row) const { return Field(RowOffset(row) + kPlotHeaderLabelSize, kPlotHeaderTextSize); }
  std::string FreeText(int index) const { return Field(FreeTextOffset(index), kPlotHeaderTextSize); }
  void SetLabel(int row, std::string_view text) { SetField(RowOffset(row), kPlotHeaderLabelSize, text); }
  void SetText(int row, std::string_view text) {
    SetField(RowOffset(row) + kPlotHeaderLabelSize, kPlotHeaderTextSize, text);
  }
  void SetFreeText(int index, std::string_view text) { SetField(FreeTextOffset(index), kPlotHeaderTextSize, text); }

  bool operator==(const PlotHeaderBlock&) const = default;

 private:
  static size_t RowOffset(int row) { return kPlotHeaderRowsOffset + kPlotHeaderRowSize * size_t(row); }
  static size_t FreeTextOffset(int index) { return kPlotHeaderFreeTextsOffset + kPlotHeaderTextSize * size_t(index); }
  std::string Field(size_t offset, size_t width) const;
  void SetField(size_t offset, size_t width, std::string_view text);
};
extern PlotHeaderBlock gPlotHeader;

// All 742 bytes zero.
void ResetPlotHeader();

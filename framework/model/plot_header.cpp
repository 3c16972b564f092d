#include "framework/model/plot_header.h"

#include "framework/core/byte_codec.h"
#include "framework/core/state_reset.h"

PlotHeaderBlock gPlotHeader;

void ResetPlotHeader() { gPlotHeader = PlotHeaderBlock{}; }

namespace {
const StateReset kReset(ResetPlotHeader);
}  // namespace

std::string PlotHeaderBlock::Field(size_t offset, size_t width) const {
  return ReadTextField(std::span(bytes).subspan(offset, width));
}

void PlotHeaderBlock::SetField(size_t offset, size_t width, std::string_view text) {
  WriteTextField(std::span(bytes).subspan(offset, width), text);
}

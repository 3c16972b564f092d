// Installs core services that a test drives: a clock that moves only when
// told (or by a fixed step at every read), a progress window that records
// what it shows and reports Cancel at a chosen update, a wait-cursor depth
// and a redraw count. The services before it come back when it goes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/services.h"

class FakeServices {
 public:
  FakeServices();
  ~FakeServices();
  FakeServices(const FakeServices&) = delete;
  FakeServices& operator=(const FakeServices&) = delete;

  // Each read of the clock returns `clock`, then adds `clockStep` to it.
  uint32_t clock = 0;
  uint32_t clockStep = 0;
  // The 1-based number of the progress update that reports Cancel; 0 never.
  int cancelAtUpdate = 0;

  std::string progressTitle;
  std::vector<int> percents;               // every update, in order
  std::vector<std::string> progressTexts;  // the text of every update
  int progressOpen = 0;                    // 1 while the progress window is open
  int waitDepth = 0;
  int redraws = 0;

 private:
  static FakeServices* active_;
  CoreServices previous_;
};

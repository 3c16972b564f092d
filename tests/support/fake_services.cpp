#include "tests/support/fake_services.h"

FakeServices* FakeServices::active_ = nullptr;

FakeServices::FakeServices() {
  active_ = this;
  CoreServices fake;
  fake.openProgress = [](const char* title, const char*, const char*) {
    if (active_->progressOpen) return 0;
    active_->progressOpen = 1;
    active_->progressTitle = title ? title : "";
    return 1;
  };
  fake.updateProgress = [](int percent, const char* text) {
    active_->percents.push_back(percent);
    active_->progressTexts.push_back(text ? text : "");
    return active_->cancelAtUpdate > 0 && int(active_->percents.size()) >= active_->cancelAtUpdate ? 1 : 0;
  };
  fake.closeProgress = [] { active_->progressOpen = 0; };
  fake.waitCursor = [](bool on) { active_->waitDepth += on ? 1 : -1; };
  fake.redraw = [] { ++active_->redraws; };
  fake.tickCount = [] {
    const uint32_t now = active_->clock;
    active_->clock += active_->clockStep;
    return now;
  };
  previous_ = InstallCoreServices(fake);
}

FakeServices::~FakeServices() {
  InstallCoreServices(previous_);
  active_ = nullptr;
}

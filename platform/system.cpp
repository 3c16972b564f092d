#include <QApplication>
#include <QCursor>
#include <QOperatingSystemVersion>
#include <QSysInfo>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>

#include "platform/system.h"
#include "platform/test_seams.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

struct SystemState {
  bool waitCursor = false;
  std::optional<std::uint64_t> fixedClockMs;  // the test clock, in ms of local time
  std::uint32_t fixedTicks = 0;
  std::uint32_t clockStep = 0;  // ms the test clock moves on after each TickCount
};
SystemState& Sys() {
  static SystemState state;
  return state;
}

fs::path PathOf(std::string_view path) { return fs::path(std::u8string(path.begin(), path.end())); }

}  // namespace

std::uint32_t TickCount() {
  auto& s = Sys();
  if (s.fixedClockMs) {
    const std::uint32_t ticks = s.fixedTicks;
    test::AdvanceClock(s.clockStep);
    return ticks;
  }
  static const auto start = std::chrono::steady_clock::now();
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  return std::uint32_t(elapsed.count());
}

std::tm LocalTime() {
  auto& s = Sys();
  std::time_t now = s.fixedClockMs ? std::time_t(*s.fixedClockMs / 1000) : std::time(nullptr);
  std::tm result{};
  localtime_r(&now, &result);
  return result;
}

bool FileExists(std::string_view path) {
  std::error_code error;
  return fs::is_regular_file(PathOf(path), error);
}

std::int64_t FileSize(std::string_view path) {
  std::error_code error;
  auto size = fs::file_size(PathOf(path), error);
  return error ? -1 : std::int64_t(size);
}

bool CopyFileOverwrite(std::string_view from, std::string_view to) {
  std::error_code error;
  return fs::copy_file(PathOf(from), PathOf(to), fs::copy_options::overwrite_existing, error) && !error;
}

bool DeleteFile(std::string_view path) {
  std::error_code error;
  return fs::remove(PathOf(path), error) && !error;
}

bool SetWaitCursor(bool on) {
  bool was = Sys().waitCursor;
  if (on == was) return was;
  Sys().waitCursor = on;
  if (!QApplication::instance()) return was;  // no screen to show it on
  if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
  return was;
}

bool IsWaitCursorOn() { return Sys().waitCursor; }

SystemVersion GetSystemVersion() {
  QStringList parts = QSysInfo::kernelVersion().split(u'.');
  SystemVersion version;
  if (parts.size() > 0) version.major = parts[0].toInt();
  if (parts.size() > 1) version.minor = parts[1].toInt();
  return version;
}

namespace test {

void SetClock(std::uint32_t ticks, std::time_t localTime) {
  Sys().fixedTicks = ticks;
  Sys().fixedClockMs = std::uint64_t(localTime) * 1000;
}

void AdvanceClock(std::uint32_t milliseconds) {
  auto& s = Sys();
  if (!s.fixedClockMs) return;
  s.fixedTicks += milliseconds;
  *s.fixedClockMs += milliseconds;
}

void SetClockStep(std::uint32_t milliseconds) { Sys().clockStep = milliseconds; }

void UseRealClock() {
  Sys().fixedClockMs.reset();
  Sys().clockStep = 0;
}

}  // namespace test
}  // namespace platform

#include "framework/core/byte_codec.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <locale.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/core/state_reset.h"

namespace {

template <typename T, T (*Load)(const uint8_t*)>
bool ReadAt(std::span<const uint8_t> buf, size_t offset, T& out) {
  if (!InBounds(buf.size(), offset, sizeof(T))) return false;
  out = Load(buf.data() + offset);
  return true;
}

template <typename T, void (*Store)(uint8_t*, T)>
bool WriteAt(std::span<uint8_t> buf, size_t offset, T v) {
  if (!InBounds(buf.size(), offset, sizeof(T))) return false;
  Store(buf.data() + offset, v);
  return true;
}

}  // namespace

bool ReadU16At(std::span<const uint8_t> b, size_t o, uint16_t& v) { return ReadAt<uint16_t, LoadU16>(b, o, v); }
bool ReadI16At(std::span<const uint8_t> b, size_t o, int16_t& v) { return ReadAt<int16_t, LoadI16>(b, o, v); }
bool ReadU32At(std::span<const uint8_t> b, size_t o, uint32_t& v) { return ReadAt<uint32_t, LoadU32>(b, o, v); }
bool ReadI32At(std::span<const uint8_t> b, size_t o, int32_t& v) { return ReadAt<int32_t, LoadI32>(b, o, v); }
bool ReadF32At(std::span<const uint8_t> b, size_t o, float& v) { return ReadAt<float, LoadF32>(b, o, v); }
bool ReadF64At(std::span<const uint8_t> b, size_t o, double& v) { return ReadAt<double, LoadF64>(b, o, v); }

bool WriteU16At(std::span<uint8_t> b, size_t o, uint16_t v) { return WriteAt<uint16_t, StoreU16>(b, o, v); }
bool WriteI16At(std::span<uint8_t> b, size_t o, int16_t v) { return WriteAt<int16_t, StoreI16>(b, o, v); }
bool WriteU32At(std::span<uint8_t> b, size_t o, uint32_t v) { return WriteAt<uint32_t, StoreU32>(b, o, v); }
bool WriteI32At(std::span<uint8_t> b, size_t o, int32_t v) { return WriteAt<int32_t, StoreI32>(b, o, v); }
bool WriteF32At(std::span<uint8_t> b, size_t o, float v) { return WriteAt<float, StoreF32>(b, o, v); }
bool WriteF64At(std::span<uint8_t> b, size_t o, double v) { return WriteAt<double, StoreF64>(b, o, v); }

std::string ReadTextField(std::span<const uint8_t> field) {
  auto end = std::find(field.begin(), field.end(), uint8_t(0));
  return std::string(field.begin(), end);
}

void WriteTextField(std::span<uint8_t> field, std::string_view text) {
  if (field.empty()) return;
  WriteTextFieldFull(field.first(field.size() - 1), text);
  field.back() = 0;
}

void WriteTextFieldFull(std::span<uint8_t> field, std::string_view text) {
  size_t n = std::min(field.size(), text.size());
  std::copy_n(text.begin(), n, field.begin());  // an empty view may hold no pointer at all
  std::fill(field.begin() + n, field.end(), uint8_t(0));
}

// ---- ByteReader ----

bool ByteReader::Bytes(void* out, size_t count) {
  if (!ok_) return false;
  if (count == 0) return true;
  if (count > Remaining() || !ReadRaw(static_cast<uint8_t*>(out), count)) ok_ = false;
  return ok_;
}

bool ByteReader::Skip(uint64_t count) {
  if (!ok_) return false;
  if (count > Remaining() || !SkipRaw(count)) ok_ = false;
  return ok_;
}

bool ByteReader::Seek(uint64_t position) {
  if (!ok_) return false;
  if (position > Position() + Remaining() || !SeekRaw(position)) ok_ = false;
  return ok_;
}

bool ByteReader::U8(uint8_t& v) { return Bytes(&v, 1); }

bool ByteReader::I8(int8_t& v) {
  uint8_t b;
  if (!U8(b)) return false;
  v = int8_t(b);
  return true;
}

namespace {
template <typename T, T (*Load)(const uint8_t*)>
bool ReadValue(ByteReader& r, T& v) {
  uint8_t b[sizeof(T)];
  if (!r.Bytes(b, sizeof b)) return false;
  v = Load(b);
  return true;
}
}  // namespace

bool ByteReader::U16(uint16_t& v) { return ReadValue<uint16_t, LoadU16>(*this, v); }
bool ByteReader::I16(int16_t& v) { return ReadValue<int16_t, LoadI16>(*this, v); }
bool ByteReader::U32(uint32_t& v) { return ReadValue<uint32_t, LoadU32>(*this, v); }
bool ByteReader::I32(int32_t& v) { return ReadValue<int32_t, LoadI32>(*this, v); }
bool ByteReader::F32(float& v) { return ReadValue<float, LoadF32>(*this, v); }
bool ByteReader::F64(double& v) { return ReadValue<double, LoadF64>(*this, v); }

bool ByteReader::Text(size_t width, std::string& text) {
  std::vector<uint8_t> field;
  if (!Block(width, field)) return false;
  text = ReadTextField(field);
  return true;
}

bool ByteReader::Block(size_t count, std::vector<uint8_t>& out) {
  if (!ok_ || count > Remaining()) {
    ok_ = false;
    return false;
  }
  std::vector<uint8_t> bytes(count);
  if (!Bytes(bytes.data(), count)) return false;
  out = std::move(bytes);
  return true;
}

bool MemoryReader::ReadRaw(uint8_t* out, size_t count) {
  std::memcpy(out, bytes_.data() + pos_, count);
  pos_ += count;
  return true;
}

bool MemoryReader::SkipRaw(uint64_t count) {
  pos_ += size_t(count);
  return true;
}

bool MemoryReader::SeekRaw(uint64_t position) {
  pos_ = size_t(position);
  return true;
}

FileReader::FileReader(const std::string& path) {
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) return;
  if (std::fseek(file_, 0, SEEK_END) != 0) {
    std::fclose(file_);
    file_ = nullptr;
    return;
  }
  long size = std::ftell(file_);
  if (size < 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
    std::fclose(file_);
    file_ = nullptr;
    return;
  }
  size_ = uint64_t(size);
}

FileReader::~FileReader() {
  if (file_) std::fclose(file_);
}

bool FileReader::ReadRaw(uint8_t* out, size_t count) {
  if (!file_ || std::fread(out, 1, count, file_) != count) return false;
  pos_ += count;
  return true;
}

bool FileReader::SkipRaw(uint64_t count) { return SeekRaw(pos_ + count); }

bool FileReader::SeekRaw(uint64_t position) {
  if (!file_ || std::fseek(file_, long(position), SEEK_SET) != 0) return false;
  pos_ = position;
  return true;
}

// ---- ByteWriter ----

bool ByteWriter::Bytes(const void* data, size_t count) {
  if (!ok_) return false;
  if (count != 0 && !WriteRaw(static_cast<const uint8_t*>(data), count)) ok_ = false;
  return ok_;
}

bool ByteWriter::Zeros(size_t count) {
  static const uint8_t zeros[256] = {};
  while (count > 0 && ok_) {
    size_t n = std::min(count, sizeof zeros);
    Bytes(zeros, n);
    count -= n;
  }
  return ok_;
}

bool ByteWriter::U8(uint8_t v) { return Bytes(&v, 1); }
bool ByteWriter::I8(int8_t v) { return U8(uint8_t(v)); }

namespace {
template <typename T, void (*Store)(uint8_t*, T)>
bool WriteValue(ByteWriter& w, T v) {
  uint8_t b[sizeof(T)];
  Store(b, v);
  return w.Bytes(b, sizeof b);
}
}  // namespace

bool ByteWriter::U16(uint16_t v) { return WriteValue<uint16_t, StoreU16>(*this, v); }
bool ByteWriter::I16(int16_t v) { return WriteValue<int16_t, StoreI16>(*this, v); }
bool ByteWriter::U32(uint32_t v) { return WriteValue<uint32_t, StoreU32>(*this, v); }
bool ByteWriter::I32(int32_t v) { return WriteValue<int32_t, StoreI32>(*this, v); }
bool ByteWriter::F32(float v) { return WriteValue<float, StoreF32>(*this, v); }
bool ByteWriter::F64(double v) { return WriteValue<double, StoreF64>(*this, v); }

bool ByteWriter::Text(size_t width, std::string_view text) {
  std::vector<uint8_t> field(width);
  WriteTextField(field, text);
  return Bytes(field.data(), field.size());
}

bool MemoryWriter::WriteRaw(const uint8_t* data, size_t count) {
  bytes_.insert(bytes_.end(), data, data + count);
  return true;
}

// ---- SafeFileWriter ----

namespace {

namespace fs = std::filesystem;

SaveStep gSimulatedSaveFailure = SaveStep::kNone;
void ResetSimulatedSaveFailure() { gSimulatedSaveFailure = SaveStep::kNone; }
const StateReset kReset(ResetSimulatedSaveFailure);

// True when the step is to fail: errno is then EIO, as after a failing disk.
bool SimulatedFailure(SaveStep step) {
  if (gSimulatedSaveFailure != step) return false;
  errno = EIO;
  return true;
}

// Whether the open file `fd` is the one `path` names now.
bool IsFileAt(int fd, const std::string& path) {
  struct stat held = {};
  struct stat named = {};
  return fstat(fd, &held) == 0 && lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

// Locks a save's temporary file. A file system without locks counts as
// granting them, so that saves work there too (two saves of one file at the
// same moment are then not kept apart).
bool LockTempFile(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK; }

// Removes the temporary file `temp` that a save which died left behind: a
// plain file that no running save holds locked. True when it was removed or
// is gone; false, with errno EEXIST, when something else has that name.
bool RemoveStaleTempFile(const std::string& temp) {
  struct stat st = {};
  if (lstat(temp.c_str(), &st) != 0) return errno == ENOENT;
  bool removed = false;
  if (S_ISREG(st.st_mode)) {
    const int fd = open(temp.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;
    // Holding the lock, the file is checked to be still the one of that name
    // before the name goes: a save that created it meanwhile finds it gone.
    removed = LockTempFile(fd) && IsFileAt(fd, temp) && unlink(temp.c_str()) == 0;
    close(fd);
  }
  if (!removed) errno = EEXIST;
  return removed;
}

// Creates `temp` and locks it for the save; -1 with errno on failure. A
// stale temporary file of the same name is removed first.
int CreateTempFile(const std::string& temp) {
  if (SimulatedFailure(SaveStep::kCreate)) return -1;
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      // Another save may have taken the new file for a stale one before it
      // was locked; it is then no longer the one of that name.
      if (LockTempFile(fd) && IsFileAt(fd, temp)) return fd;
      close(fd);
      errno = EBUSY;
      return -1;
    }
    if (errno != EEXIST || !RemoveStaleTempFile(temp)) return -1;
  }
  errno = EBUSY;
  return -1;
}

// 0 when the user may replace the existing file `st` describes at `path`;
// otherwise why not: EACCES for a file without any write permission, which
// holds root back too, or what the system's access check says.
int WriteRefusal(const std::string& path, const struct stat& st) {
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return EACCES;
  return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

// The file `path` names once the symbolic links of its last part are
// followed (a dangling link gives the file it would name). False for a loop
// of links.
bool FollowSymbolicLinks(const std::string& path, std::string& file) {
  constexpr int kMaxLinks = 40;  // as many as the system follows in a path
  fs::path current = path;
  for (int links = 0; links <= kMaxLinks; ++links) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(current, error))) {
      file = current.string();
      return true;
    }
    const fs::path link = fs::read_symlink(current, error);
    if (error) return false;
    current = link.is_absolute() ? link : current.parent_path() / link;
  }
  return false;
}

uint32_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~uint32_t(mask);
}

}  // namespace

std::string WithSystemReason(std::string_view message, int error) {
  std::string text(message);
  if (error == 0) return text;
  // The C locale's words: the messages are English whatever the user's
  // language, and plain ASCII in their code page.
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
  const char* reason = cLocale ? strerror_l(error, cLocale) : nullptr;
  if (reason && *reason) text.append("\n").append(reason);
  return text;
}

SafeFileWriter::SafeFileWriter(const std::string& targetPath) {
  error_ = Open(targetPath);
  if (error_ != 0) Fail();
}

int SafeFileWriter::Open(const std::string& targetPath) {
  if (!FollowSymbolicLinks(targetPath, target_)) return ELOOP;
  struct stat st = {};
  if (stat(target_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return EINVAL;
    if (const int refusal = WriteRefusal(target_, st)) return refusal;
    mode_ = st.st_mode & 07777;
    owner_ = st.st_uid;
    group_ = st.st_gid;
  } else if (errno != ENOENT) {
    return errno;
  } else {
    mode_ = NewFileMode();
  }
  const std::string temp = target_ + kSaveTempSuffix;
  const int fd = CreateTempFile(temp);
  if (fd < 0) return errno;
  file_ = fdopen(fd, "wb");
  if (!file_) {
    const int error = errno;
    unlink(temp.c_str());
    close(fd);
    return error;
  }
  temp_ = temp;
  return 0;
}

SafeFileWriter::~SafeFileWriter() {
  // The name goes while the lock is held, so no other save can have taken it.
  if (!temp_.empty()) unlink(temp_.c_str());
  if (file_) std::fclose(file_);
}

bool SafeFileWriter::WriteRaw(const uint8_t* data, size_t count) {
  if (file_ && !SimulatedFailure(SaveStep::kWrite) && std::fwrite(data, 1, count, file_) == count) return true;
  error_ = errno;
  return false;
}

bool SafeFileWriter::Commit() {
  if (!file_ || !ok()) return false;
  const int fd = fileno(file_);
  bool good = !SimulatedFailure(SaveStep::kFlush) && std::fflush(file_) == 0 && fsync(fd) == 0;
  // Only root may give a file away; as neither owner nor group touches what
  // the file holds, a refusal is no failure.
  if (good && owner_ >= 0) {
    [[maybe_unused]] const bool ownerKept = fchown(fd, uid_t(owner_), gid_t(group_)) == 0;
  }
  good = good && fchmod(fd, mode_t(mode_)) == 0;
  // The temporary file is renamed while it is still open and locked.
  good = good && !SimulatedFailure(SaveStep::kRename) && std::rename(temp_.c_str(), target_.c_str()) == 0;
  if (!good) {
    error_ = errno;
    Fail();
    return false;
  }
  temp_.clear();
  // Everything was on the disk before the rename; closing adds nothing to lose.
  std::fclose(file_);
  file_ = nullptr;
  return true;
}

void SimulateSaveFailure(SaveStep step) { gSimulatedSaveFailure = step; }

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, uint64_t limit) {
  FileReader reader(path);
  if (!reader.IsOpen() || reader.Size() > limit) return false;
  return reader.Block(size_t(reader.Size()), out);
}

// Little-endian byte codec shared by every file format of the suite.
//
// The stored formats are the old 32-bit layouts, so nothing is ever copied
// between a struct and a file: every field is read and written here, at its
// byte offset, in little-endian order. Readers report short input on every
// read; writers report every failed write.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// ---- Unchecked loads and stores at a pointer the caller has bounded ----

inline uint16_t LoadU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline int16_t LoadI16(const uint8_t* p) { return int16_t(LoadU16(p)); }
inline uint32_t LoadU32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline int32_t LoadI32(const uint8_t* p) { return int32_t(LoadU32(p)); }
inline uint64_t LoadU64(const uint8_t* p) { return uint64_t(LoadU32(p)) | (uint64_t(LoadU32(p + 4)) << 32); }
inline float LoadF32(const uint8_t* p) { return std::bit_cast<float>(LoadU32(p)); }
inline double LoadF64(const uint8_t* p) { return std::bit_cast<double>(LoadU64(p)); }

inline void StoreU16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void StoreI16(uint8_t* p, int16_t v) { StoreU16(p, uint16_t(v)); }
inline void StoreU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline void StoreI32(uint8_t* p, int32_t v) { StoreU32(p, uint32_t(v)); }
inline void StoreU64(uint8_t* p, uint64_t v) {
  StoreU32(p, uint32_t(v));
  StoreU32(p + 4, uint32_t(v >> 32));
}
inline void StoreF32(uint8_t* p, float v) { StoreU32(p, std::bit_cast<uint32_t>(v)); }
inline void StoreF64(uint8_t* p, double v) { StoreU64(p, std::bit_cast<uint64_t>(v)); }

// ---- Checked access at an offset of a bounded buffer ----
// Each returns false, leaving the output alone, when the field does not lie
// wholly inside the buffer.

inline bool InBounds(size_t size, size_t offset, size_t width) { return offset <= size && width <= size - offset; }

bool ReadU16At(std::span<const uint8_t> buf, size_t offset, uint16_t& out);
bool ReadI16At(std::span<const uint8_t> buf, size_t offset, int16_t& out);
bool ReadU32At(std::span<const uint8_t> buf, size_t offset, uint32_t& out);
bool ReadI32At(std::span<const uint8_t> buf, size_t offset, int32_t& out);
bool ReadF32At(std::span<const uint8_t> buf, size_t offset, float& out);
bool ReadF64At(std::span<const uint8_t> buf, size_t offset, double& out);

bool WriteU16At(std::span<uint8_t> buf, size_t offset, uint16_t v);
bool WriteI16At(std::span<uint8_t> buf, size_t offset, int16_t v);
bool WriteU32At(std::span<uint8_t> buf, size_t offset, uint32_t v);
bool WriteI32At(std::span<uint8_t> buf, size_t offset, int32_t v);
bool WriteF32At(std::span<uint8_t> buf, size_t offset, float v);
bool WriteF64At(std::span<uint8_t> buf, size_t offset, double v);

// ---- Fixed-width text fields, NUL-padded ----

// The text of a field: its bytes up to the first NUL, or the whole field.
std::string ReadTextField(std::span<const uint8_t> field);
// Writes at most width - 1 characters and pads with NULs, so the stored text
// always ends inside its field.
void WriteTextField(std::span<uint8_t> field, std::string_view text);
// Writes exactly the given bytes and pads with NULs; for magics that fill
// their field. Text longer than the field is cut at its width.
void WriteTextFieldFull(std::span<uint8_t> field, std::string_view text);

// ---- Cursor-style readers ----

// A sequential little-endian reader. Every read reports short input; after
// the first failure the reader stays failed and reads nothing more.
class ByteReader {
 public:
  virtual ~ByteReader() = default;

  bool Bytes(void* out, size_t count);
  bool Skip(uint64_t count);
  bool U8(uint8_t& v);
  bool I8(int8_t& v);
  bool U16(uint16_t& v);
  bool I16(int16_t& v);
  bool U32(uint32_t& v);
  bool I32(int32_t& v);
  bool F32(float& v);
  bool F64(double& v);
  // A fixed-width NUL-padded field of `width` bytes.
  bool Text(size_t width, std::string& text);
  // Reads `count` bytes into a fresh vector.
  bool Block(size_t count, std::vector<uint8_t>& out);

  // Goes to `position` (back or on) for a reader that has to look at what
  // follows before it knows where it goes on; a position past the end fails
  // the reader.
  bool Seek(uint64_t position);

  bool ok() const { return ok_; }
  // Bytes left before the end of the input: counts read from a file are
  // bounded against this before anything is allocated.
  virtual uint64_t Remaining() const = 0;
  virtual uint64_t Position() const = 0;

 protected:
  // Reads exactly `count` bytes or reports false.
  virtual bool ReadRaw(uint8_t* out, size_t count) = 0;
  virtual bool SkipRaw(uint64_t count) = 0;
  // Goes to a position inside the input or at its end.
  virtual bool SeekRaw(uint64_t position) = 0;

 private:
  bool ok_ = true;
};

// Reader over bytes in memory (a whole file, a resource, an undo snapshot).
class MemoryReader final : public ByteReader {
 public:
  explicit MemoryReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Remaining() const override { return bytes_.size() - pos_; }
  uint64_t Position() const override { return pos_; }

 protected:
  bool ReadRaw(uint8_t* out, size_t count) override;
  bool SkipRaw(uint64_t count) override;
  bool SeekRaw(uint64_t position) override;

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

// Reader over a file opened for reading; closes it when destroyed.
class FileReader final : public ByteReader {
 public:
  explicit FileReader(const std::string& path);
  ~FileReader() override;
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  uint64_t Size() const { return size_; }
  uint64_t Remaining() const override { return size_ - pos_; }
  uint64_t Position() const override { return pos_; }

 protected:
  bool ReadRaw(uint8_t* out, size_t count) override;
  bool SkipRaw(uint64_t count) override;
  bool SeekRaw(uint64_t position) override;

 private:
  std::FILE* file_ = nullptr;
  uint64_t size_ = 0;
  uint64_t pos_ = 0;
};

// ---- Writers ----

// A sequential little-endian writer. Every write reports failure; after the
// first failure the writer stays failed.
class ByteWriter {
 public:
  virtual ~ByteWriter() = default;

  bool Bytes(const void* data, size_t count);
  bool Zeros(size_t count);
  bool U8(uint8_t v);
  bool I8(int8_t v);
  bool U16(uint16_t v);
  bool I16(int16_t v);
  bool U32(uint32_t v);
  bool I32(int32_t v);
  bool F32(float v);
  bool F64(double v);
  // A fixed-width field: see WriteTextField.
  bool Text(size_t width, std::string_view text);

  bool ok() const { return ok_; }

 protected:
  virtual bool WriteRaw(const uint8_t* data, size_t count) = 0;
  void Fail() { ok_ = false; }

 private:
  bool ok_ = true;
};

// Writer into a growing byte vector.
class MemoryWriter final : public ByteWriter {
 public:
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 protected:
  bool WriteRaw(const uint8_t* data, size_t count) override;

 private:
  std::vector<uint8_t> bytes_;
};

// What the programs tell the user when a file could not be written.
inline constexpr char kWriteFailedMessage[] = "Couldn\xB4t write data to disk !";

// `message` with, when the system said why a write failed (`error`, an errno
// value such as ENOSPC or EACCES), the system's English words for it as a
// second line; `message` alone for 0.
std::string WithSystemReason(std::string_view message, int error);

// The suffix of a save's temporary file: "hall.KPR" is written as
// "hall.KPR.save-tmp" and renamed over "hall.KPR".
inline constexpr char kSaveTempSuffix[] = ".save-tmp";

// Writer that replaces a file only when everything was written: it writes
// the temporary file beside the file the target names (through its symbolic
// links, which stay as they are) and renames it over that file in Commit().
//
// A target the user may not write is refused before anything is written:
// an existing file the user has no write access to, or that has no write
// permission bit at all (so that write protection holds for root as well),
// and anything that is not a plain file. A replaced file keeps its mode
// (and, where the system allows, its owner and group); a new file gets 0666
// less the umask.
//
// The temporary file is locked while its save runs. One left behind by a
// save that died is removed by the next save of the same target; a locked
// one, or anything of that name that is not a plain file, is left alone and
// the save refused. Nothing else is ever removed. A writer destroyed without
// a successful Commit() removes its temporary file and leaves the target as
// it was.
class SafeFileWriter final : public ByteWriter {
 public:
  explicit SafeFileWriter(const std::string& targetPath);
  ~SafeFileWriter() override;
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // False when the target was refused or the temporary file not created.
  bool IsOpen() const { return file_ != nullptr; }
  // The file written: the target with its links followed.
  const std::string& File() const { return target_; }
  // Gives the written file the permission bits `mode` instead of the ones
  // it would get (a copy takes its source's).
  void SetFileMode(uint32_t mode) { mode_ = mode; }
  // Flushes, renames and closes; true only when the target now holds
  // exactly what was written.
  bool Commit();
  // The errno of the step that failed, 0 while none has (EACCES for a
  // target refused as write-protected).
  int SystemError() const { return error_; }

 protected:
  bool WriteRaw(const uint8_t* data, size_t count) override;

 private:
  // Checks the target and creates the temporary file: 0, or the errno of
  // the refusal.
  int Open(const std::string& targetPath);

  std::string target_;
  std::string temp_;
  std::FILE* file_ = nullptr;
  uint32_t mode_ = 0;
  int64_t owner_ = -1;  // the replaced file's owner and group, -1 for a new file
  int64_t group_ = -1;
  int error_ = 0;
};

// The steps of a save, in order; tests make one of them fail.
enum class SaveStep { kNone, kCreate, kWrite, kFlush, kRename };
// Until the state is reset (ResetAllState), every save fails at `step` as
// the system fails it there, with EIO.
void SimulateSaveFailure(SaveStep step);

// Reads a whole file, refusing files larger than `limit` bytes.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, uint64_t limit = uint64_t(1) << 31);

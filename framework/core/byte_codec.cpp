#include "framework/core/byte_codec.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

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

bool FileReader::SkipRaw(uint64_t count) {
  if (!file_ || std::fseek(file_, long(pos_ + count), SEEK_SET) != 0) return false;
  pos_ += count;
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

SafeFileWriter::SafeFileWriter(const std::string& targetPath) : target_(targetPath) {
  std::string pattern = targetPath + ".XXXXXX";
  int fd = mkstemp(pattern.data());
  if (fd < 0) {
    Fail();
    return;
  }
  file_ = fdopen(fd, "wb");
  if (!file_) {
    close(fd);
    unlink(pattern.c_str());
    Fail();
    return;
  }
  temp_ = pattern;
}

SafeFileWriter::~SafeFileWriter() {
  if (file_) std::fclose(file_);
  if (!temp_.empty()) unlink(temp_.c_str());
}

bool SafeFileWriter::WriteRaw(const uint8_t* data, size_t count) {
  return file_ && std::fwrite(data, 1, count, file_) == count;
}

bool SafeFileWriter::Commit() {
  if (!file_) return false;
  bool good = ok() && std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
  good = (std::fclose(file_) == 0) && good;
  file_ = nullptr;
  // A new file gets the usual permissions rather than mkstemp's 0600.
  if (good) {
    mode_t mask = umask(0);
    umask(mask);
    chmod(temp_.c_str(), 0666 & ~mask);
  }
  if (good && std::rename(temp_.c_str(), target_.c_str()) != 0) good = false;
  if (good) temp_.clear();
  if (!good) Fail();
  return good;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, uint64_t limit) {
  FileReader reader(path);
  if (!reader.IsOpen() || reader.Size() > limit) return false;
  return reader.Block(size_t(reader.Size()), out);
}

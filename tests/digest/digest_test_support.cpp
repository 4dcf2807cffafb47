#include "digest_test_support.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>

#include "runtime/digest/crc32_digest.h"
#include "runtime/digest/file_digest.h"
#include "runtime/digest/md5_digest.h"
#include "runtime/strings/workspace.h"

namespace digest_test {

uint8_t PatternByte(uint64_t i) { return static_cast<uint8_t>(static_cast<uint32_t>(i * 2654435761u) >> 24); }

std::vector<uint8_t> Pattern(size_t length) {
  std::vector<uint8_t> bytes(length);
  for (size_t i = 0; i < length; ++i) bytes[i] = PatternByte(i);
  return bytes;
}

std::vector<uint8_t> Bytes(const char* text) { return std::vector<uint8_t>(text, text + std::strlen(text)); }

std::string Hex(const uint8_t* bytes, size_t length) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < length; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

std::string Hex32(uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  return Hex(bytes, 4);
}

std::string TextAt(int64_t mark) {
  std::string text;
  for (const char16_t* c = WorkspaceTextAt(mark); *c; ++c) text += static_cast<char>(*c);
  return text;
}

std::string MethodDigest(int32_t id, const std::vector<uint8_t>& data, const std::vector<size_t>& pieces) {
  const DigestMethods* method = FindDigest(id);
  DigestContext* context = method->create();
  method->reset(context, 0);
  size_t offset = 0;
  for (size_t piece = 0; offset < data.size(); ++piece) {
    size_t size = pieces.empty() ? data.size() : pieces[piece < pieces.size() ? piece : pieces.size() - 1];
    if (size > data.size() - offset) size = data.size() - offset;
    method->update(context, data.data() + offset, static_cast<uint32_t>(size));
    offset += size;
  }
  method->finish(context);
  std::string hex = Hex(context->digest, static_cast<size_t>(context->digestBits / 8));
  method->destroy(context);
  return hex;
}

namespace {

const char* const CRC32_NAMES[] = {"table", "pclmul", "vpclmul256", "vpclmul512"};
const char* const MD5_NAMES[] = {"scalar", "avx512"};

template <typename Path, size_t N>
bool PathFromEnvironment(const char* variable, const char* const (&names)[N], Path* path, bool* forced) {
  const char* value = std::getenv(variable);
  *forced = value && *value;
  if (!*forced) return true;
  for (size_t i = 0; i < N; ++i) {
    if (std::strcmp(value, names[i]) == 0) {
      *path = static_cast<Path>(i);
      return true;
    }
  }
  return false;
}

bool crc32Forced = false, md5Forced = false;
Crc32Path forcedCrc32 = Crc32Path::Table;
Md5Path forcedMd5 = Md5Path::Scalar;
Crc32Path defaultCrc32 = Crc32Path::Table;
Md5Path defaultMd5 = Md5Path::Scalar;

}  // namespace

const char* Crc32PathName(Crc32Path path) { return CRC32_NAMES[static_cast<int>(path)]; }

const char* Md5PathName(Md5Path path) { return MD5_NAMES[static_cast<int>(path)]; }

std::vector<Crc32Path> Crc32PathsUnderTest() {
  if (crc32Forced) return {forcedCrc32};
  std::vector<Crc32Path> paths;
  for (Crc32Path path : {Crc32Path::Table, Crc32Path::Pclmul, Crc32Path::Vpclmul256, Crc32Path::Vpclmul512}) {
    if (Crc32PathSupported(path)) paths.push_back(path);
  }
  return paths;
}

std::vector<Md5Path> Md5PathsUnderTest() {
  if (md5Forced) return {forcedMd5};
  std::vector<Md5Path> paths;
  for (Md5Path path : {Md5Path::Scalar, Md5Path::Avx512}) {
    if (Md5PathSupported(path)) paths.push_back(path);
  }
  return paths;
}

bool SelectPathsFromEnvironment() {
  if (!PathFromEnvironment("BQ_CRC32_PATH", CRC32_NAMES, &forcedCrc32, &crc32Forced) ||
      !PathFromEnvironment("BQ_MD5_PATH", MD5_NAMES, &forcedMd5, &md5Forced)) {
    return false;
  }
  if (crc32Forced && !UseCrc32Path(forcedCrc32)) return false;
  if (md5Forced && !UseMd5Path(forcedMd5)) return false;
  defaultCrc32 = ActiveCrc32Path();
  defaultMd5 = ActiveMd5Path();
  return true;
}

void RestoreDefaultPaths() {
  UseCrc32Path(defaultCrc32);
  UseMd5Path(defaultMd5);
}

void RegisteredDigests::SetUp() {
  DigestRegistry = DigestMethodTable{};
  RegisterCrc32Digest();
  RegisterMd5Digest();
}

void RegisteredDigests::TearDown() {
  RestoreDefaultPaths();
  ReleaseWorkspace(0);
}

namespace {

// Reading the holes of a 4 GiB sparse file takes seconds on a disk file system
// and a fraction of one in memory, so a memory file system is used where there
// is one (Linux, and Wine's view of it through drive Z:).
std::filesystem::path TemporaryRoot() {
  for (const char* candidate : {"/dev/shm", "Z:\\dev\\shm"}) {
    std::error_code error;
    if (std::filesystem::is_directory(candidate, error)) return candidate;
  }
  return std::filesystem::temp_directory_path();
}

}  // namespace

TemporaryDirectory::TemporaryDirectory() {
  std::random_device random;
  path_ = TemporaryRoot() / ("digest-test-" + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TemporaryDirectory::Write(const char* name, const std::vector<uint8_t>& content) const {
  std::filesystem::path file = path_ / name;
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
  return file;
}

}  // namespace digest_test

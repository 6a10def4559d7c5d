#include "formats/file_io.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <system_error>

namespace lumatra {

namespace {

namespace fs = std::filesystem;

// Temporary files are ".lumatra-<pid>-<random>.tmp": short whatever the target's length, hidden,
// and telling a later run which process made them. Earlier versions wrote
// "<target>.lumatra-<pid>.tmp"; those are recognised too when stale ones are removed.
constexpr std::string_view kTempMarker = ".lumatra-";
constexpr std::string_view kTempSuffix = ".tmp";

#ifdef __linux__
constexpr bool kBatchEndsWithSyncfs = true;
#else
constexpr bool kBatchEndsWithSyncfs = false;
#endif

std::atomic<int> recorded_umask{-1};

std::string Reason(int err) {
  return std::generic_category().message(err);
}

[[noreturn]] void Fail(int err) {
  throw IoError("cannot write file: " + Reason(err));
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  // Closes now: a file system may report a failed write only here. Returns 0 or the errno.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// The temporary's name is removed again unless the write completed.
class TempName {
 public:
  TempName(int dir, std::string name) : dir_(dir), name_(std::move(name)) {}
  ~TempName() {
    if (!name_.empty()) ::unlinkat(dir_, name_.c_str(), 0);
  }
  TempName(const TempName&) = delete;
  TempName& operator=(const TempName&) = delete;
  const char* c_str() const { return name_.c_str(); }
  void Keep() { name_.clear(); }

 private:
  int dir_;
  std::string name_;
};

int UmaskFromProc() {
  // "Umask:\t0022" (Linux 4.7 on); reading it, unlike umask(), changes nothing.
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("Umask:", 0) != 0) continue;
    try {
      return static_cast<int>(std::stoul(line.substr(6), nullptr, 8) & 0777);
    } catch (const std::exception&) {
      break;
    }
  }
  return 077;  // unknown: the most private choice
}

mode_t NewFileMode() {
  int mask = recorded_umask.load(std::memory_order_relaxed);
  if (mask < 0) {
    mask = UmaskFromProc();
    recorded_umask.store(mask, std::memory_order_relaxed);
  }
  return static_cast<mode_t>(0666 & ~mask);
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// Fills the file, gives it its final mode and, where asked, puts it on disk.
int FillFile(int fd, std::string_view bytes, mode_t mode, bool flush) {
  if (int err = WriteAll(fd, bytes)) return err;
  if (::fchmod(fd, mode) != 0) return errno;
  if (flush && ::fsync(fd) != 0) return errno;
  return 0;
}

std::optional<pid_t> TempFileOwner(std::string_view name) {
  if (!name.ends_with(kTempSuffix)) return std::nullopt;
  name.remove_suffix(kTempSuffix.size());
  const std::size_t at = name.rfind(kTempMarker);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = name.substr(at + kTempMarker.size());
  std::size_t digits = 0;
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9')
    ++digits;
  if (digits == 0 || digits > 9) return std::nullopt;
  const pid_t pid = static_cast<pid_t>(std::stol(std::string(rest.substr(0, digits))));
  const std::string_view random = rest.substr(digits);
  if (random.empty()) return pid;  // the earlier "<target>.lumatra-<pid>.tmp"
  if (at != 0 || random.size() < 2 || random[0] != '-') return std::nullopt;
  for (char c : random.substr(1))
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
  return pid;
}

bool ProcessIsRunning(pid_t pid) {
  return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Creates a new temporary in `dir` with O_EXCL: nothing planted at a guessed name (a link, a
// file) is ever opened. Returns the descriptor and sets `name`; throws IoError.
int CreateTempFile(int dir, std::string& name) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::uint64_t bits = (std::uint64_t{random()} << 32) | random();
    char text[64];
    std::snprintf(text, sizeof text, "%.*s%ld-%012llx%.*s", static_cast<int>(kTempMarker.size()),
                  kTempMarker.data(), static_cast<long>(::getpid()),
                  static_cast<unsigned long long>(bits & 0xffffffffffffULL),
                  static_cast<int>(kTempSuffix.size()), kTempSuffix.data());
    const int fd = ::openat(dir, text, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            S_IRUSR | S_IWUSR);
    if (fd >= 0) {
      name = text;
      return fd;
    }
    if (errno != EEXIST) Fail(errno);
  }
  Fail(EEXIST);
}

// Gives the complete temporary the target's name unless a file is there. 0 or the errno.
int RenameWithoutReplacing(int dir, const char* temp, const char* target) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(dir, temp, dir, target, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;  // EINVAL: not on this file system
#endif
  if (::linkat(dir, temp, dir, target, 0) == 0) {
    ::unlinkat(dir, temp, 0);
    return 0;
  }
  if (errno != EPERM && errno != EOPNOTSUPP) return errno;
  // No hard links either (FAT and the like): check, then rename; a narrow race remains.
  struct stat st;
  if (::fstatat(dir, target, &st, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
  return ::renameat(dir, temp, dir, target) == 0 ? 0 : errno;
}

// What is at `target` now (the entry itself, not what a link points to); nothing when no entry
// is there. Throws for other failures: a name too long for the file system ends here.
std::optional<struct stat> StatTarget(int dir, const std::string& target) {
  struct stat st;
  if (::fstatat(dir, target.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return st;
  if (errno != ENOENT) Fail(errno);
  return std::nullopt;
}

// Writes through a named temporary; `found` is what StatTarget found at the target. Throws.
void WriteNamed(int dir, const std::string& target, std::string_view bytes, ExistingTarget existing,
                const std::optional<struct stat>& found) {
  const bool replacing = found.has_value();
  if (replacing && S_ISDIR(found->st_mode)) Fail(EISDIR);
  if (replacing && existing == ExistingTarget::kKeep) throw TargetExistsError("target exists");
  const mode_t mode =
      replacing && S_ISREG(found->st_mode) ? (found->st_mode & 0777) : NewFileMode();

  std::string name;
  Fd file(CreateTempFile(dir, name));
  TempName temp(dir, name);
  const bool flush = replacing || !kBatchEndsWithSyncfs;
  if (int err = FillFile(file.get(), bytes, mode, flush)) Fail(err);
  if (int err = file.Close()) Fail(err);

  if (existing == ExistingTarget::kReplace) {
    if (::renameat(dir, temp.c_str(), dir, target.c_str()) != 0) Fail(errno);
    temp.Keep();
    if (replacing) ::fsync(dir);  // the new name on disk too
    return;
  }
  if (int err = RenameWithoutReplacing(dir, temp.c_str(), target.c_str())) {
    if (err == EEXIST) throw TargetExistsError("target exists");
    Fail(err);
  }
  temp.Keep();
}

#ifdef O_TMPFILE
// A new target written as an unnamed file and linked in when complete: a kill leaves nothing,
// and the link never replaces a file. False when the file system has no unnamed files, when a
// file appeared at the target that may be replaced, or when linking fails (no /proc, say): the
// named way then does the work.
bool WriteUnnamed(int dir, const std::string& target, std::string_view bytes,
                  ExistingTarget existing) {
  Fd file(::openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, S_IRUSR | S_IWUSR));
  if (!file.ok()) return false;
  if (int err = FillFile(file.get(), bytes, NewFileMode(), !kBatchEndsWithSyncfs)) Fail(err);
  const std::string self = "/proc/self/fd/" + std::to_string(file.get());
  int linked = ::linkat(AT_FDCWD, self.c_str(), dir, target.c_str(), AT_SYMLINK_FOLLOW);
  if (linked != 0 && errno == ENOENT)  // no /proc: the direct way needs more privileges
    linked = ::linkat(file.get(), "", dir, target.c_str(), AT_EMPTY_PATH);
  if (linked == 0) {
    if (int err = file.Close()) Fail(err);
    return true;
  }
  if (errno == EEXIST && existing == ExistingTarget::kKeep)
    throw TargetExistsError("target exists");
  return false;  // the named way replaces, or reports the failure with its reason
}
#endif

}  // namespace

// One open, one fstat and a read of the whole file: no stream buffers, no seeking.
std::string ReadFileBytes(const std::string& path) {
  Fd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.ok()) {
    if (errno == EISDIR) throw IoError("cannot open file: is a directory");
    throw IoError("cannot open file");
  }
  struct stat st;
  if (::fstat(file.get(), &st) != 0) throw IoError("cannot read file");
  if (S_ISDIR(st.st_mode)) throw IoError("cannot open file: is a directory");
  if (static_cast<std::uint64_t>(st.st_size) > kMaxInputFileSize)
    throw IoError("file too large (over " + std::to_string(kMaxInputFileSize >> 20) + " MB)");
  // The size found at the open, as that moment's file; a file that shrinks meanwhile ends early.
  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(file.get(), bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw IoError("cannot read file");
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return bytes;
}

void RecordUmask() {
  const mode_t mask = ::umask(077);
  ::umask(mask);
  recorded_umask.store(static_cast<int>(mask & 0777), std::memory_order_relaxed);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, ExistingTarget existing) {
  const fs::path target_path(path);
  const std::string target = target_path.filename().string();
  if (target.empty() || target == "." || target == "..") Fail(EISDIR);
  const std::string folder = target_path.parent_path().string();
  Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!dir.ok()) Fail(errno);

  std::optional<struct stat> found = StatTarget(dir.get(), target);
#ifdef O_TMPFILE
  if (!found) {
    if (WriteUnnamed(dir.get(), target, bytes, existing)) return;
    found = StatTarget(dir.get(), target);  // a file may have appeared meanwhile
  }
#endif
  WriteNamed(dir.get(), target, bytes, existing, found);
}

void RemoveStaleTempFiles(const std::string& folder) {
  if (folder.empty()) return;
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!dir.ok()) return;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    const std::optional<pid_t> owner = TempFileOwner(name);
    if (!owner || ProcessIsRunning(*owner)) continue;
    struct stat st;
    if (::fstatat(dir.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
      ::unlinkat(dir.get(), name.c_str(), 0);
  }
}

std::string SyncFileSystemOf(const std::string& folder) {
  Fd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!dir.ok()) return Reason(errno);
#ifdef __linux__
  if (::syncfs(dir.get()) != 0) return Reason(errno);
#else
  if (::fsync(dir.get()) != 0) return Reason(errno);
#endif
  return {};
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

}  // namespace lumatra

#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

// The desk's files, kept safe from a crash, a full disk and a second Kalvor:
// - a file is never rewritten in place: the new text goes to a file beside it, is flushed to
//   the disk, then renamed over the old one, so a reader finds the old text or the new, whole;
// - a damaged file is renamed aside, never overwritten;
// - two programs changing the same file take turns through a lock file beside it.
// Every failure comes back as a FileError whose message names the file, ready for a box.
namespace kalvor::store {

enum class Cause : std::uint8_t { NotFound, Exists, Denied, DiskFull, Busy, Other };
using Fault = std::optional<Cause>; // no value: the call did what it was asked

// The system calls the files above go through, one at a time; tests put a disk that fails or
// stops dead at any call in its place. Handles are file descriptors or Windows HANDLEs.
class Disk {
public:
    using Handle = std::intptr_t;
    virtual ~Disk() = default;
    virtual Fault Read(const std::filesystem::path &file, std::string &text) = 0;
    virtual Fault MakeFolders(const std::filesystem::path &folder) = 0;
    virtual Fault CreateNew(const std::filesystem::path &file, Handle &handle) = 0; // Exists
    virtual Fault Write(Handle handle, std::string_view bytes) = 0;
    virtual Fault Flush(Handle handle) = 0; // to the disk itself: fsync, FlushFileBuffers
    virtual Fault Close(Handle handle) = 0;
    // Renames over an existing file in one step: rename(2), MoveFileExW.
    virtual Fault Replace(const std::filesystem::path &from, const std::filesystem::path &to) = 0;
    // Renames only when nothing has the new name (Exists otherwise).
    virtual Fault Move(const std::filesystem::path &from, const std::filesystem::path &to) = 0;
    virtual Fault FlushFolder(const std::filesystem::path &folder) = 0; // nothing on Windows
    virtual Fault Remove(const std::filesystem::path &file) = 0;
    virtual Fault OpenLock(const std::filesystem::path &file, Handle &handle) = 0;
    virtual Fault TryLock(Handle handle) = 0; // Busy while another handle holds it
    virtual void Release(Handle handle) = 0;  // unlocks and closes
};
Disk &SystemDisk();

struct FileError {
    Cause cause;
    std::string message; // "impossibile salvare «/home/a/materiali.txt»: disco pieno"
};

// Paths are UTF-8 in the program's texts; Windows spells them in UTF-16.
std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8Of(const std::filesystem::path &path);

// The whole file; NotFound when there is none.
std::variant<std::string, FileError> ReadText(const std::filesystem::path &file,
                                              Disk &disk = SystemDisk());

// The file holds `content` afterwards, or, on any failure, what it held before. Missing
// folders are made.
std::optional<FileError> ReplaceAtomically(const std::filesystem::path &file,
                                           std::string_view content, Disk &disk = SystemDisk());

struct Stamp {
    int year, month, day, hour, minute, second;
};
Stamp LocalNow();

// The name a damaged file is set aside under, beside it:
//   "materiali.txt" at 7 Dec 2026 01:12:00 -> "materiali-danneggiata-20261207-011200.txt"
//   "offerta.kvo"                         -> "offerta-danneggiata-20261207-011200.kvo"
std::string AsideName(std::string_view fileName, const Stamp &when);

// Renames the file to its AsideName ("...-2.txt", "-3" and on when that is taken) and gives
// the new path. Nothing is ever overwritten.
std::variant<std::filesystem::path, FileError>
SetAside(const std::filesystem::path &file, const Stamp &when, Disk &disk = SystemDisk());

// The turn of one program at a file, through "<file>.lock" beside it: flock on Linux,
// LockFileEx on Windows. The lock file stays: removing it would let a third program lock a
// new file while the second still waits on the old one.
class FileLock {
public:
    // Tries again and again until `patience` has passed, then gives up with Busy.
    static std::variant<FileLock, FileError> Take(const std::filesystem::path &file,
                                                  std::chrono::milliseconds patience,
                                                  Disk &disk = SystemDisk());
    FileLock(FileLock &&other) noexcept;
    FileLock &operator=(FileLock &&) = delete;
    ~FileLock();

private:
    FileLock(Disk &disk, Disk::Handle handle) : disk_(&disk), handle_(handle) {}
    Disk *disk_;
    std::optional<Disk::Handle> handle_;
};

// Read, change and write under the lock: `change` gets the file's text ("" when there is no
// file) and returns the new text, or nothing to leave the file as it is.
using Change = std::function<std::optional<std::string>(const std::string &)>;
std::optional<FileError> ChangeUnderLock(const std::filesystem::path &file,
                                         std::chrono::milliseconds patience, const Change &change,
                                         Disk &disk = SystemDisk());

} // namespace kalvor::store

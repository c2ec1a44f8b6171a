#include "store/files.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <thread>
#include <utility>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace kalvor::store {

namespace fs = std::filesystem;

namespace {

Cause CauseOf(std::error_code error) {
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory) {
        return Cause::NotFound;
    }
    if (error == std::errc::file_exists) {
        return Cause::Exists;
    }
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
        error == std::errc::read_only_file_system) {
        return Cause::Denied;
    }
    if (error == std::errc::no_space_on_device) {
        return Cause::DiskFull;
    }
    return Cause::Other;
}

#ifdef _WIN32

Cause LastCause() {
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return Cause::NotFound;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return Cause::Exists;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return Cause::Denied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return Cause::DiskFull;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Cause::Busy;
    default:
        return Cause::Other;
    }
}

HANDLE Win(Disk::Handle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Others may read, replace or remove a file while Kalvor has it open.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class SystemDiskImpl final : public Disk {
public:
    Fault Read(const fs::path &file, std::string &text) override {
        HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return LastCause();
        }
        text.clear();
        char buffer[65536];
        DWORD got = 0;
        Fault fault;
        while (true) {
            if (!ReadFile(handle, buffer, sizeof buffer, &got, nullptr)) {
                fault = LastCause();
                break;
            }
            if (got == 0) {
                break;
            }
            text.append(buffer, got);
        }
        CloseHandle(handle);
        return fault;
    }
    Fault MakeFolders(const fs::path &folder) override {
        std::error_code error;
        fs::create_directories(folder, error);
        return error ? Fault(CauseOf(error)) : Fault();
    }
    Fault CreateNew(const fs::path &file, Handle &handle) override {
        HANDLE created = CreateFileW(file.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE) {
            return LastCause();
        }
        handle = reinterpret_cast<Handle>(created);
        return {};
    }
    Fault Write(Handle handle, std::string_view bytes) override {
        while (!bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
            DWORD written = 0;
            if (!WriteFile(Win(handle), bytes.data(), chunk, &written, nullptr)) {
                return LastCause();
            }
            bytes.remove_prefix(written);
        }
        return {};
    }
    Fault Flush(Handle handle) override {
        return FlushFileBuffers(Win(handle)) ? Fault() : Fault(LastCause());
    }
    Fault Close(Handle handle) override {
        return CloseHandle(Win(handle)) ? Fault() : Fault(LastCause());
    }
    Fault Replace(const fs::path &from, const fs::path &to) override {
        return MoveFileExW(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? Fault()
                   : Fault(LastCause());
    }
    Fault Move(const fs::path &from, const fs::path &to) override {
        return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) ? Fault()
                                                                             : Fault(LastCause());
    }
    // MOVEFILE_WRITE_THROUGH has already made the rename last.
    Fault FlushFolder(const fs::path &) override { return {}; }
    Fault Remove(const fs::path &file) override {
        return DeleteFileW(file.c_str()) ? Fault() : Fault(LastCause());
    }
    Fault OpenLock(const fs::path &file, Handle &handle) override {
        HANDLE opened = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (opened == INVALID_HANDLE_VALUE) {
            return LastCause();
        }
        handle = reinterpret_cast<Handle>(opened);
        return {};
    }
    Fault TryLock(Handle handle) override {
        OVERLAPPED at{};
        if (LockFileEx(Win(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                       &at)) {
            return {};
        }
        return LastCause(); // ERROR_LOCK_VIOLATION: Busy
    }
    void Release(Handle handle) override {
        OVERLAPPED at{};
        UnlockFileEx(Win(handle), 0, 1, 0, &at);
        CloseHandle(Win(handle));
    }
};

unsigned long ProcessId() {
    return GetCurrentProcessId();
}

#else

Cause LastCause() {
    return CauseOf(std::error_code(errno, std::generic_category()));
}

int Fd(Disk::Handle handle) {
    return static_cast<int>(handle);
}

class SystemDiskImpl final : public Disk {
public:
    Fault Read(const fs::path &file, std::string &text) override {
        const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return LastCause();
        }
        text.clear();
        char buffer[65536];
        Fault fault;
        while (true) {
            const ssize_t got = read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                fault = LastCause();
            }
            if (got <= 0) {
                break;
            }
            text.append(buffer, static_cast<std::size_t>(got));
        }
        close(fd);
        return fault;
    }
    Fault MakeFolders(const fs::path &folder) override {
        std::error_code error;
        fs::create_directories(folder, error);
        return error ? Fault(CauseOf(error)) : Fault();
    }
    Fault CreateNew(const fs::path &file, Handle &handle) override {
        const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            return LastCause();
        }
        handle = fd;
        return {};
    }
    Fault Write(Handle handle, std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t written = write(Fd(handle), bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written < 0) {
                return LastCause();
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return {};
    }
    Fault Flush(Handle handle) override { return fsync(Fd(handle)) == 0 ? Fault() : LastCause(); }
    Fault Close(Handle handle) override { return close(Fd(handle)) == 0 ? Fault() : LastCause(); }
    Fault Replace(const fs::path &from, const fs::path &to) override {
        return rename(from.c_str(), to.c_str()) == 0 ? Fault() : LastCause();
    }
    // A hard link fails when the name is taken, where rename would replace it.
    Fault Move(const fs::path &from, const fs::path &to) override {
        if (link(from.c_str(), to.c_str()) != 0) {
            return LastCause();
        }
        return unlink(from.c_str()) == 0 ? Fault() : LastCause();
    }
    Fault FlushFolder(const fs::path &folder) override {
        const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return LastCause();
        }
        const Fault fault = fsync(fd) == 0 ? Fault() : LastCause();
        close(fd);
        return fault;
    }
    Fault Remove(const fs::path &file) override {
        return unlink(file.c_str()) == 0 ? Fault() : LastCause();
    }
    Fault OpenLock(const fs::path &file, Handle &handle) override {
        const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            return LastCause();
        }
        handle = fd;
        return {};
    }
    Fault TryLock(Handle handle) override {
        if (flock(Fd(handle), LOCK_EX | LOCK_NB) == 0) {
            return {};
        }
        return errno == EWOULDBLOCK || errno == EINTR ? Cause::Busy : LastCause();
    }
    void Release(Handle handle) override {
        flock(Fd(handle), LOCK_UN);
        close(Fd(handle));
    }
};

unsigned long ProcessId() {
    return static_cast<unsigned long>(getpid());
}

#endif

enum class Action : std::uint8_t { Read, Save, SetAside };

FileError ErrorOf(Action action, const fs::path &file, Cause cause) {
    static constexpr std::string_view kVerbs[] = {"leggere", "salvare", "mettere da parte"};
    static constexpr std::string_view kReasons[] = {
        "il file o la cartella non esiste",
        "esiste già un file con quel nome",
        "accesso negato (cartella o file in sola lettura)",
        "disco pieno",
        "il file è in uso da un altro programma Kalvor; riprovare tra poco",
        "errore del disco",
    };
    std::string message = "impossibile ";
    message += kVerbs[static_cast<std::size_t>(action)];
    message += " «" + Utf8Of(file) + "»: ";
    message += kReasons[static_cast<std::size_t>(cause)];
    return {cause, std::move(message)};
}

// Unique among the programs and the saves running at once: "materiali.txt.4711-3.tmp".
fs::path TemporaryBeside(const fs::path &file) {
    static std::atomic<unsigned> counter{0};
    fs::path temporary = file;
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%lu-%u.tmp", ProcessId(), ++counter);
    temporary += suffix;
    return temporary;
}

fs::path FolderOf(const fs::path &file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

} // namespace

Disk &SystemDisk() {
    static SystemDiskImpl disk;
    return disk;
}

fs::path PathFromUtf8(std::string_view text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string Utf8Of(const fs::path &path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::variant<std::string, FileError> ReadText(const fs::path &file, Disk &disk) {
    std::string text;
    if (const Fault fault = disk.Read(file, text)) {
        return ErrorOf(Action::Read, file, *fault);
    }
    return text;
}

std::optional<FileError> ReplaceAtomically(const fs::path &file, std::string_view content,
                                           Disk &disk) {
    const fs::path folder = FolderOf(file);
    if (const Fault fault = disk.MakeFolders(folder)) {
        return ErrorOf(Action::Save, file, *fault);
    }
    fs::path temporary;
    Disk::Handle handle = 0;
    Fault fault = Cause::Exists;
    for (int attempt = 0; attempt < 100 && fault == Cause::Exists; ++attempt) {
        temporary = TemporaryBeside(file); // a name left by a crashed save is skipped
        fault = disk.CreateNew(temporary, handle);
    }
    if (fault) {
        return ErrorOf(Action::Save, file, *fault);
    }
    fault = disk.Write(handle, content);
    if (!fault) {
        fault = disk.Flush(handle);
    }
    const Fault closed = disk.Close(handle); // closed even after a failure
    fault = fault ? fault : closed;
    if (!fault) {
        fault = disk.Replace(temporary, file);
    }
    if (fault) {
        disk.Remove(temporary);
        return ErrorOf(Action::Save, file, *fault);
    }
    // The new text is in place; this only makes the rename itself survive a power cut.
    disk.FlushFolder(folder);
    return {};
}

Stamp LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string AsideName(std::string_view fileName, const Stamp &when) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t stemEnd = dot == std::string_view::npos || dot == 0 ? fileName.size() : dot;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "-danneggiata-%04d%02d%02d-%02d%02d%02d", when.year,
                  when.month, when.day, when.hour, when.minute, when.second);
    return std::string(fileName.substr(0, stemEnd)) + stamp + std::string(fileName.substr(stemEnd));
}

std::variant<fs::path, FileError> SetAside(const fs::path &file, const Stamp &when, Disk &disk) {
    const std::string name = AsideName(Utf8Of(file.filename()), when);
    const std::size_t dot = name.rfind('.');
    const std::size_t stemEnd = dot == std::string::npos ? name.size() : dot;
    Fault fault;
    for (int attempt = 1; attempt <= 100; ++attempt) {
        std::string aside = name.substr(0, stemEnd);
        if (attempt > 1) {
            aside.append(1, '-').append(std::to_string(attempt));
        }
        aside.append(name, stemEnd);
        const fs::path target = FolderOf(file) / PathFromUtf8(aside);
        fault = disk.Move(file, target);
        if (!fault) {
            return target;
        }
        if (fault != Cause::Exists) {
            break;
        }
    }
    return ErrorOf(Action::SetAside, file, *fault);
}

std::variant<FileLock, FileError> FileLock::Take(const fs::path &file,
                                                 std::chrono::milliseconds patience, Disk &disk) {
    fs::path lockFile = file;
    lockFile += ".lock";
    Disk::Handle handle = 0;
    Fault fault = disk.MakeFolders(FolderOf(file));
    if (!fault) {
        fault = disk.OpenLock(lockFile, handle);
    }
    if (fault) {
        return ErrorOf(Action::Save, file, *fault);
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (true) {
        fault = disk.TryLock(handle);
        if (!fault) {
            return FileLock(disk, handle);
        }
        if (fault != Cause::Busy || std::chrono::steady_clock::now() >= deadline) {
            disk.Release(handle);
            return ErrorOf(Action::Save, file, *fault);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

FileLock::FileLock(FileLock &&other) noexcept
    : disk_(other.disk_), handle_(std::exchange(other.handle_, std::nullopt)) {}

FileLock::~FileLock() {
    if (handle_) {
        disk_->Release(*handle_);
    }
}

std::optional<FileError> ChangeUnderLock(const fs::path &file, std::chrono::milliseconds patience,
                                         const Change &change, Disk &disk) {
    auto lock = FileLock::Take(file, patience, disk);
    if (auto *error = std::get_if<FileError>(&lock)) {
        return std::move(*error);
    }
    std::string text;
    if (const Fault fault = disk.Read(file, text); fault && fault != Cause::NotFound) {
        return ErrorOf(Action::Read, file, *fault);
    }
    const std::optional<std::string> changed = change(text);
    if (!changed) {
        return {};
    }
    return ReplaceAtomically(file, *changed, disk);
}

} // namespace kalvor::store

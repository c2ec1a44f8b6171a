#include "offer/file.h"
#include "store/desk_files.h"
#include "store/files.h"
#include "store/materials_file.h"
#include "store/places.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <sstream>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using namespace kalvor::store;
namespace fs = std::filesystem;

const std::vector<std::string> kCatalogue{"Titanio", "AISI 300 serie", "ALTRO"};

TEST(StoreMaterialsFile, EveryKindOfLine) {
    struct Row {
        const char *line;
        const char *name;    // a grade, with...
        const char *density; // ... this density text; or nothing
        const char *reason;  // part of the fault's reason; or nothing
    };
    const Row rows[] = {
        {"\xEF\xBB\xBF# a comment after a byte-order mark", {}, {}, {}},
        {"316L = 7,98", "316L", "7,98", {}},
        {"  Ottone = 8.47\r", "Ottone", "8,47", {}}, // CR LF, blanks, a point
        {"", {}, {}, {}},
        {"\t  # comment = 5", {}, {}, {}},
        {"Acciaio «speciale» àèìòù = 007.5000", "Acciaio «speciale» àèìòù", "007,5000", {}},
        {"A=B = 1", "A=B", "1", {}},
        {"Trenta = 30,0000", "Trenta", "30,0000", {}},
        {"Minimo = 0,0001", "Minimo", "0,0001", {}},
        {"Mezzo = ,5", "Mezzo", ",5", {}},
        {"«Àèìòù»«Àèìòù»«Àèìòù»«Àèìòù»«Àèìòù»ÀÈÌÒÙ = 2",
         "«Àèìòù»«Àèìòù»«Àèìòù»«Àèìòù»«Àèìòù»ÀÈÌÒÙ",
         "2",
         {}},
        {"«Àèìòù»«Àèìòù»«Àèìòù»«Àèìòù»«Àèìòù»ÀÈÌÒÙx = 2", {}, {}, "40 caratteri"},
        {"ottone = 8,5", {}, {}, "già alla riga 3"},
        {"ACCIAIO «SPECIALE» ÀÈÌÒÙ = 7", {}, {}, "già alla riga 6"},
        {"TITANIO = 4,5", {}, {}, "catalogo"},
        {"Rame 8,96", {}, {}, "manca «=»"},
        {" = 8,96", {}, {}, "manca il nome"},
        {"Rame =", {}, {}, "non è un numero"},
        {"Rame = 8,9,6", {}, {}, "non è un numero"},
        {"Rame = -8", {}, {}, "non è un numero"},
        {"Rame = 8 96", {}, {}, "non è un numero"},
        {"Rame = 0,0000", {}, {}, "maggiore di 0"},
        {"Rame = 30,0001", {}, {}, "supera 30"},
        {"Rame = 100", {}, {}, "supera 30"},
        {"Rame = 8,96123", {}, {}, "4 decimali"},
        {"Rame\xC3 = 8", {}, {}, "UTF-8"},
        {"Rame\xED\xA0\x80 = 8", {}, {}, "UTF-8"},
    };
    std::string text;
    for (const Row &row : rows) {
        text += std::string(row.line) + "\n";
    }
    const MaterialsText parsed = ParseMaterials(text, kCatalogue);
    std::map<int, Grade> grades;
    std::map<int, std::string> faults;
    for (const Grade &grade : parsed.grades) {
        grades[grade.line] = grade;
    }
    for (const FaultyLine &fault : parsed.faults) {
        faults[fault.line] = fault.reason;
    }
    for (int line = 1; line <= static_cast<int>(std::size(rows)); ++line) {
        const Row &row = rows[line - 1];
        SCOPED_TRACE(row.line);
        ASSERT_EQ(grades.count(line), row.name ? 1u : 0u);
        ASSERT_EQ(faults.count(line), row.reason ? 1u : 0u);
        if (row.name) {
            EXPECT_EQ(grades[line].name, row.name);
            EXPECT_EQ(grades[line].density, row.density);
        } else if (row.reason) {
            EXPECT_NE(faults[line].find(row.reason), std::string::npos) << faults[line];
        }
    }
}

TEST(StoreMaterialsFile, NewGradesAreCheckedAsTheFileIs) {
    const std::vector<Grade> existing{{"Ottone", "8,47", 2}};
    struct Row {
        const char *name, *density, *reason; // nothing: the grade is fine
    };
    const Row rows[] = {
        {" Bronzo ", "8.8", {}},        {"ottone", "8", "già tra i materiali propri"},
        {"titanio", "4", "catalogo"},   {"#Bronzo", "8", "«#»"},
        {"Bron\tzo", "8", "controllo"}, {"", "8", "manca il nome"},
        {"Bronzo", "31", "supera 30"},  {"Bronzo", "", "non è un numero"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const auto reason = GradeFault(row.name, row.density, kCatalogue, existing);
        ASSERT_EQ(reason.has_value(), row.reason != nullptr);
        if (reason) {
            EXPECT_NE(reason->find(row.reason), std::string::npos) << *reason;
        }
    }
    const std::vector<Grade> full(kMaxGrades, Grade{"x", "1", 1});
    EXPECT_TRUE(GradeFault("Bronzo", "8", kCatalogue, full));
}

TEST(StoreMaterialsFile, AddingAndRemovingLeavesEveryOtherByte) {
    const std::string kept = "\xEF\xBB\xBF# mio\r\n316L = 7,98\r\nRame 8\r\nTitanio = 4\r\n";
    const std::string added = WithGrade(kept, "Bronzo «B»", "8.8");
    EXPECT_EQ(added, kept + "Bronzo «B» = 8,8\r\n");
    EXPECT_EQ(WithoutGrade(added, "bronzo «b»"), kept);
    EXPECT_EQ(WithoutGrade(kept, "316l"), "\xEF\xBB\xBF# mio\r\nRame 8\r\nTitanio = 4\r\n");
    EXPECT_EQ(WithoutGrade(kept, "Rame"), kept); // a faulty line is nobody's grade
    EXPECT_EQ(WithGrade("A = 1", "B", "2"), "A = 1\nB = 2\n");
    EXPECT_EQ(WithoutGrade("A = 1\nB = 2", "B"), "A = 1\n");

    // A new file starts with its header, which reads back as comments only.
    const std::string fresh = WithGrade("", "Bronzo", "8,8");
    EXPECT_TRUE(fresh.starts_with(kMaterialsHeader));
    const MaterialsText parsed = ParseMaterials(fresh, kCatalogue);
    ASSERT_EQ(parsed.grades.size(), 1u);
    EXPECT_TRUE(parsed.faults.empty());
    EXPECT_EQ(WithoutGrade(fresh, "Bronzo"), kMaterialsHeader);

    std::string many;
    for (int i = 1; i <= 201; ++i) {
        many = WithGrade(many, "G" + std::to_string(i), "1");
    }
    const MaterialsText limited = ParseMaterials(many, kCatalogue);
    ASSERT_EQ(limited.grades.size(), kMaxGrades);
    ASSERT_EQ(limited.faults.size(), 1u);
    EXPECT_EQ(limited.faults[0].line, limited.grades.back().line + 1);
}

TEST(StorePlaces, FromTheEnvironment) {
    using Variables = std::map<std::string, std::string, std::less<>>;
    struct Row {
        System system;
        Variables variables;
        const char *materials, *offers; // nothing: no place
    };
    const Row rows[] = {
        {System::Linux,
         {{"HOME", "/home/a"}},
         "/home/a/.config/kalvor/materiali.txt",
         "/home/a/.local/share/kalvor/"},
        {System::Linux,
         {{"HOME", "/home/a/"}, {"XDG_CONFIG_HOME", "/c/"}, {"XDG_DATA_HOME", "/d"}},
         "/c/kalvor/materiali.txt",
         "/d/kalvor/"},
        {System::Linux,
         {{"HOME", "/h"}, {"XDG_CONFIG_HOME", ""}, {"XDG_DATA_HOME", "relative"}},
         "/h/.config/kalvor/materiali.txt",
         "/h/.local/share/kalvor/"},
        {System::Linux, {{"APPDATA", "C:\\x"}}, {}, {}},
        {System::Windows,
         {{"APPDATA", "C:\\Users\\Zoë\\AppData\\Roaming"}, {"HOME", "/h"}},
         "C:\\Users\\Zoë\\AppData\\Roaming\\Kalvor\\materiali.txt",
         "C:\\Users\\Zoë\\AppData\\Roaming\\Kalvor\\"},
        {System::Windows, {{"HOME", "/h"}}, {}, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.materials ? row.materials : "none");
        const Environment environment = [&](std::string_view name) -> std::optional<std::string> {
            const auto found = row.variables.find(name);
            return found == row.variables.end() ? std::nullopt : std::optional(found->second);
        };
        EXPECT_EQ(MaterialsFile(environment, row.system),
                  row.materials ? std::optional<std::string>(row.materials) : std::nullopt);
        EXPECT_EQ(OfferFolder(environment, row.system),
                  row.offers ? std::optional<std::string>(row.offers) : std::nullopt);
    }
}

// A scratch folder of the test's own, removed afterwards.
struct Scratch {
    fs::path folder;
    explicit Scratch(const std::string &name) {
        folder = fs::temp_directory_path() /
                 ("kalvor-" + name + "-" + std::to_string(std::random_device()()));
        fs::create_directories(folder);
    }
    ~Scratch() {
        std::error_code ignored;
        fs::permissions(folder, fs::perms::owner_all, ignored);
        fs::remove_all(folder, ignored);
    }
    std::optional<std::string> Text(const fs::path &file) const {
        const auto read = ReadText(file);
        return std::holds_alternative<std::string>(read)
                   ? std::optional(std::get<std::string>(read))
                   : std::nullopt;
    }
    std::vector<fs::path> Files() const {
        std::vector<fs::path> names;
        for (const auto &entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                names.push_back(fs::relative(entry.path(), folder));
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

// The system's disk, but the call numbered failAt fails with `cause`; or, when it dies, that
// call and every later one does nothing, as when the power goes.
struct FaultyDisk final : Disk {
    int failAt = -1;
    bool dies = false;
    Cause cause = Cause::DiskFull;
    int calls = 0;
    bool dead = false;

    Fault Injected() {
        if (dead || calls++ == failAt) {
            dead = dies;
            return dies ? Cause::Other : cause;
        }
        return {};
    }
    template <typename Call, typename... Arguments>
    Fault Step(Call call, Arguments &&...arguments) {
        const Fault fault = Injected();
        return fault ? fault : (real.*call)(std::forward<Arguments>(arguments)...);
    }
    Disk &real = SystemDisk();
    using Path = const fs::path &;
    Fault Read(Path f, std::string &text) override { return Step(&Disk::Read, f, text); }
    Fault MakeFolders(Path f) override { return Step(&Disk::MakeFolders, f); }
    Fault CreateNew(Path f, Handle &h) override { return Step(&Disk::CreateNew, f, h); }
    Fault Write(Handle h, std::string_view bytes) override { return Step(&Disk::Write, h, bytes); }
    Fault Flush(Handle h) override { return Step(&Disk::Flush, h); }
    Fault Replace(Path from, Path to) override { return Step(&Disk::Replace, from, to); }
    Fault Move(Path from, Path to) override { return Step(&Disk::Move, from, to); }
    Fault FlushFolder(Path f) override { return Step(&Disk::FlushFolder, f); }
    Fault Remove(Path f) override { return Step(&Disk::Remove, f); }
    Fault OpenLock(Path f, Handle &h) override { return Step(&Disk::OpenLock, f, h); }
    Fault TryLock(Handle h) override { return Step(&Disk::TryLock, h); }
    // A close that fails still lets the handle go, on both systems; so does a power cut.
    Fault Close(Handle h) override {
        const Fault fault = Injected();
        real.Close(h);
        return fault;
    }
    void Release(Handle h) override { real.Release(h); }
};

TEST(StoreSafeFiles, ASaveStoppedAtAnyCallLeavesTheOldTextOrTheNew) {
    for (const bool dies : {false, true}) {
        for (const bool hadFile : {true, false}) {
            int calls = 0;
            for (int failAt = 0; failAt <= calls; ++failAt) {
                SCOPED_TRACE(testing::Message() << (dies ? "dies" : "fails") << " at call "
                                                << failAt << (hadFile ? "" : ", first save"));
                Scratch scratch("save");
                const fs::path file = scratch.folder / "nuova cartella" / "materiali.txt";
                if (hadFile) {
                    ASSERT_FALSE(ReplaceAtomically(file, "316L = 7,98\n"));
                }
                FaultyDisk disk;
                disk.failAt = failAt;
                disk.dies = dies;
                const std::string fresh(100000, 'x');
                const auto error = ReplaceAtomically(file, fresh, disk);
                calls = std::max(calls, disk.calls);
                const auto now = scratch.Text(file);
                EXPECT_TRUE(
                    now == fresh ||
                    now == (hadFile ? std::optional<std::string>("316L = 7,98\n") : std::nullopt));
                if (!error) {
                    EXPECT_EQ(now, fresh);
                } else if (!dies) {
                    EXPECT_NE(now, fresh);
                    EXPECT_EQ(error->message,
                              "impossibile salvare «" + Utf8Of(file) + "»: disco pieno");
                    EXPECT_EQ(scratch.Files().size(), hadFile ? 1u : 0u) << "the temporary is left";
                }
            }
            EXPECT_GE(calls, 7); // folders, create, write, flush, close, rename, folder flush
        }
    }
}

#ifndef _WIN32
// Not as root, who writes in any folder: as root, the test runs as nobody in a child.
bool SavesInReadOnlyFolder(const fs::path &folder) {
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_exec |
                                fs::perms::others_exec | fs::perms::others_read);
    fs::permissions(folder.parent_path(), fs::perms::others_exec, fs::perm_options::add);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && setuid(65534) != 0) {
            _exit(3);
        }
        const auto error = ReplaceAtomically(folder / "materiali.txt", "A = 1\n");
        _exit(!error ? 0
              : error->cause == Cause::Denied &&
                      error->message.find("sola lettura") != std::string::npos
                  ? 1
                  : 2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}
#endif

TEST(StoreSafeFiles, EachFailureSaysWhatAndWhere) {
    Scratch scratch("causes");
    const fs::path file = scratch.folder / "materiali.txt";
    const auto read = ReadText(file);
    ASSERT_TRUE(std::holds_alternative<FileError>(read));
    EXPECT_EQ(std::get<FileError>(read).message,
              "impossibile leggere «" + Utf8Of(file) + "»: il file o la cartella non esiste");

    struct Row {
        int failAt;
        Cause cause;
        const char *reason;
    };
    const Row rows[] = {
        {1, Cause::Denied, "accesso negato (cartella o file in sola lettura)"}, // create
        {2, Cause::DiskFull, "disco pieno"},                                    // write
        {3, Cause::Other, "errore del disco"},                                  // flush
    };
    for (const Row &row : rows) {
        FaultyDisk disk;
        disk.failAt = row.failAt;
        disk.cause = row.cause;
        const auto error = ReplaceAtomically(file, "A = 1\n", disk);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->cause, row.cause);
        EXPECT_EQ(error->message, "impossibile salvare «" + Utf8Of(file) + "»: " + row.reason);
    }
    EXPECT_TRUE(scratch.Files().empty());
#ifndef _WIN32
    fs::create_directory(scratch.folder / "sola lettura");
    EXPECT_TRUE(SavesInReadOnlyFolder(scratch.folder / "sola lettura"));
#endif
}

TEST(StoreSafeFiles, ADamagedFileIsSetAsideNeverOverwritten) {
    EXPECT_EQ(AsideName("materiali.txt", {2026, 12, 7, 1, 2, 3}),
              "materiali-danneggiata-20261207-010203.txt");
    EXPECT_EQ(AsideName("offerta", {2026, 1, 31, 23, 59, 59}),
              "offerta-danneggiata-20260131-235959");

    Scratch scratch("aside");
    const fs::path file = scratch.folder / "materiali.txt";
    const Stamp when{2026, 12, 7, 1, 2, 3};
    const fs::path taken = scratch.folder / "materiali-danneggiata-20261207-010203.txt";
    ASSERT_FALSE(ReplaceAtomically(taken, "set aside before"));
    ASSERT_FALSE(ReplaceAtomically(file, "\xFF damaged"));
    const auto aside = SetAside(file, when);
    ASSERT_TRUE(std::holds_alternative<fs::path>(aside));
    EXPECT_EQ(std::get<fs::path>(aside).filename(), "materiali-danneggiata-20261207-010203-2.txt");
    EXPECT_EQ(scratch.Text(std::get<fs::path>(aside)), "\xFF damaged");
    EXPECT_EQ(scratch.Text(taken), "set aside before");
    EXPECT_FALSE(scratch.Text(file));
    EXPECT_TRUE(std::holds_alternative<FileError>(SetAside(file, when)));
}

// The test programs lie in one folder.
fs::path Beside(const std::string &program) {
#ifdef _WIN32
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path() / (program + ".exe");
#else
    return fs::read_symlink("/proc/self/exe").parent_path() / program;
#endif
}

// Starts the writers at once and gives their exit codes.
std::vector<int> RunTogether(const std::vector<std::vector<std::string>> &commands) {
    std::vector<int> codes;
#ifdef _WIN32
    std::vector<PROCESS_INFORMATION> started;
    for (const auto &command : commands) {
        std::wstring line;
        for (const std::string &argument : command) {
            line += L"\"" + PathFromUtf8(argument).wstring() + L"\" ";
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process));
        started.push_back(process);
    }
    for (const PROCESS_INFORMATION &process : started) {
        DWORD code = 99;
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        codes.push_back(static_cast<int>(code));
    }
#else
    std::vector<pid_t> started;
    for (const auto &command : commands) {
        std::vector<char *> argv;
        for (const std::string &argument : command) {
            argv.push_back(const_cast<char *>(argument.c_str()));
        }
        argv.push_back(nullptr);
        pid_t child = 0;
        EXPECT_EQ(posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ), 0);
        started.push_back(child);
    }
    for (const pid_t child : started) {
        int status = 0;
        waitpid(child, &status, 0);
        codes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : 99);
    }
#endif
    return codes;
}

TEST(StoreSafeFiles, TwoProgramsChangingOneFileTakeTurns) {
    Scratch scratch("lock");
    const fs::path file = scratch.folder / "materiali.txt";
    {
        auto held = FileLock::Take(file, std::chrono::milliseconds(0));
        ASSERT_TRUE(std::holds_alternative<FileLock>(held));
        const auto waited = FileLock::Take(file, std::chrono::milliseconds(50));
        ASSERT_TRUE(std::holds_alternative<FileError>(waited));
        EXPECT_EQ(std::get<FileError>(waited).cause, Cause::Busy);
    }
    ASSERT_TRUE(
        std::holds_alternative<FileLock>(FileLock::Take(file, std::chrono::milliseconds(0))));

    const std::string writer = Utf8Of(Beside("store_writer"));
    EXPECT_EQ(RunTogether({{writer, Utf8Of(file), "A", "200"}, {writer, Utf8Of(file), "B", "200"}}),
              std::vector<int>({0, 0}));
    const auto text = scratch.Text(file);
    ASSERT_TRUE(text);
    std::set<std::string> lines, expected;
    std::istringstream stream(*text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.starts_with('#')) {
            lines.insert(line);
        }
    }
    for (int i = 1; i <= 200; ++i) {
        expected.insert("A" + std::to_string(i) + " = 7,5");
        expected.insert("B" + std::to_string(i) + " = 7,5");
    }
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(scratch.Files(), std::vector<fs::path>({"materiali.txt", "materiali.txt.lock"}));
}

// A damaged offer is set aside, never overwritten, and an empty one starts; the next change
// is kept beside it.
TEST(StoreOffer, ADamagedOfferIsSetAsideAndAnEmptyOneStarts) {
    const std::string good = "kalvor-offerta 1\ncliente: x\nvoci: 0\nfine\n";
    const std::vector<std::string> damagedTexts{good.substr(0, good.size() / 2),
                                                "kalvor-offerta 9\nfine\n",
                                                std::string("\x00\xff\x13junk", 7), ""};
    for (const std::string &damaged : damagedTexts) {
        Scratch scratch("offer");
        ASSERT_FALSE(ReplaceAtomically(scratch.folder / "offerta.txt", damaged + " "));
        OfferOnDisk keeper(scratch.folder);
        const auto kept = keeper.Load();
        ASSERT_TRUE(kept.offer);
        EXPECT_TRUE(kept.offer->Lines().empty());
        EXPECT_NE(kept.message.find("messa da parte"), std::string::npos) << kept.message;
        const auto changed = keeper.Change([](kalvor::offer::Offer &o) { o.client = "nuovo"; });
        ASSERT_TRUE(changed.offer);
        const std::vector<fs::path> files = scratch.Files();
        ASSERT_EQ(files.size(), 3U); // the aside file, the new offer and the lock
        EXPECT_TRUE(files[0].string().starts_with("offerta-danneggiata-"));
        EXPECT_EQ(scratch.Text(scratch.folder / files[0]), damaged + " ");
    }
}

// A change that cannot be kept changes nothing, on disk or on show, and says why.
TEST(StoreOffer, AFailedSaveIsNeverShownAsSaved) {
    Scratch scratch("offer-full");
    FaultyDisk full;
    kalvor::form::OfferDesk desk(std::make_shared<OfferOnDisk>(scratch.folder, full));
    ASSERT_TRUE(desk.SetClient("prima").changed);
    full.failAt = full.calls + 4; // the write of the next save
    const auto answer = desk.SetClient("dopo");
    EXPECT_FALSE(answer.changed);
    EXPECT_NE(answer.message.find("disco pieno"), std::string::npos) << answer.message;
    EXPECT_EQ(desk.Now().client, "prima");
    EXPECT_EQ(OfferOnDisk(scratch.folder).Load().offer->client, "prima");
}

TEST(StoreOffer, TwoProgramsAddingLinesLoseNone) {
#ifdef _WIN32
    const int each = 100; // Wine's disk is slow
#else
    const int each = 500;
#endif
    Scratch scratch("offer-two");
    const std::string writer = Utf8Of(Beside("store_writer"));
    const std::string folder = Utf8Of(scratch.folder);
    EXPECT_EQ(RunTogether({{writer, "--offerta", folder, "A", std::to_string(each)},
                           {writer, "--offerta", folder, "B", std::to_string(each)}}),
              std::vector<int>({0, 0}));
    std::set<std::string> materials;
    const auto kept = OfferOnDisk(scratch.folder).Load();
    ASSERT_TRUE(kept.offer);
    for (const auto &line : kept.offer->Lines()) {
        materials.insert(line.material);
    }
    EXPECT_EQ(materials.size(), 2U * each);
}

// kalvor --esporta-offerta FILE: what a script reads is the exit code.
TEST(StoreOffer, TheSavedOfferIsExportedWithoutAWindow) {
    Scratch scratch("export");
    const fs::path csv = scratch.folder / "out.csv";
    EXPECT_EQ(ExportSavedOffer(scratch.folder, csv).exitCode, 1); // nothing saved
    OfferOnDisk(scratch.folder).Change([](kalvor::offer::Offer &o) { o.client = "Rossi"; });
    EXPECT_EQ(ExportSavedOffer(scratch.folder, scratch.folder).exitCode, 2); // a folder
    const ExportResult done = ExportSavedOffer(scratch.folder, csv);
    EXPECT_EQ(done.exitCode, 0) << done.message;
    EXPECT_TRUE(scratch.Text(csv)->starts_with("\xEF\xBB\xBFN.;Cliente;"));
}

} // namespace

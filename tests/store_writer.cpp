// Adds COUNT grades named PREFIX1, PREFIX2, ... to a materials file, or COUNT lines of those
// materials to the offer kept in FOLDER, one locked change each, while another store_writer
// does the same: test_store starts two and counts what is kept.
//   store_writer FILE PREFIX COUNT
//   store_writer --offerta FOLDER PREFIX COUNT
#include "store/desk_files.h"
#include "store/files.h"
#include "store/materials_file.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv) {
    using namespace kalvor::store;
    if (argc == 5 && std::string(argv[1]) == "--offerta") {
        OfferOnDisk offer(PathFromUtf8(argv[2]));
        kalvor::form::Recorded line{
            "",        "7,85",
            "Lamiera", {{"Larghezza:", "1"}, {"Lunghezza:", "2"}, {"Spessore:", "3"}},
            "1",       "2",
            false,     "0,05",
            "0,05",    "",
            "0,1",     "0,1",
            ""};
        for (int i = 1; i <= std::stoi(argv[4]); ++i) {
            line.material = argv[3] + std::to_string(i);
            const auto added = kalvor::form::LineOf(line);
            if (!added.ok() ||
                !offer.Change([&](kalvor::offer::Offer &o) { o.Add(added.value()); }).offer) {
                return 1;
            }
        }
        return 0;
    }
    if (argc != 4) {
        std::fputs("usage: store_writer FILE PREFIX COUNT\n", stderr);
        return 2;
    }
    const auto file = PathFromUtf8(argv[1]);
    for (int i = 1; i <= std::stoi(argv[3]); ++i) {
        const std::string name = argv[2] + std::to_string(i);
        const auto error =
            ChangeUnderLock(file, std::chrono::seconds(60), [&](const std::string &text) {
                return std::optional<std::string>(WithGrade(text, name, "7,5"));
            });
        if (error) {
            std::fprintf(stderr, "%s\n", error->message.c_str());
            return 1;
        }
    }
    return 0;
}

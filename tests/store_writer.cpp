// Adds COUNT grades named PREFIX1, PREFIX2, ... to a materials file, one locked change each,
// while another store_writer does the same: test_store starts two and counts what is kept.
//   store_writer FILE PREFIX COUNT
#include "store/files.h"
#include "store/materials_file.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv) {
    using namespace kalvor::store;
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

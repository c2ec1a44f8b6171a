#pragma once

#include "form/model.h"

#include <optional>
#include <string>

// The desk's own materials as the window sees them: a file of grades that the window reads
// after its first paint, and changes one grade at a time. The files layer keeps it; a test can
// pretend. Every answer is a value: a new catalogue, or the reason in Italian.
namespace kalvor::form {

class OwnMaterials {
public:
    virtual ~OwnMaterials() = default;

    struct Read {
        Catalogue catalogue;
        std::string faults; // which lines were skipped and why, for one message; "" for none
    };
    virtual Read Load() = 0;
    // True when the file changed since it was last read (another window kept a grade).
    virtual bool ChangedOnDisk() = 0;

    struct Outcome {
        std::optional<Catalogue> catalogue; // what is saved now
        std::string refusal;                // otherwise why nothing was saved
    };
    virtual Outcome Keep(const std::string &name, const std::string &density) = 0;
    virtual Outcome Remove(const std::string &name) = 0;
};

inline constexpr std::string_view kOwnMaterialsTitle = "materiali propri";

// What the window does with the file's answers: the list from what was read, and one message
// naming the lines skipped; the list from what was kept, or why nothing was.
Changes Loaded(Model &model, OwnMaterials::Read read);
Changes Kept(Model &model, const OwnMaterials::Outcome &outcome);

} // namespace kalvor::form

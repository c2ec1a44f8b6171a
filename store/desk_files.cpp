#include "store/desk_files.h"

#include "offer/file.h"
#include "offer/texts.h"
#include "store/materials_file.h"

#include <chrono>
#include <system_error>
#include <vector>

namespace kalvor::store {
namespace {

// How long a change waits for another Kalvor that holds the file.
constexpr std::chrono::milliseconds kPatience{3000};

std::vector<std::string> CatalogueNames() {
    std::vector<std::string> names;
    for (const form::Material &material : form::Catalogue::Standard().materials) {
        names.push_back(material.name);
    }
    return names;
}

form::Catalogue CatalogueOf(const MaterialsText &parsed) {
    std::vector<form::Material> own;
    for (const Grade &grade : parsed.grades) {
        own.push_back({grade.name, grade.density, false, true});
    }
    return form::Catalogue::WithOwn(std::move(own));
}

} // namespace

MaterialsOnDisk::MaterialsOnDisk(std::filesystem::path file, Disk &disk)
    : file_(std::move(file)), disk_(disk) {}

MaterialsOnDisk::Seen MaterialsOnDisk::Look() const {
    std::error_code error;
    Seen seen;
    seen.exists = std::filesystem::exists(file_, error);
    if (seen.exists) {
        seen.size = std::filesystem::file_size(file_, error);
        seen.written = std::filesystem::last_write_time(file_, error);
    }
    return seen;
}

form::OwnMaterials::Read MaterialsOnDisk::Load() {
    seen_ = Look();
    auto text = ReadText(file_, disk_);
    if (const auto *error = std::get_if<FileError>(&text)) {
        if (error->cause == Cause::NotFound) {
            return {form::Catalogue::Standard(), {}};
        }
        return {form::Catalogue::Standard(), error->message};
    }
    const MaterialsText parsed = ParseMaterials(std::get<std::string>(text), CatalogueNames());
    std::string faults;
    if (!parsed.faults.empty()) {
        faults = "Righe di «" + Utf8Of(file_) + "» non usate:";
        for (const FaultyLine &fault : parsed.faults) {
            faults += "\nriga " + std::to_string(fault.line) + ": " + fault.reason;
        }
    }
    return {CatalogueOf(parsed), std::move(faults)};
}

bool MaterialsOnDisk::ChangedOnDisk() {
    return !(Look() == seen_);
}

form::OwnMaterials::Outcome MaterialsOnDisk::Change(
    const std::function<std::optional<std::string>(const std::string &, std::string &)> &change) {
    std::string refusal;
    const auto error = ChangeUnderLock(
        file_, kPatience, [&](const std::string &text) { return change(text, refusal); }, disk_);
    if (error) {
        return {std::nullopt, error->message};
    }
    if (!refusal.empty()) {
        return {std::nullopt, refusal};
    }
    return {Load().catalogue, {}};
}

form::OwnMaterials::Outcome MaterialsOnDisk::Keep(const std::string &name,
                                                  const std::string &density) {
    return Change([&](const std::string &text, std::string &refusal) -> std::optional<std::string> {
        const std::vector<std::string> names = CatalogueNames();
        const MaterialsText parsed = ParseMaterials(text, names);
        if (auto fault = GradeFault(name, density, names, parsed.grades)) {
            refusal = std::move(*fault);
            return std::nullopt;
        }
        return WithGrade(text, name, density);
    });
}

form::OwnMaterials::Outcome MaterialsOnDisk::Remove(const std::string &name) {
    return Change([&](const std::string &text, std::string &) -> std::optional<std::string> {
        return WithoutGrade(text, name);
    });
}

OfferOnDisk::OfferOnDisk(std::filesystem::path folder, Disk &disk)
    : file_(std::move(folder) / std::string(kOfferFileName)), disk_(disk) {}

offer::Offer OfferOnDisk::Read(const std::string &text, std::string &notice) {
    if (text.empty()) {
        return {};
    }
    auto parsed = offer::ParseOffer(text);
    if (parsed.ok()) {
        return parsed.value();
    }
    // Never overwritten: the damaged file goes aside under a name of its own.
    const auto aside = SetAside(file_, LocalNow(), disk_);
    if (const auto *error = std::get_if<FileError>(&aside)) {
        notice = "L'offerta salvata è danneggiata (" + parsed.error() + ") e non si può mettere " +
                 "da parte: " + error->message;
        return {};
    }
    notice = "L'offerta salvata era danneggiata (" + parsed.error() + "): è stata messa da parte " +
             "come «" + Utf8Of(std::get<std::filesystem::path>(aside)) +
             "» e si comincia un'offerta vuota.";
    return {};
}

form::OfferKeeper::Kept OfferOnDisk::Load() {
    auto text = ReadText(file_, disk_);
    if (const auto *error = std::get_if<FileError>(&text)) {
        if (error->cause == Cause::NotFound) {
            return {offer::Offer{}, {}};
        }
        return {std::nullopt, error->message};
    }
    Kept kept;
    kept.offer = Read(std::get<std::string>(text), kept.message);
    return kept;
}

form::OfferKeeper::Kept OfferOnDisk::Change(const std::function<void(offer::Offer &)> &change) {
    Kept kept;
    offer::Offer changed;
    const auto error = ChangeUnderLock(
        file_, kPatience,
        [&](const std::string &text) -> std::optional<std::string> {
            changed = Read(text, kept.message);
            change(changed);
            return offer::FormatOffer(changed);
        },
        disk_);
    if (error) {
        return {std::nullopt, error->message};
    }
    kept.offer = std::move(changed);
    return kept;
}

ExportResult ExportSavedOffer(const std::filesystem::path &offerFolder,
                              const std::filesystem::path &csvFile) {
    const std::filesystem::path file = offerFolder / std::string(kOfferFileName);
    auto text = ReadText(file);
    if (const auto *error = std::get_if<FileError>(&text)) {
        return {1, error->cause == Cause::NotFound
                       ? "kalvor: nessuna offerta salvata in «" + Utf8Of(offerFolder) + "»"
                       : "kalvor: " + error->message};
    }
    auto parsed = offer::ParseOffer(std::get<std::string>(text));
    if (!parsed.ok()) {
        return {1, "kalvor: l'offerta salvata in «" + Utf8Of(file) +
                       "» è danneggiata: " + parsed.error()};
    }
    if (const auto error = ReplaceAtomically(csvFile, offer::CsvText(parsed.value()))) {
        return {2, "kalvor: " + error->message};
    }
    return {0, {}};
}

} // namespace kalvor::store

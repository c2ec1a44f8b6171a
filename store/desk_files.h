#pragma once

#include "form/offer_desk.h"
#include "form/own_materials.h"
#include "store/files.h"

#include <filesystem>
#include <optional>
#include <string>

// The window's view of the desk's files, kept by this layer: the own materials and the offer.
namespace kalvor::store {

class MaterialsOnDisk : public form::OwnMaterials {
public:
    explicit MaterialsOnDisk(std::filesystem::path file, Disk &disk = SystemDisk());
    Read Load() override;
    bool ChangedOnDisk() override;
    Outcome Keep(const std::string &name, const std::string &density) override;
    Outcome Remove(const std::string &name) override;

private:
    struct Seen {
        bool exists = false;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type written{};
        bool operator==(const Seen &) const = default;
    };
    Seen Look() const;
    Outcome Change(const std::function<std::optional<std::string>(const std::string &,
                                                                  std::string &refusal)> &change);

    std::filesystem::path file_;
    Disk &disk_;
    Seen seen_;
};

class OfferOnDisk : public form::OfferKeeper {
public:
    explicit OfferOnDisk(std::filesystem::path folder, Disk &disk = SystemDisk());
    Kept Load() override;
    Kept Change(const std::function<void(offer::Offer &)> &change) override;
    const std::filesystem::path &File() const { return file_; }

private:
    // The offer the text holds; a damaged one is set aside and an empty one starts.
    offer::Offer Read(const std::string &text, std::string &notice);

    std::filesystem::path file_;
    Disk &disk_;
};

inline constexpr std::string_view kOfferFileName = "offerta.txt";

// kalvor --esporta-offerta FILE: the saved offer as CSV; the exit code and the message on
// standard error are what a script reads. 0 written; 1 no saved offer, or it is damaged;
// 2 the file could not be written.
struct ExportResult {
    int exitCode;
    std::string message; // Italian, empty when all went well
};
ExportResult ExportSavedOffer(const std::filesystem::path &offerFolder,
                              const std::filesystem::path &csvFile);

} // namespace kalvor::store

#pragma once

#include "form/model.h"
#include "offer/offer.h"
#include "offer/texts.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The offer window without a toolkit: the lines gathered from the main window, kept after
// every change by an OfferKeeper, and what the window shows of them. The offer is read when
// it is first needed, never at start-up.
namespace kalvor::form {

// Where the offer is kept: the files layer in the program, a pretend one in tests.
class OfferKeeper {
public:
    virtual ~OfferKeeper() = default;

    struct Kept {
        std::optional<offer::Offer> offer; // as kept now; nothing when it could not be kept
        std::string message;               // why not, or a notice (a damaged file set aside)
    };
    virtual Kept Load() = 0;
    // Applies the change to the offer as it is kept now (another window may have changed it)
    // and keeps the result; on failure nothing is kept and the offer stays as it was.
    virtual Kept Change(const std::function<void(offer::Offer &)> &change) = 0;
};

inline constexpr std::string_view kOfferTitle = "Offerta";
inline constexpr std::string_view kAddToOffer = "Aggiungi all'offerta";
inline constexpr std::string_view kShowOffer = "Mostra offerta";
inline constexpr std::string_view kClearQuestion = "Svuotare l'offerta?";

class OfferDesk {
public:
    explicit OfferDesk(std::shared_ptr<OfferKeeper> keeper);

    // What a change answers: whether the offer on show changed, and a message for a box.
    struct Answer {
        bool changed = false;
        std::string message;
    };
    Answer Open(); // reads the offer the first time; later, the one kept now
    Answer Add(const Recorded &line);
    Answer Remove(std::vector<std::size_t> rows);
    Answer Clear(); // once the user has said yes to kClearQuestion
    Answer SetClient(const std::string &client);

    const offer::Offer &Now() const { return offer_; }
    offer::TableView View() const { return offer::ViewOf(offer_); }
    std::string CopyText() const;
    std::string CsvText() const;

private:
    Answer Keep(const std::function<void(offer::Offer &)> &change);

    std::shared_ptr<OfferKeeper> keeper_;
    offer::Offer offer_;
    bool read_ = false;
};

// The line the main window's results make, or why they make none.
calc::Result<offer::OfferLine, std::string> LineOf(const Recorded &recorded);

// "offerta-2026-12-07.csv"
std::string ExportName(int year, int month, int day);

} // namespace kalvor::form

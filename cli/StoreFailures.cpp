#include "StoreFailures.h"

#include "Core.h"
#include "Numbers.h"
#include "SlotText.h"
#include "TerminalText.h"

#include <cstdio>
#include <vector>

namespace {

std::string hexadecimal(std::uint32_t number) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", number);
    return text;
}

// Why a file is not a whole image of the game, in the layout it was found or
// opened in.
std::string notAnImageReason(const FileResult& result) {
    if (result.kind == FileResult::Kind::NotTheGame)
        return "the game's signature is not at " +
               hexadecimal(image::signatureOffsetIn(result.layout));
    const bool headerless = result.layout == places::Layout::Headerless;
    return withThousands(result.fileSize) + " bytes long; a game image " +
           (headerless ? "without a copier header " : "") + "holds at least " +
           withThousands(result.minimumSize) + " bytes";
}

std::string plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

std::string cutNames(const std::vector<std::size_t>& slots) {
    const std::string limit = std::to_string(NameList::longestName);
    const SlotListing listing = listingOf(slots);
    if (listing.named.empty())
        return "The name of slot " + twoDigitSlot(listing.last) + " is longer than " + limit +
               " characters and is shown cut";
    std::string text = "The names of slots " + twoDigitSlot(listing.named[0]);
    for (std::size_t i = 1; i < listing.named.size(); ++i)
        text += ", " + twoDigitSlot(listing.named[i]);
    text += " and " + (listing.more > 0 ? std::to_string(listing.more) + " more"
                                        : twoDigitSlot(listing.last));
    return text + " are longer than " + limit + " characters and are shown cut";
}

} // namespace

std::string loadFailure(const FileResult& result) {
    switch (result.kind) {
    case FileResult::Kind::Busy:
        return quotedForTerminal(result.path) + " is being saved by another program";
    case FileResult::Kind::NotTheGame:
        return quotedForTerminal(result.path) + " is not an image of the game";
    case FileResult::Kind::TooShort:
        return quotedForTerminal(result.path) + " is " + notAnImageReason(result);
    default:
        return "cannot read " + quotedForTerminal(result.path) + ": " + result.systemReason;
    }
}

std::string namesWarning(const NamesReport& names) {
    if (!names.unreadableReason.empty())
        return quotedForTerminal(names.path) + " could not be read (" + names.unreadableReason +
               "); the enemies are listed without names";
    std::string text;
    if (names.namedCount == 0)
        text =
            quotedForTerminal(names.path) + " holds no names; the enemies are listed without names";
    else if (names.namedCount < Core::enemyCount)
        text = quotedForTerminal(names.path) + " holds only " +
               plural(names.namedCount, "name", "names") +
               "; the other enemies are listed without names";
    if (!names.cutSlots.empty())
        text += (text.empty() ? "" : ". ") + cutNames(names.cutSlots);
    return text;
}

std::string saveFailure(const FileResult& result) {
    const std::string cannot = "cannot save " + quotedForTerminal(result.path) + ": ";
    switch (result.kind) {
    case FileResult::Kind::ChangedOnDisk:
        return quotedForTerminal(result.path) +
               ": the tables were changed by another program during the import; the image "
               "was not changed";
    case FileResult::Kind::PartlyWritten:
        return cannot + result.systemReason + "; the image may be partly changed";
    case FileResult::Kind::Busy:
        return loadFailure(result) + "; the image was not changed";
    case FileResult::Kind::Replaced:
        return quotedForTerminal(result.path) +
               " was replaced by another program during the save; the image was not changed";
    case FileResult::Kind::LengthChanged:
        return quotedForTerminal(result.path) +
               " changed its length during the save, by another program; the image may be "
               "partly changed";
    case FileResult::Kind::NotTheGame:
    case FileResult::Kind::TooShort:
        return cannot + "it is no longer an image of the game (" + notAnImageReason(result) +
               "); the image was not changed";
    default:
        return cannot + result.systemReason + "; the image was not changed";
    }
}

#include "StoreMessages.h"

#include "Core.h"
#include "SlotText.h"

#include <QCoreApplication>
#include <QLocale>

namespace {

// The context of this file's texts in the translations.
struct StoreMessages {
    Q_DECLARE_TR_FUNCTIONS(StoreMessages)
};

QString pathText(const std::string& path) {
    return QString::fromStdString(path);
}

// In the user's locale; under the C locale, which groups no digits, the
// English way ("439,654").
QString thousands(std::uint64_t number) {
    const QLocale system = QLocale::system();
    const QLocale locale = system.language() == QLocale::C ? QLocale(QLocale::English) : system;
    return locale.toString(qulonglong(number));
}

// Why a file is not a whole image of the game, in the layout it was found or
// opened in.
QString notAnImageReason(const FileResult& result) {
    const bool headerless = result.layout == places::Layout::Headerless;
    if (result.kind == FileResult::Kind::NotTheGame)
        return StoreMessages::tr("the game's signature is not at %1")
            .arg(QStringLiteral("0x%1").arg(
                QString::number(image::signatureOffsetIn(result.layout), 16).toUpper()));
    return (headerless
                ? StoreMessages::tr(
                      "%1 bytes long; a game image without a copier header holds at least %2 bytes")
                : StoreMessages::tr("%1 bytes long; a game image holds at least %2 bytes"))
        .arg(thousands(result.fileSize), thousands(result.minimumSize));
}

QString cannotSave(const FileResult& result, const QString& reason, const QString& outcome) {
    return sentencesText(
        {StoreMessages::tr("Cannot save \"%1\": %2.").arg(pathText(result.path), reason), outcome});
}

QString nothingWritten() {
    return StoreMessages::tr("Nothing was written; your edits are still here.");
}

QString mayBePartlyChanged() {
    return StoreMessages::tr("The file may be partly changed: save again before you exit.");
}

QString anotherProgramIsSaving() {
    return StoreMessages::tr("another program is saving it");
}

QString saveFailureText(const FileResult& result) {
    const QString reason = QString::fromStdString(result.systemReason);
    switch (result.kind) {
    case FileResult::Kind::PartlyWritten:
        return cannotSave(result, reason, mayBePartlyChanged());
    case FileResult::Kind::Busy:
        return cannotSave(result, anotherProgramIsSaving(), nothingWritten());
    case FileResult::Kind::Replaced:
        return StoreMessages::tr("Cannot save \"%1\": another program replaced the file during "
                                 "the save; your edits are not in it and are still here.")
            .arg(pathText(result.path));
    case FileResult::Kind::LengthChanged:
        return cannotSave(
            result, StoreMessages::tr("another program changed the file's length during the save"),
            mayBePartlyChanged());
    case FileResult::Kind::NotTheGame:
    case FileResult::Kind::TooShort:
        return cannotSave(result,
                          StoreMessages::tr("it is no longer an image of the game (%1)")
                              .arg(notAnImageReason(result)),
                          nothingWritten());
    default:
        return cannotSave(result, reason, nothingWritten());
    }
}

QString readFailureText(const FileResult& result) {
    switch (result.kind) {
    case FileResult::Kind::NotTheGame:
        return StoreMessages::tr("\"%1\" is not an image of the game.").arg(pathText(result.path));
    case FileResult::Kind::TooShort:
        return StoreMessages::tr("\"%1\" is %2.")
            .arg(pathText(result.path), notAnImageReason(result));
    case FileResult::Kind::Busy:
        return StoreMessages::tr("Cannot read \"%1\": %2.")
            .arg(pathText(result.path), anotherProgramIsSaving());
    default:
        return StoreMessages::tr("Cannot read \"%1\": %2.")
            .arg(pathText(result.path), QString::fromStdString(result.systemReason));
    }
}

// "The name of slot 1A is …", "The names of slots 0, 1, 2 and 9 more are …".
QString cutNamesText(const std::vector<std::size_t>& cutSlots) {
    const QString limit = QString::number(NameList::longestName);
    const auto slot = [](std::size_t s) { return QString::fromStdString(listSlot(s)); };
    const SlotListing listing = listingOf(cutSlots);
    if (listing.named.empty())
        return StoreMessages::tr(
                   "The name of slot %1 is longer than %2 characters and is shown cut.")
            .arg(slot(listing.last), limit);
    QStringList named;
    for (const std::size_t s : listing.named)
        named << slot(s);
    const QString last = listing.more > 0 ? StoreMessages::tr("%n more", nullptr, int(listing.more))
                                          : slot(listing.last);
    return StoreMessages::tr(
               "The names of slots %1 and %2 are longer than %3 characters and are shown cut.")
        .arg(named.join(StoreMessages::tr(", ", "between the items of a list")), last, limit);
}

QString namedCountText(const NamesReport& names) {
    if (names.namedCount == 0)
        return StoreMessages::tr("\"%1\" holds no names; the enemies are listed without names.")
            .arg(pathText(names.path));
    return StoreMessages::tr(
               "\"%1\" holds only %n names; the other enemies are listed without names.", nullptr,
               int(names.namedCount))
        .arg(pathText(names.path));
}

// One message for the names file; empty when all is well or none was read.
QString namesWarning(const NamesReport& names) {
    if (names.path.empty())
        return {};
    if (!names.unreadableReason.empty())
        return StoreMessages::tr(
                   "\"%1\" could not be read (%2); the enemies are listed without names.")
            .arg(pathText(names.path), QString::fromStdString(names.unreadableReason));
    QStringList sentences;
    if (names.namedCount < Core::enemyCount)
        sentences << namedCountText(names);
    if (!names.cutSlots.empty())
        sentences << cutNamesText(names.cutSlots);
    return sentencesText(sentences);
}

} // namespace

QString sentencesText(const QStringList& sentences) {
    QString text = sentences.value(0);
    for (qsizetype i = 1; i < sentences.size(); ++i)
        text = StoreMessages::tr("%1 %2", "one sentence after another").arg(text, sentences[i]);
    return text;
}

QString failureText(const FileResult& result) {
    using enum FileResult::Kind;
    const bool bySave = result.bySave || result.kind == WriteFailed ||
                        result.kind == PartlyWritten || result.kind == Replaced ||
                        result.kind == LengthChanged;
    return bySave ? saveFailureText(result) : readFailureText(result);
}

QStringList loadWarnings(const FileResult& result) {
    QStringList warnings;
    if (const QString names = namesWarning(result.names); !names.isEmpty())
        warnings << names;
    if (!result.notWritableReason.empty())
        warnings << StoreMessages::tr(
                        "\"%1\" is read-only: you can look at the tables, but Save will fail until "
                        "the file can be written.")
                        .arg(pathText(result.path));
    return warnings;
}

QString saveAsFailureText(const FileResult& result, const std::string& imagePath) {
    QString reason = QString::fromStdString(result.systemReason);
    if (result.kind == FileResult::Kind::NotTheGame || result.kind == FileResult::Kind::TooShort)
        reason = StoreMessages::tr("\"%1\" is no longer an image of the game (%2)")
                     .arg(pathText(imagePath), notAnImageReason(result));
    else if (result.kind == FileResult::Kind::Busy)
        reason = anotherProgramIsSaving();
    return StoreMessages::tr(
               "Cannot save as \"%1\": %2. No file was made there; your edits are still here.")
        .arg(pathText(result.path), reason);
}

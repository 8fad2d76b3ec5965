// tarvon-tables: the tables of a game image as text, for spreadsheets,
// reviews and patches. Standard library and POSIX only.
#include "Core.h"
#include "IpsPatch.h"
#include "Numbers.h"
#include "Platform.h"
#include "StopSignals.h"
#include "StoreFailures.h"
#include "TableCsv.h"
#include "TableCsvFaults.h"
#include "TableDifferences.h"
#include "TerminalText.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view program = "tarvon-tables";

enum ExitStatus { Success = 0, Failure = 1, UsageError = 2 };
// diff, like diff(1): 0 when the same, 1 when different, 2 on trouble.
enum DiffStatus { Same = 0, Different = 1, DiffTrouble = 2 };

enum class OutputOption { None, Optional, Required };

struct Command;

struct Arguments {
    const Command* command = nullptr;
    std::vector<std::string> operands;
    std::optional<std::string> output;
    bool dryRun = false;
    std::optional<places::Layout> layout;
    SharedByteRule overlap = SharedByteRule::Refuse;
};

struct Command {
    std::string_view name;
    std::string_view usage; // after "tarvon-tables "
    std::string_view help;
    std::size_t operandCount;
    OutputOption output;
    bool dryRunOption;
    bool layoutOption;
    bool overlapOption;
    int (*run)(const Arguments&);
};

int usageError(const Command& command, std::string_view message);

const char* const overview = R"(usage: tarvon-tables COMMAND ARGUMENTS...

The tables of a game image as text: enemy health and damage bytes, and the
damage table, in an image with or without a copier header alike. Only import
writes to an image: the tables, and the image's own checksum where it was
right.

Commands:
  export IMAGE [-o FILE]            write the tables as CSV
  import [-n] IMAGE FILE            check a CSV file and save its values
        [--overlap=SIDE]            the side that wins where shared bytes disagree
  diff IMAGE_A IMAGE_B              list the table entries that differ
  patch ORIGINAL MODIFIED -o FILE   write the differing table bytes as IPS
        [--layout=LAYOUT]           for images with or without a copier header

A FILE named - is standard input or output.
'tarvon-tables COMMAND --help' tells more about one command;
'tarvon-tables --version' shows the version.
)";

void print(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

void say(std::string_view text) {
    print(stderr, text);
}

void fail(std::string_view message) {
    say(std::string(program) + ": " + std::string(message) + "\n");
}

// The system's files, where the tool reads and writes what is not an image.
FileSystem& files() {
    static const std::shared_ptr<FileSystem> system = realFileSystem();
    return *system;
}

// Loads the tables of `path` into `core` (with the names when asked). A
// failure is said with `outcome` after it.
bool loadImage(Core& core, const std::string& path, bool withNames, std::string_view outcome = {}) {
    core.setRomPath(path);
    const FileResult result = withNames ? core.loadRom() : core.loadTables();
    if (!result) {
        fail(loadFailure(result) + std::string(outcome));
        return false;
    }
    if (const std::string warning = namesWarning(result.names); withNames && !warning.empty())
        fail("warning: " + warning);
    return true;
}

struct ImageTables {
    image::TableBytes bytes;
    places::Layout layout;
};

// The tables of the image at `path`, loaded into `core`.
std::optional<ImageTables> tablesOfImage(Core& core, const std::string& path) {
    if (!loadImage(core, path, false))
        return std::nullopt;
    return ImageTables{core.tableBytes(), *core.layout()};
}

std::optional<ImageTables> tablesOfImage(const std::string& path) {
    Core core(programFolder());
    return tablesOfImage(core, path);
}

bool isSameFile(const std::string& a, const std::string& b) {
    FileStatus first, second;
    return files().statusAt(a, first).empty() && files().statusAt(b, second).empty() &&
           first.isSameFileAs(second);
}

// Refuses an output path that names one of the images.
bool outputSparesImages(const std::string& output, const std::vector<std::string>& images) {
    for (const std::string& image : images) {
        if (isSameFile(output, image)) {
            fail(quotedForTerminal(output) + " is the image " + quotedForTerminal(image) +
                 "; choose another output file, nothing was written");
            return false;
        }
    }
    return true;
}

bool writeStandardOutput(std::string_view contents) {
    const bool written =
        std::fwrite(contents.data(), 1, contents.size(), stdout) == contents.size();
    if (std::fflush(stdout) != 0 || !written) {
        fail("cannot write to standard output");
        return false;
    }
    return true;
}

// Writes the file of -o, or standard output for "-".
bool writeOutput(const std::string& path, std::string_view contents) {
    if (path == "-")
        return writeStandardOutput(contents);
    const ReplaceResult result = files().replaceWhole(path, contents);
    if (result.written && !result.reason.empty())
        fail(quotedForTerminal(path) +
             " is written, but its folder could not be synced: " + result.reason);
    else if (!result.reason.empty())
        fail("cannot write " + quotedForTerminal(path) + ": " + result.reason +
             "; nothing was written");
    return result.reason.empty();
}

// Whether the output `path` is standard output and that is a terminal.
bool writesToTerminal(const std::string& path) {
    return path == "-" && standardOutputIsTerminal();
}

// The name of an input file in messages.
std::string inputName(const std::string& path) {
    return path == "-" ? "<stdin>" : path;
}

// The entries that `changes` lists, counted: "1 table entry", "2 table entries".
std::string entryCount(const std::vector<std::string>& changes) {
    return withThousands(changes.size()) +
           (changes.size() == 1 ? " table entry" : " table entries");
}

// Lists `changes` on standard output, one a line, before the summary goes to
// standard error.
bool listChanges(const std::vector<std::string>& changes) {
    std::string listing;
    for (const std::string& line : changes)
        listing += line + '\n';
    return writeStandardOutput(listing);
}

// For each shared byte whose cells disagreed, which cell `rule` took.
std::vector<std::string> sharedByteChoices(const TableCsvResult& read, SharedByteRule rule) {
    std::vector<std::string> lines;
    for (const SharedByteCells& cells : read.overridden)
        lines.push_back(sharedByteChoice(cells, rule));
    return lines;
}

int exportTables(const Arguments& arguments) {
    const std::string& image = arguments.operands[0];
    Core core(programFolder());
    if (!loadImage(core, image, true))
        return Failure;
    // A terminal gets the names' control characters escaped, as `ls -q` does.
    const bool toTerminal = writesToTerminal(arguments.output.value_or("-"));
    const std::string csv = tablesToCsv(core.tableBytes(), [&core, toTerminal](Byte slot) {
        const std::string name = core.getEnemyName(slot);
        return toTerminal ? terminalText(name) : name;
    });
    if (!arguments.output)
        return writeStandardOutput(csv) ? Success : Failure;
    if (*arguments.output != "-" && !outputSparesImages(*arguments.output, {image}))
        return Failure;
    if (!writeOutput(*arguments.output, csv))
        return Failure;
    return Success;
}

std::optional<std::uintmax_t> fileSize(const std::string& path) {
    FileStatus status;
    if (std::string reason = files().statusAt(path, status); !reason.empty()) {
        fail("cannot read " + quotedForTerminal(path) + ": " + reason);
        return std::nullopt;
    }
    return status.size;
}

int importTables(const Arguments& arguments) {
    const std::string& image = arguments.operands[0];
    const std::string csvName = inputName(arguments.operands[1]);
    std::string text;
    if (std::string reason = files().readToEnd(arguments.operands[1], text); !reason.empty()) {
        fail("cannot read " + quotedForTerminal(csvName) + ": " + reason +
             "; the image was not changed");
        return Failure;
    }
    const TableCsvResult read = tablesFromCsv(text, arguments.overlap);
    if (read.fault) {
        say(terminalText(csvName) + ":" + std::to_string(read.fault->at.line) + ":" +
            std::to_string(read.fault->at.column) + ": " + tableCsvFaultMessage(*read.fault) +
            "\n");
        fail("the image was not changed");
        return Failure;
    }
    // One lock from the load to the end, so that imports run one after another
    // and each lists what it really replaced; a dry run only reads.
    constexpr std::string_view unchanged = "; the image was not changed";
    Core core(programFolder());
    core.setRomPath(image);
    const auto kind =
        arguments.dryRun ? FileSystem::LockKind::Shared : FileSystem::LockKind::Exclusive;
    if (const FileResult held = core.holdImage(kind); !held) {
        fail(loadFailure(held) + std::string(unchanged));
        return Failure;
    }
    if (!loadImage(core, image, false, unchanged))
        return Failure;
    const std::vector<std::string> changes = tableDifferences(core.tableBytes(), read.values);
    std::vector<std::string> listing = sharedByteChoices(read, arguments.overlap);
    listing.insert(listing.end(), changes.begin(), changes.end());
    if (changes.empty()) {
        const bool listed = listChanges(listing);
        say("The tables already hold these values; the image was not changed.\n");
        return listed ? Success : Failure;
    }
    if (arguments.dryRun) {
        std::vector<image::ChecksumFields> fields;
        const FileResult checksum = core.checksumAfterSave(core.tableBytes(), fields);
        if (!checksum) {
            fail(loadFailure(checksum) + std::string(unchanged));
            return Failure;
        }
        const bool listed = listChanges(listing);
        say(entryCount(changes) + " would change" +
            (checksum.rightChecksum ? " and the image's checksum would be updated" : "") +
            "; the image was not changed.\n");
        return listed ? Success : Failure;
    }
    // A stop signal that comes during the save waits; once the save has
    // worked, the change list and the summary are said all the same, and the
    // signal is spent, so that a script sees the import as done.
    const StopSignalsHeld held;
    core.setTableBytes(Field{Field::Kind::AnotherProgram}, read.values);
    const FileResult saved = core.saveRom();
    if (!saved) {
        fail(saveFailure(saved));
        return Failure;
    }
    const bool listed = listChanges(listing);
    say("Saved into " + quotedForTerminal(image) + ": " + entryCount(changes) + " changed" +
        (saved.rightChecksum ? " and the image's checksum updated" : "") + ".\n");
    discardPendingStopSignals();
    return listed ? Success : Failure;
}

int diffTables(const Arguments& arguments) {
    const std::optional<ImageTables> a = tablesOfImage(arguments.operands[0]);
    const std::optional<ImageTables> b = a ? tablesOfImage(arguments.operands[1]) : std::nullopt;
    if (!b)
        return DiffTrouble;
    const std::vector<std::string> changes = tableDifferences(a->bytes, b->bytes);
    if (!listChanges(changes))
        return DiffTrouble;
    return changes.empty() ? Same : Different;
}

// How an image's length is told where two images differ in layout.
std::string lengthNote(places::Layout layout, bool layoutsDiffer) {
    if (!layoutsDiffer)
        return {};
    return layout == places::Layout::Headered ? " with its copier header"
                                              : " without a copier header";
}

// Why a patch cannot be made between the two images of `arguments`, as loaded: an exit
// status, after the reason is said; nothing when it can.
std::optional<int> refusedPair(const Arguments& arguments, const ImageTables& before,
                               const ImageTables& after) {
    const std::string& original = arguments.operands[0];
    const std::string& modified = arguments.operands[1];
    const bool layoutsDiffer = before.layout != after.layout;
    if (layoutsDiffer && !arguments.layout)
        return usageError(*arguments.command,
                          quotedForTerminal(original) + " and " + quotedForTerminal(modified) +
                              " differ in layout (one has a copier header, the other none); "
                              "name the patch's with --layout headered or --layout headerless");
    const std::optional<std::uintmax_t> originalSize = fileSize(original);
    const std::optional<std::uintmax_t> modifiedSize = fileSize(modified);
    if (!originalSize || !modifiedSize)
        return Failure;
    if (*originalSize - places::headerSize(before.layout) ==
        *modifiedSize - places::headerSize(after.layout))
        return std::nullopt;
    fail(quotedForTerminal(original) + " is " + withThousands(*originalSize) + " bytes long" +
         lengthNote(before.layout, layoutsDiffer) + " and " + quotedForTerminal(modified) + " " +
         withThousands(*modifiedSize) + lengthNote(after.layout, layoutsDiffer) +
         "; a patch is made between two copies of the same image");
    return Failure;
}

int patchTables(const Arguments& arguments) {
    const std::string& original = arguments.operands[0];
    const std::string& modified = arguments.operands[1];
    if (writesToTerminal(*arguments.output)) {
        fail("standard output is a terminal; choose an output file or a pipe, nothing was written");
        return Failure;
    }
    Core originalImage(programFolder());
    const std::optional<ImageTables> before = tablesOfImage(originalImage, original);
    const std::optional<ImageTables> after = before ? tablesOfImage(modified) : std::nullopt;
    if (!after)
        return Failure;
    if (const std::optional<int> refused = refusedPair(arguments, *before, *after))
        return *refused;
    // The checksum that importing MODIFIED's tables into ORIGINAL would keep right.
    std::vector<image::ChecksumFields> checksum;
    if (const FileResult read = originalImage.checksumAfterSave(after->bytes, checksum); !read) {
        fail(loadFailure(read));
        return Failure;
    }
    const places::Layout layout = arguments.layout.value_or(before->layout);
    const std::vector<Byte> patch = ipsPatch(before->bytes, after->bytes, layout, checksum);
    const std::string_view bytes(reinterpret_cast<const char*>(patch.data()), patch.size());
    if (*arguments.output != "-" && !outputSparesImages(*arguments.output, {original, modified}))
        return Failure;
    if (!writeOutput(*arguments.output, bytes))
        return Failure;
    const bool withChecksum =
        std::ranges::any_of(checksum, [](const image::ChecksumFields& fields) {
            return fields.before != fields.after;
        });
    say("Wrote " +
        (*arguments.output == "-" ? std::string("the patch to standard output")
                                  : quotedForTerminal(*arguments.output)) +
        " for images " + (layout == places::Layout::Headered ? "with" : "without") +
        " a copier header" + (withChecksum ? ", the image's checksum included" : "") + ".\n");
    return Success;
}

const Command commands[] = {
    {"export", "export IMAGE [-o FILE]",
     R"(Writes the tables of IMAGE as CSV (UTF-8, LF line ends) to FILE, or to
standard output without -o or with -o -. One file, three sections, each with a header row
and separated by an empty row:
  slot,name,health,damage_set,damage_high     256 rows, slots 00 to FF (hex)
  set,armor1,armor2,armor3                    16 rows, damage sets 0 to 15
  damage_table_byte,value                     2 rows, bytes 48 and 49
damage_set and damage_high are the low and high four bits of the enemy's
damage byte. Names come from ~/.config/tarvon-addons/names.cfg (under
$XDG_CONFIG_HOME when set; on Windows %APPDATA%\Tarvon Add-ons\names.cfg)
when it exists, else from names.cfg beside the program, cut after 255 characters, and are not read back by import; a name that begins with =, +, -, @, a tab or a CR is written
with an apostrophe before it, so that no spreadsheet takes it for a formula.
Health of slots F3 to FF and the damage byte of slots 00 to 0C
are the same 13 image bytes; both cells are written. To a terminal, control
characters in names are shown as \xNN; to a file or a pipe, as they are.

Options:
  -o FILE, --output=FILE   write FILE (replaced whole, or left as it was;
                           through a symbolic link, the file it points to)
  -h, --help               show this help
)",
     1, OutputOption::Optional, false, false, false, exportTables},
    {"import", "import [-n] [--overlap=SIDE] IMAGE FILE",
     R"(Reads FILE (- for standard input, at most 16 MiB), a CSV file in the form
export writes, checks every cell, and only then saves the values into IMAGE
with the editor's save. Each changed entry goes to standard output, one per
line, as diff lists them ("health 1A: 198 -> 95"); the summary goes to standard
error.
The first fault in the file is reported as FILE:LINE:COLUMN: message, and the
image is left as it was. Names are ignored.
Accepted as spreadsheets save them: rows in any order within each section
(each exactly once), ; or tab as the separator, an Excel "sep=" line, UTF-8
or UTF-16 with a byte order mark, CR LF or CR line ends, empty rows, empty
cells at the end of a row, slots without leading zero. Where the health of a
slot F3 to FF and the damage byte of slot 00 to 0C (the same image byte)
disagree, nothing is saved, unless --overlap names the side that wins; the
listing then says for each such byte which cell was taken and which
overridden, with both values.
Where the image's own checksum (in its internal header) was right, the save
keeps it right; the summary then says it was updated, and -n that it would
be. A wrong checksum is left as it is.

Options:
  -n, --dry-run      list the entries that would change, and write nothing
  --overlap=damage   where the cells of a shared byte disagree, take the
                     damage byte's (damage_set and damage_high of slots 00 to
                     0C): what a save of both tables leaves in the image
  --overlap=health   take the health of slots F3 to FF instead
  -h, --help         show this help
)",
     2, OutputOption::None, true, false, true, importTables},
    {"diff", "diff IMAGE_A IMAGE_B",
     R"(Lists every table entry that differs between the two images, one line
each, such as "health 1A: 120 -> 95" or "armor2 set 3: 10 -> 12". The images
may differ in layout: one with a copier header, the other without. The image's
own checksum is no table entry and is not compared.
Exit status: 0 when no entry differs, 1 when some do, 2 on trouble.

Options:
  -h, --help   show this help
)",
     2, OutputOption::None, false, false, false, diffTables},
    {"patch", "patch ORIGINAL MODIFIED -o FILE [--layout=LAYOUT]",
     R"(Writes an IPS patch that turns the tables of ORIGINAL into those of
MODIFIED: one record per run of differing table bytes, at their offsets in
images of the layout of the two (with or without a copier header), or of the
one --layout names; the summary on standard error says which. Where the
image's own checksum in ORIGINAL is right, the patch also holds the bytes that
keep it right, as importing MODIFIED's tables into ORIGINAL would write them.
No other byte outside the tables goes into the patch. Both images must be the game, hold the tables,
and have the same length without a copier header. Two images that differ in
layout need --layout. Most players' images have no copier header: share a
patch made with --layout headerless.

Options:
  -o FILE, --output=FILE   write the patch to FILE (required; - for standard
                           output, but not to a terminal)
  --layout=headered        write the offsets of an image with a copier header
  --layout=headerless      write the offsets of an image without one
  -h, --help               show this help
)",
     2, OutputOption::Required, false, true, false, patchTables},
};

// An argument as a usage error echoes it.
std::string echoed(std::string_view argument) {
    return "'" + terminalText(argument) + "'";
}

int usageError(const Command& command, std::string_view message) {
    fail(message);
    say("usage: " + std::string(program) + " " + std::string(command.usage) + "\nTry '" +
        std::string(program) + " " + std::string(command.name) + " --help' for more.\n");
    return UsageError;
}

// An option that names one of two choices, as "--layout=headered" or
// "--layout headered".
struct TwoChoices {
    std::string_view option;
    std::string_view what; // as a wrong choice is called: "unknown layout 'x'"
    std::string_view first, second;

    bool isNamedBy(std::string_view word) const {
        return word.starts_with(option) &&
               (word.size() == option.size() || word[option.size()] == '=');
    }
};
constexpr TwoChoices layoutChoice{"--layout", "layout", "headered", "headerless"};
constexpr TwoChoices overlapChoice{"--overlap", "overlap side", "damage", "health"};

// Reads the choice of the option `words[i]` names, from the word itself or
// from the next one (then `i` moves on to it): `first` says whether it is the
// first choice. Returns the exit status of a usage error.
std::optional<int> readChoice(const Command& command, const TwoChoices& choices,
                              const std::vector<std::string>& words, std::size_t& i, bool& first) {
    const std::string& word = words[i];
    const bool separate = word == choices.option;
    const std::string either = std::string(choices.first) + " or " + std::string(choices.second);
    if (separate && i + 1 == words.size())
        return usageError(command, "option '" + std::string(choices.option) + "' needs " + either);
    const std::string name = separate ? words[++i] : word.substr(choices.option.size() + 1);
    if (name != choices.first && name != choices.second)
        return usageError(command, "unknown " + std::string(choices.what) + " " + echoed(name) +
                                       "; choose " + either);
    first = name == choices.first;
    return std::nullopt;
}

// Reads the arguments after the command name. Returns an exit status when the
// command is not to run (help shown, or a usage error).
std::optional<int> parseArguments(const Command& command, const std::vector<std::string>& words,
                                  Arguments& arguments) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word == "-" || !word.starts_with('-')) {
            arguments.operands.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "-h" || word == "--help") {
            print(stdout, "usage: " + std::string(program) + " " + std::string(command.usage) +
                              "\n\n" + std::string(command.help));
            return Success;
        } else if (command.dryRunOption && (word == "-n" || word == "--dry-run")) {
            arguments.dryRun = true;
        } else if (command.output != OutputOption::None && (word == "-o" || word == "--output")) {
            if (i + 1 == words.size())
                return usageError(command, "option " + echoed(word) + " needs a file name");
            arguments.output = words[++i];
        } else if (command.output != OutputOption::None && word.starts_with("--output=")) {
            arguments.output = word.substr(std::string_view("--output=").size());
        } else if (command.output != OutputOption::None && word.starts_with("-o")) {
            arguments.output = word.substr(2);
        } else if (command.layoutOption && layoutChoice.isNamedBy(word)) {
            bool headered = false;
            if (const std::optional<int> refused =
                    readChoice(command, layoutChoice, words, i, headered))
                return refused;
            arguments.layout = headered ? places::Layout::Headered : places::Layout::Headerless;
        } else if (command.overlapOption && overlapChoice.isNamedBy(word)) {
            bool damage = false;
            if (const std::optional<int> refused =
                    readChoice(command, overlapChoice, words, i, damage))
                return refused;
            arguments.overlap = damage ? SharedByteRule::DamageWins : SharedByteRule::HealthWins;
        } else {
            return usageError(command, "unknown option " + echoed(word));
        }
    }
    if (arguments.operands.size() < command.operandCount)
        return usageError(command, "too few arguments");
    if (arguments.operands.size() > command.operandCount)
        return usageError(command, "unexpected argument " +
                                       echoed(arguments.operands[command.operandCount]));
    if (command.output == OutputOption::Required && !arguments.output)
        return usageError(command, "the output file is missing (-o FILE)");
    if (arguments.output && arguments.output->empty())
        return usageError(command, "the output file name is empty");
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    ignoreFileSizeSignal();
    // A closed pipe is a failure to write output, said after any save.
    prepareConsole();
    const std::vector<std::string> words = commandLineWords(argc, argv);
    if (words.empty()) {
        say(overview);
        return UsageError;
    }
    if (words[0] == "-h" || words[0] == "--help" || words[0] == "help") {
        print(stdout, overview);
        return Success;
    }
    if (words[0] == "--version") {
        print(stdout, std::string(program) + " " + TARVON_VERSION + "\n");
        return Success;
    }
    for (const Command& command : commands) {
        if (words[0] != command.name)
            continue;
        Arguments arguments;
        arguments.command = &command;
        if (const std::optional<int> status =
                parseArguments(command, {words.begin() + 1, words.end()}, arguments))
            return *status;
        return command.run(arguments);
    }
    fail(echoed(words[0]) + " is not a command; see 'tarvon-tables --help'");
    return UsageError;
}

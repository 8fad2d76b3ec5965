// tarvon-tables: the tables of a game image as text, for spreadsheets,
// reviews and patches. Standard library and POSIX only.
#include "Core.h"
#include "OutputFile.h"
#include "TableText.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::string_view program = "tarvon-tables";

enum ExitStatus { Success = 0, Failure = 1, UsageError = 2 };
// diff, like diff(1): 0 when the same, 1 when different, 2 on trouble.
enum DiffStatus { Same = 0, Different = 1, DiffTrouble = 2 };

enum class OutputOption { None, Optional, Required };

struct Arguments {
    std::vector<std::string> operands;
    std::optional<std::string> output;
};

struct Command {
    std::string_view name;
    std::string_view usage; // after "tarvon-tables "
    std::string_view help;
    std::size_t operandCount;
    OutputOption output;
    int (*run)(const Arguments&);
};

const char* const overview = R"(usage: tarvon-tables COMMAND ARGUMENTS...

The tables of a game image as text: enemy health and damage bytes, and the
damage table. Only the signature and the tables are read; only import writes
to an image.

Commands:
  export IMAGE [-o FILE]            write the tables as CSV
  import IMAGE FILE                 check a CSV file and save its values
  diff IMAGE_A IMAGE_B              list the table entries that differ
  patch ORIGINAL MODIFIED -o FILE   write the differing table bytes as IPS

'tarvon-tables COMMAND --help' tells more about one command.
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

// The directory that holds this program, where names.cfg lies.
fs::path programDirectory() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path(".") : self.parent_path();
}

// Loads the tables of `path` into `core` (with the names when asked).
bool loadImage(Core& core, const std::string& path, bool withNames) {
    core.setRomPath(path);
    const FileResult result = withNames ? core.loadRom() : core.loadTables();
    if (!result) {
        fail(result.reason);
        return false;
    }
    if (!result.warning.empty())
        fail("warning: " + result.warning);
    return true;
}

std::optional<TableValues> tablesOfImage(const std::string& path) {
    Core core(programDirectory());
    if (!loadImage(core, path, false))
        return std::nullopt;
    return tablesOf(core);
}

bool isSameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

// Refuses an output path that names one of the images.
bool outputSparesImages(const std::string& output, const std::vector<std::string>& images) {
    for (const std::string& image : images) {
        if (isSameFile(output, image)) {
            fail("\"" + output + "\" is the image \"" + image +
                 "\"; choose another output file, nothing was written");
            return false;
        }
    }
    return true;
}

bool writeOutput(const std::string& path, std::string_view contents) {
    if (std::string reason = writeFileSafely(path, contents); !reason.empty()) {
        fail("cannot write \"" + path + "\": " + reason + "; nothing was written");
        return false;
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

int exportTables(const Arguments& arguments) {
    const std::string& image = arguments.operands[0];
    Core core(programDirectory());
    if (!loadImage(core, image, true))
        return Failure;
    const std::string csv =
        tablesToCsv(tablesOf(core), [&core](Byte slot) { return core.getEnemyDisplayName(slot); });
    if (!arguments.output)
        return writeStandardOutput(csv) ? Success : Failure;
    if (!outputSparesImages(*arguments.output, {image}) || !writeOutput(*arguments.output, csv))
        return Failure;
    return Success;
}

std::optional<std::uintmax_t> fileSize(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) {
        fail("cannot read \"" + path + "\": " + error.message());
        return std::nullopt;
    }
    return size;
}

int importTables(const Arguments& arguments) {
    const std::string& image = arguments.operands[0];
    const std::string& csvPath = arguments.operands[1];
    // readAll reads the whole file, and refuses one larger than 16 MiB.
    std::string text;
    if (std::string reason = realFileSystem()->readAll(csvPath, text); !reason.empty()) {
        fail("cannot read \"" + csvPath + "\": " + reason + "; the image was not changed");
        return Failure;
    }
    const TableCsvResult read = tablesFromCsv(text);
    if (read.error) {
        say(csvPath + ":" + std::to_string(read.error->line) + ":" +
            std::to_string(read.error->column) + ": " + read.error->message + "\n");
        fail("the image was not changed");
        return Failure;
    }
    Core core(programDirectory());
    if (!loadImage(core, image, false))
        return Failure;
    const std::vector<std::string> changes = tableDifferences(tablesOf(core), read.values);
    if (changes.empty()) {
        say("The tables already hold these values; the image was not changed.\n");
        return Success;
    }
    storeTables(core, read.values);
    if (const FileResult saved = core.saveRom(); !saved) {
        fail(saved.kind == FileResult::Kind::ChangedOnDisk
                 ? "\"" + image +
                       "\": the tables were changed by another program during the import; the "
                       "image was not changed"
                 : saved.reason);
        return Failure;
    }
    say("Saved into \"" + image + "\": " + std::to_string(changes.size()) +
        (changes.size() == 1 ? " table entry" : " table entries") + " changed.\n");
    return Success;
}

int diffTables(const Arguments& arguments) {
    const std::optional<TableValues> a = tablesOfImage(arguments.operands[0]);
    const std::optional<TableValues> b = a ? tablesOfImage(arguments.operands[1]) : std::nullopt;
    if (!b)
        return DiffTrouble;
    std::string listing;
    for (const std::string& line : tableDifferences(*a, *b))
        listing += line + '\n';
    if (!writeStandardOutput(listing))
        return DiffTrouble;
    return listing.empty() ? Same : Different;
}

int patchTables(const Arguments& arguments) {
    const std::string& original = arguments.operands[0];
    const std::string& modified = arguments.operands[1];
    const std::optional<TableValues> before = tablesOfImage(original);
    const std::optional<TableValues> after = before ? tablesOfImage(modified) : std::nullopt;
    if (!after)
        return Failure;
    const std::optional<std::uintmax_t> originalSize = fileSize(original);
    const std::optional<std::uintmax_t> modifiedSize = fileSize(modified);
    if (!originalSize || !modifiedSize)
        return Failure;
    if (*originalSize != *modifiedSize) {
        fail("\"" + original + "\" is " + std::to_string(*originalSize) + " bytes long and \"" +
             modified + "\" " + std::to_string(*modifiedSize) +
             "; a patch is made between two copies of the same image");
        return Failure;
    }
    const std::vector<Byte> patch = ipsPatch(*before, *after);
    const std::string_view bytes(reinterpret_cast<const char*>(patch.data()), patch.size());
    if (!outputSparesImages(*arguments.output, {original, modified}) ||
        !writeOutput(*arguments.output, bytes))
        return Failure;
    return Success;
}

const Command commands[] = {
    {"export", "export IMAGE [-o FILE]",
     R"(Writes the tables of IMAGE as CSV (UTF-8, LF line ends) to FILE, or to
standard output without -o. One file, three sections, each with a header row
and separated by an empty row:
  slot,name,health,damage_set,damage_high     256 rows, slots 00 to FF (hex)
  set,armor1,armor2,armor3                    16 rows, damage sets 0 to 15
  damage_table_byte,value                     2 rows, bytes 48 and 49
damage_set and damage_high are the low and high four bits of the enemy's
damage byte. Names come from names.cfg beside the program and are not read
back by import. Health of slots F3 to FF and the damage byte of slots 00 to 0C
are the same 13 image bytes; both cells are written.

Options:
  -o FILE, --output=FILE   write FILE (replaced whole, or left as it was)
  -h, --help               show this help
)",
     1, OutputOption::Optional, exportTables},
    {"import", "import IMAGE FILE",
     R"(Reads FILE, a CSV file in the form export writes, checks every cell, and
only then saves the values into IMAGE with the editor's save. Any fault is
reported as FILE:LINE:COLUMN: message, and the image is left as it was.
Names are ignored. Empty rows, CR LF line ends, a byte order mark, empty cells
at the end of a row and slots without leading zero are accepted, as
spreadsheets save them. Where the health of a slot F3 to FF and the damage byte
of slot 00 to 0C (the same image byte) disagree, nothing is saved.

Options:
  -h, --help   show this help
)",
     2, OutputOption::None, importTables},
    {"diff", "diff IMAGE_A IMAGE_B",
     R"(Lists every table entry that differs between the two images, one line
each, such as "health 1A: 120 -> 95" or "armor2 set 3: 10 -> 12".
Exit status: 0 when no entry differs, 1 when some do, 2 on trouble.

Options:
  -h, --help   show this help
)",
     2, OutputOption::None, diffTables},
    {"patch", "patch ORIGINAL MODIFIED -o FILE",
     R"(Writes an IPS patch that turns the tables of ORIGINAL into those of
MODIFIED: one record per run of differing table bytes, at their offsets in the
image as given (a copier header included). No byte outside the tables goes
into the patch. Both images must be the game, hold the tables, and have the
same length.

Options:
  -o FILE, --output=FILE   write the patch to FILE (required)
  -h, --help               show this help
)",
     2, OutputOption::Required, patchTables},
};

int usageError(const Command& command, std::string_view message) {
    fail(message);
    say("usage: " + std::string(program) + " " + std::string(command.usage) + "\nTry '" +
        std::string(program) + " " + std::string(command.name) + " --help' for more.\n");
    return UsageError;
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
        } else if (command.output != OutputOption::None && (word == "-o" || word == "--output")) {
            if (i + 1 == words.size())
                return usageError(command, "option '" + word + "' needs a file name");
            arguments.output = words[++i];
        } else if (command.output != OutputOption::None && word.starts_with("--output=")) {
            arguments.output = word.substr(std::string_view("--output=").size());
        } else if (command.output != OutputOption::None && word.starts_with("-o")) {
            arguments.output = word.substr(2);
        } else {
            return usageError(command, "unknown option '" + word + "'");
        }
    }
    if (arguments.operands.size() < command.operandCount)
        return usageError(command, "too few arguments");
    if (arguments.operands.size() > command.operandCount)
        return usageError(command,
                          "unexpected argument '" + arguments.operands[command.operandCount] + "'");
    if (command.output == OutputOption::Required && !arguments.output)
        return usageError(command, "the output file is missing (-o FILE)");
    if (arguments.output && arguments.output->empty())
        return usageError(command, "the output file name is empty");
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv + std::min(argc, 1), argv + argc);
    if (words.empty()) {
        say(overview);
        return UsageError;
    }
    if (words[0] == "-h" || words[0] == "--help" || words[0] == "help") {
        print(stdout, overview);
        return Success;
    }
    for (const Command& command : commands) {
        if (words[0] != command.name)
            continue;
        Arguments arguments;
        if (const std::optional<int> status =
                parseArguments(command, {words.begin() + 1, words.end()}, arguments))
            return *status;
        return command.run(arguments);
    }
    fail("'" + words[0] + "' is not a command; see 'tarvon-tables --help'");
    return UsageError;
}

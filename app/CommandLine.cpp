#include "CommandLine.h"

#include "BackMDI.h"
#include "Platform.h"

#include <QEvent>
#include <QWindow>

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

namespace {

enum ExitStatus { Success = 0, UsageError = 2 };

const QString program = QStringLiteral("tarvon-addons");

const char* const help = R"(usage: tarvon-addons [IMAGE]

Edits the enemy and damage tables of a game image. IMAGE, when given, is
opened once the window is up, as File > Open would open it.

Options:
  --help      show this help
  --version   show the version
Qt's own options, such as -platform NAME and -style NAME, are passed to Qt.
)";

// The options QGuiApplication, QApplication and the X11 platform take from
// the command line, and whether each is followed by a value.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr QtOption qtOptions[] = {{"platform", true},      {"platformpluginpath", true},
                                  {"platformtheme", true}, {"plugin", true},
                                  {"qmljsdebugger", true}, {"qwindowgeometry", true},
                                  {"qwindowicon", true},   {"qwindowtitle", true},
                                  {"session", true},       {"display", true},
                                  {"geometry", true},      {"title", true},
                                  {"icon", true},          {"name", true},
                                  {"visual", true},        {"style", true},
                                  {"stylesheet", true},    {"reverse", false},
                                  {"testability", false},  {"widgetcount", false},
                                  {"nograb", false},       {"dograb", false}};

void addQtOptions(QCommandLineParser& parser) {
    for (const QtOption& option : qtOptions) {
        const QString name = QLatin1String(option.name);
        parser.addOption(option.takesValue ? QCommandLineOption(name, {}, name)
                                           : QCommandLineOption(name));
    }
}

// The word that carried the option Qt names `name`, "--name=value" or "-name".
QString wordOf(const QString& name, const QStringList& words) {
    for (const QString& word : words) {
        const QString option = word.section(u'=', 0, 0);
        if (option == u'-' + name || option == QLatin1String("--") + name)
            return word;
    }
    return name;
}

// Why the parser refused the words, in tarvon-tables' style: lower case, no
// closing full stop, an unknown option as it was typed.
QString refusal(const QCommandLineParser& parser, const QStringList& words) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return QStringLiteral("unknown option '%1'").arg(wordOf(unknown.first(), words));
    QString reason = parser.errorText();
    reason[0] = reason[0].toLower();
    if (reason.endsWith(u'.'))
        reason.chop(1);
    return reason;
}

CommandLine usageError(QTextStream& err, const QString& message) {
    err << program << ": " << message << "\nusage: " << program << " [IMAGE]\nTry '" << program
        << " --help' for more.\n";
    return {{}, UsageError};
}

} // namespace

CommandLine readCommandLine(const QStringList& words, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    // Qt's options are single-dash words; ours are --help and --version.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption helpOption(QStringLiteral("help"));
    const QCommandLineOption versionOption(QStringLiteral("version"));
    parser.addOptions({helpOption, versionOption});
    addQtOptions(parser);
    if (!parser.parse(QStringList(program) + words))
        return usageError(err, refusal(parser, words));
    if (parser.isSet(helpOption)) {
        out << help;
        return {{}, Success};
    }
    if (parser.isSet(versionOption)) {
        out << program << ' ' << TARVON_VERSION << '\n';
        return {{}, Success};
    }
    const QStringList images = parser.positionalArguments();
    if (images.size() > 1)
        return usageError(err, QStringLiteral("unexpected argument '%1'").arg(images[1]));
    // Absolute, so that messages name the file as those of the Open dialog do.
    return {images.isEmpty() ? QString() : QFileInfo(images.first()).absoluteFilePath(), {}};
}

CommandLine readCommandLine(int argc, char** argv) {
    QStringList words;
    for (const std::string& word : commandLineWords(argc, argv))
        words.append(QString::fromStdString(word));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const CommandLine commandLine = readCommandLine(words, out, err);
    out.flush();
    err.flush();
    if (!outText.isEmpty())
        showCommandLineText(outText.toStdString(), false);
    if (!errText.isEmpty())
        showCommandLineText(errText.toStdString(), true);
    return commandLine;
}

namespace {
// Opens the image once the window is on the screen, where the window system
// placed it, so that a message about the file opens over the window.
class OpenWhenExposed : public QObject {
public:
    OpenWhenExposed(BackMDI& window, const QString& image)
        : QObject(&window), window(window), image(image) {
        if (window.windowHandle()->isExposed())
            openSoon();
        else
            window.windowHandle()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Expose && window.windowHandle()->isExposed()) {
            window.windowHandle()->removeEventFilter(this);
            openSoon();
        }
        return false;
    }

private:
    void openSoon() {
        QMetaObject::invokeMethod(
            this,
            [this] {
                window.openImageFile(image);
                deleteLater();
            },
            Qt::QueuedConnection);
    }

    BackMDI& window;
    const QString image;
};
} // namespace

void openWhenShown(BackMDI& window, const QString& image) {
    if (!image.isEmpty())
        new OpenWhenExposed(window, image);
}

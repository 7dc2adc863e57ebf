#include "ProgramOptions.h"

namespace {

// The options QApplication takes out of the command line itself, with whether each has a value.
struct QtOption
{
    const char *name;
    bool valued;
};
constexpr QtOption qtOptions[] = {
    {"platform", true},   {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},   {"qwindowtitle", true},  {"reverse", false},
    {"session", true},    {"display", true},            {"geometry", true},      {"name", true},
    {"title", true},      {"visual", true},             {"ncols", true},         {"cmap", false},
    {"nograb", false},    {"dograb", false},            {"style", true},         {"stylesheet", true},
    {"widgetcount", false}, {"qmljsdebugger", true},
};

} // namespace

ProgramOptions::ProgramOptions()
    : m_help(m_parser.addHelpOption())
    , m_version(m_parser.addVersionOption())
{
    m_parser.setApplicationDescription(
        QStringLiteral("Keeps a food diary: clients, their meals and the foods they eat, with calories and servings of "
                       "fruit and vegetables. Opens DIARY, or else the diary used last; with neither, asks which "
                       "diary to work in."));
    m_parser.addPositionalArgument(QStringLiteral("DIARY"),
                                   QStringLiteral("The diary file to open (a name that starts with a dash goes after --)."),
                                   QStringLiteral("[DIARY]"));
    // Qt's options are written with one dash, as "-platform offscreen".
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const QtOption &qt : qtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name));
        if (qt.valued)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        m_parser.addOption(option);
    }
}

ProgramOptions::Outcome ProgramOptions::parse(const QStringList &arguments)
{
    m_diaryPath.clear();
    m_problem.clear();
    if (!m_parser.parse(arguments)) {
        m_problem = m_parser.errorText();
        return Outcome::UsageError;
    }
    if (m_parser.isSet(m_help) || m_parser.isSet(QStringLiteral("help-all")))
        return Outcome::Help;
    if (m_parser.isSet(m_version))
        return Outcome::Version;
    const QStringList files = m_parser.positionalArguments();
    if (files.size() > 1) {
        m_problem = QStringLiteral("one diary at a time, not %1.").arg(files.size());
        return Outcome::UsageError;
    }
    if (!files.isEmpty() && files.first().isEmpty()) {
        m_problem = QStringLiteral("the file name is empty.");
        return Outcome::UsageError;
    }
    m_diaryPath = files.value(0);
    return Outcome::Run;
}

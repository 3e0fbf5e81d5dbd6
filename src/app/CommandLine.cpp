#include "CommandLine.h"

namespace {

// The value of an option: the rest of the argument after "-X" when there is one, otherwise the
// next argument (consumed). A null string when the option is the last argument.
QString takeValue(const QStringList& arguments, qsizetype& i) {
    const QString rest = arguments[i].mid(2);
    if (!rest.isEmpty())
        return rest;
    if (i + 1 < arguments.size())
        return arguments[++i];
    return QString();
}

void takeNumber(const QStringList& arguments, qsizetype& i, double& value, double bottom,
                double top, QStringList& ignored) {
    const QString option = arguments[i].left(2);
    bool ok = false;
    const QString text = takeValue(arguments, i);
    const double parsed = text.toDouble(&ok);
    if (!ok)
        return;
    if (parsed >= bottom && parsed <= top)
        value = parsed;
    else
        ignored
            << QStringLiteral("%1 %2 is outside %3 to %4").arg(option, text).arg(bottom).arg(top);
}

} // namespace

void printUsage(std::FILE* stream) {
    std::fputs("Tintora, finds device values for spot colours in ICC output profiles \t\n"
               "Tintora -o pathtoICCprofile -L Lab_L -a Lab_a -b Lab_b",
               stream);
    std::fflush(stream);
}

CommandLine parseCommandLine(const QStringList& arguments, std::FILE* usageStream) {
    CommandLine result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.startsWith(QLatin1Char('?'))) {
            printUsage(usageStream);
            result.options = true;
            continue;
        }
        if (!argument.startsWith(QLatin1Char('-'))) {
            result.files << argument;
            continue;
        }
        result.options = true;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            result.help = true;
            continue;
        }

        const QChar option = argument.size() > 1 ? argument[1] : QChar();
        if (option == QLatin1Char('L')) {
            takeNumber(arguments, i, result.L, 0, 100, result.ignored);
        } else if (option == QLatin1Char('a')) {
            takeNumber(arguments, i, result.a, -128, 128, result.ignored);
        } else if (option == QLatin1Char('b')) {
            takeNumber(arguments, i, result.b, -128, 128, result.ignored);
        } else if (option == QLatin1Char('o')) {
            result.profilePath = takeValue(arguments, i);
        } else if (option == QLatin1Char('?')) {
            printUsage(usageStream);
        } else {
            break;
        }
    }
    return result;
}

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

void takeNumber(const QStringList& arguments, qsizetype& i, double& value) {
    bool ok = false;
    const double parsed = takeValue(arguments, i).toDouble(&ok);
    if (ok)
        value = parsed;
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
        if (argument.startsWith(QLatin1Char('?')))
            printUsage(usageStream);
        if (!argument.startsWith(QLatin1Char('-')))
            continue;

        const QChar option = argument.size() > 1 ? argument[1] : QChar();
        if (option == QLatin1Char('L')) {
            takeNumber(arguments, i, result.L);
        } else if (option == QLatin1Char('a')) {
            takeNumber(arguments, i, result.a);
        } else if (option == QLatin1Char('b')) {
            takeNumber(arguments, i, result.b);
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

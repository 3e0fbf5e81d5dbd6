// Tintora: finds the device values that reproduce a spot colour in an ICC output profile.

#include "CommandLine.h"
#include "Tintora.h"
#include "velt.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    CommandLine commandLine;
    if (argc > 1) {
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        commandLine = parseCommandLine(arguments);
        if (commandLine.help) {
            printUsage();
            std::fputc('\n', stderr);
            return 0;
        }
        for (const QString& ignored : commandLine.ignored)
            std::fprintf(stderr, "tintora: %s; ignored\n", qPrintable(ignored));
    } else {
        velt_splashPanel();
    }

    int exitCode = 0;
    {
        Tintora window;
        // Files alone, as "Open with" passes them, open the first as the output profile in the
        // last session's setting; options set what they name.
        if (!commandLine.options) {
            window.show();
            // Reopen what the last session worked on; missing files are passed over silently.
            window.restoreLastSession();
            if (!commandLine.files.isEmpty())
                window.setProfile(commandLine.files.first());
        } else {
            window.setParams(commandLine.profilePath, commandLine.L, commandLine.a, commandLine.b);
            window.show();
        }
        QObject::connect(&application, &QGuiApplication::lastWindowClosed, &application,
                         &QCoreApplication::quit);

        exitCode = QApplication::exec();

        window.rememberRefL();
        window.rememberRefA();
        window.rememberRefB();
        window.rememberUseSource();
        window.rememberDisplayAB();
        window.rememberDisplayCH();
        window.rememberPreserve();
        window.rememberMethod();
        window.rememberBlack();
        window.rememberStrength();
        window.rememberPriority();
        window.rememberSrc();
    }
    return exitCode;
}

#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

// What the command line "-o pathtoICCprofile -L Lab_L -a Lab_a -b Lab_b" asks for.
struct CommandLine {
    QString profilePath; // null unless -o was given with a value
    double L = 100.0;
    double a = 0.0;
    double b = 0.0;
    bool help = false;   // --help or -h: print the usage text and open no window
    QStringList ignored; // numbers outside their range, which leave the value as it was
    // Arguments that are not options (and not '?'): files to open, as a file manager passes them.
    QStringList files;
    bool options = false; // whether any option was given
};

// Walks the arguments (without the program name) left to right. Arguments that do not start
// with '-' are kept as files (values of options aside); one starting with '?', or the option -?,
// prints the usage text to usageStream and parsing goes on. -L, -a, -b and -o take the rest of the
// argument (-L50) or else the next argument, whatever it looks like. A number that does not
// convert, or lies outside its range (L* 0 to 100, a* and b* -128 to 128; noted in `ignored`),
// leaves the previous value.
// --help and -h ask for the usage text. Any other option letter, or a lone '-', ends parsing with
// what was gathered so far.
CommandLine parseCommandLine(const QStringList& arguments, std::FILE* usageStream = stderr);

// Writes the two-line usage text, without a final newline.
void printUsage(std::FILE* stream = stderr);

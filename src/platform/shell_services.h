#pragma once

#include <QString>

// The shell's "open" verb: a web address, a file in its registered viewer, or a program with
// one argument. Results are not checked by any caller. Tests record the requests instead of
// starting anything.
class ShellServices
{
public:
    virtual ~ShellServices();

    // Opens a document or web address with the desktop's handler for it.
    virtual void open(const QString &target) = 0;
    // Starts a program with exactly one argument, without waiting for it. The argument reaches
    // the program whole, whatever quotes or blanks it holds.
    virtual void start(const QString &program, const QString &argument) = 0;
};

#pragma once

#include <QString>

// The shell's "open" verb: a web address, a file in its registered viewer, or a program with a
// parameter text. Results are not checked by any caller. Tests record the requests instead of
// starting anything.
class ShellServices
{
public:
    virtual ~ShellServices();

    // Opens a document or web address with the desktop's handler for it.
    virtual void open(const QString &target) = 0;
    // Starts a program with one parameter text, without waiting for it.
    virtual void start(const QString &program, const QString &parameters) = 0;
};

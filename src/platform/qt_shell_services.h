#pragma once

#include "platform/shell_services.h"

// The desktop's own handlers: QDesktopServices (the shell's "open" verb on Windows) for documents
// and web addresses, a detached process for programs.
class QtShellServices : public ShellServices
{
public:
    void open(const QString &target) override;
    void start(const QString &program, const QString &argument) override;
};

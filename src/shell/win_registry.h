#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN

#include "registry_backend.h"

// The Windows registry below HKEY_CLASSES_ROOT.
class WinRegistry : public RegistryBackend
{
public:
    bool createKey(const QString &path) override;
    bool keyExists(const QString &path) override;
    bool setDefault(const QString &path, const QString &value) override;
    DefaultValue readDefault(const QString &path) override;
    bool deleteTree(const QString &path) override;
};

#endif

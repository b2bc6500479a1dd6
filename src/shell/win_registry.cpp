#include "win_registry.h"

#ifdef Q_OS_WIN

#include <qt_windows.h>

namespace {

std::wstring native(const QString &path)
{
    return path.toStdWString();
}

} // namespace

bool WinRegistry::createKey(const QString &path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, native(path).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool WinRegistry::keyExists(const QString &path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, native(path).c_str(), 0, STANDARD_RIGHTS_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool WinRegistry::setDefault(const QString &path, const QString &value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, native(path).c_str(), 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    const std::wstring data = value.toStdWString();
    const LONG result =
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(data.c_str()),
                       DWORD((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

RegistryBackend::DefaultValue WinRegistry::readDefault(const QString &path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, native(path).c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return {};
    DefaultValue result;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            result.kind = DefaultValue::Other;
        } else {
            std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
            DWORD bytes = DWORD(data.size() * sizeof(wchar_t));
            if (RegQueryValueExW(key, nullptr, nullptr, &type,
                                 reinterpret_cast<BYTE *>(data.data()), &bytes) == ERROR_SUCCESS) {
                result.kind = DefaultValue::String;
                // The stored text may or may not carry its terminating zero.
                result.text = QString::fromWCharArray(data.c_str());
            }
        }
    }
    RegCloseKey(key);
    return result;
}

bool WinRegistry::deleteTree(const QString &path)
{
    // The root itself cannot be deleted.
    if (path.isEmpty())
        return false;
    // Given a subkey, RegDeleteTreeW removes the key itself along with everything below it.
    return RegDeleteTreeW(HKEY_CLASSES_ROOT, native(path).c_str()) == ERROR_SUCCESS;
}

#endif

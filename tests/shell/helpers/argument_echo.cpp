// A stand-in for the programs the Windows shell starts: writes the number of its arguments, its
// first argument and its whole command line, one to a line in UTF-16, to "<first argument>.seen".
// The file appears whole or not at all.
#include <windows.h>

#include <cstdio>
#include <shellapi.h>
#include <string>

int main()
{
    const wchar_t *commandLine = GetCommandLineW();
    int count = 0;
    wchar_t **arguments = CommandLineToArgvW(commandLine, &count);
    if (!arguments || count < 2)
        return 1;
    const std::wstring first = arguments[1];
    const std::wstring text =
        std::to_wstring(count - 1) + L'\n' + first + L'\n' + commandLine + L'\n';
    const std::wstring partial = first + L".partial";
    FILE *file = _wfopen(partial.c_str(), L"wb");
    if (!file)
        return 2;
    std::fwrite(text.data(), sizeof(wchar_t), text.size(), file);
    std::fclose(file);
    return MoveFileW(partial.c_str(), (first + L".seen").c_str()) ? 0 : 3;
}

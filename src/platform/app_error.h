#pragma once

#include <QString>
#include <exception>

// A failure that ends a command and reaches the program's top-level error report: file, stream
// and registry errors, with the text the user sees.
class AppError : public std::exception
{
public:
    explicit AppError(QString text);

    const QString &text() const { return m_text; }
    const char *what() const noexcept override { return m_utf8.constData(); }

    // The text as the error box shows it: a period is appended when the last character's code
    // is above that of the period.
    static QString boxText(const QString &text);

    static AppError cannotOpen(const QString &path, const QString &reason);
    static AppError cannotCreate(const QString &path, const QString &reason);

private:
    QString m_text;
    QByteArray m_utf8;
};

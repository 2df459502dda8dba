#pragma once

#include <exception>
#include <QString>
#include <string>

// A file that cannot be imported or written, with a message fit to show the user as it stands.
class InterchangeError : public std::exception
{
public:
    explicit InterchangeError(const QString& message) : m_message(message), m_what(message.toStdString()) {}

    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    QString m_message;
    std::string m_what;
};

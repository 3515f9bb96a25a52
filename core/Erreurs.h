// The errors the program raises itself, each with a French text for the user or the log.
#pragma once

#include <QString>
#include <stdexcept>

class EBavardin : public std::runtime_error {
public:
    explicit EBavardin(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// A value read with the wrong type, a write with no key open, or a database failure.
class ERegistre : public EBavardin {
public:
    using EBavardin::EBavardin;
};

// A file that could not be read or written.
class EEntreeSortie : public EBavardin {
public:
    using EBavardin::EBavardin;
};

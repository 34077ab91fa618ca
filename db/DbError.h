#pragma once

#include <QString>
#include <stdexcept>

// An error of the database engine, carrying the engine's own message. The
// db layer throws it; each operation catches it at its edge, where the
// transaction has already been rolled back.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

#pragma once
// The error every failing engine call throws. Its message is Hungarian, names
// what failed, and is what the central error report shows to the user.

#include <QString>
#include <exception>

namespace word {

class Error : public std::exception {
public:
    explicit Error(QString message);
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

} // namespace word

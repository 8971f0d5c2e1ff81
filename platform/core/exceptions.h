#pragma once
// Error classes of the toolkit layer. Every error the product raises derives
// from Exception and carries one message text, shown to the user as it is.

#include <QString>
#include <QByteArray>
#include <exception>

class Exception : public std::exception
{
public:
    explicit Exception(QString message);
    const QString& Message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// Stream and file errors.
class EStreamError : public Exception
{
public:
    using Exception::Exception;
};

// A file could not be opened or created; the text is the caller's.
class EFileOpenError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

// A read returned fewer bytes than asked for ("Stream read error").
class EReadError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

// A write stored fewer bytes than asked for ("Stream write error").
class EWriteError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

// ---- conversions and assignments (settings by name, Assign) ----------------
// A value text does not convert to a setting's type, or an object cannot be
// copied from an object of another class.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

// The system's description of an error code (errno), without a trailing full stop.
QString SysErrorMessage(int errorCode);

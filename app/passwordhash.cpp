#include "app/passwordhash.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

namespace PasswordHash {

namespace {

const QString prefix = QStringLiteral("p1$");
constexpr int Iterations = 60000;
constexpr int SaltBytes = 12;
constexpr int KeyBytes = 16;

const QByteArray::Base64Options base64 = QByteArray::Base64Encoding | QByteArray::OmitTrailingEquals;

QByteArray keyOf(const QString &password, const QByteArray &salt)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt,
                                              Iterations, KeyBytes);
}

// Compares without stopping at the first difference, so that the time
// taken says nothing about how much of a guess was right.
bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size()) {
        return false;
    }
    char difference = 0;
    for (int i = 0; i < a.size(); ++i) {
        difference |= a.at(i) ^ b.at(i);
    }
    return difference == 0;
}

} // namespace

QString make(const QString &password)
{
    QByteArray salt(SaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), SaltBytes / 4);
    return prefix + QString::fromLatin1(salt.toBase64(base64)) + QLatin1Char('$')
        + QString::fromLatin1(keyOf(password, salt).toBase64(base64));
}

bool isHash(const QString &stored)
{
    return stored.startsWith(prefix) && stored.count(QLatin1Char('$')) == 2;
}

bool matches(const QString &stored, const QString &typed)
{
    if (!isHash(stored)) {
        return !stored.isEmpty() && stored == typed;
    }
    const QStringList parts = stored.mid(prefix.size()).split(QLatin1Char('$'));
    const QByteArray salt = QByteArray::fromBase64(parts.value(0).toLatin1(), base64);
    const QByteArray key = QByteArray::fromBase64(parts.value(1).toLatin1(), base64);
    return !salt.isEmpty() && sameBytes(keyOf(typed, salt), key);
}

} // namespace PasswordHash

#pragma once

#include <QString>

// Passwords are stored as a salted, slow hash (PBKDF2-SHA256, a salt of its
// own per user): "p1$<salt>$<key>", both base64 without padding, 42
// characters, so that it fits the password column of every database already
// in use. A row still holding a plain-text password keeps working; the login
// replaces it by its hash at the next successful login.
namespace PasswordHash {

// A fresh hash of password, with a new random salt.
QString make(const QString &password);

// Whether stored is a hash rather than a plain-text password.
bool isHash(const QString &stored);

// Whether typed is the password stored (a hash, or a plain text compared
// exactly).
bool matches(const QString &stored, const QString &typed);

} // namespace PasswordHash

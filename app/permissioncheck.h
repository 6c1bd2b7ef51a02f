#pragma once

#include <QString>

// Whether the logged-in user holds right: one of the comma-separated parts of
// the right list equals it exactly. Parts are not trimmed, so "a, b" grants
// "a" but not "b".
bool PermissionCheck(const QString &right);

#pragma once

#include <QString>

// Writes one row into the operation log: this workstation's address, the time,
// the logged-in user (as typed) and the unit that was opened. A failure to
// write the log never stops the form from opening.
void OperationLog(const QString &unit);

// The workstation address written into the log: the machine's first
// non-loopback IPv4 address, or "127.0.0.1".
QString workstationAddress();

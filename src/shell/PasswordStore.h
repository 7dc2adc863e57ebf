#pragma once

#include "Status.h"

#include <QString>

// The passwords of server diaries in the desktop's key store (the secret service, KWallet, ...),
// under the service "Mealwright", each with the diary's address as its key. Each call waits for
// the key store's answer. A store that cannot be reached (no desktop session, no secret service)
// gives a failure saying so; a password that is not there is no failure.
//
// Tests switch on test mode: the store is then a map in memory, which can be made to act as if no
// key store were running.
namespace PasswordStore {

// The password kept for address; empty when there is none.
Result<QString> read(const QString &address);
Status write(const QString &address, const QString &password);
// Takes the password for address out of the store; none there is no failure.
Status remove(const QString &address);

void setTestMode(bool on);
// In test mode: whether the store acts as running (the default) or as not there at all.
void setTestAvailable(bool available);

} // namespace PasswordStore

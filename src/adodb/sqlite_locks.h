// Locks on the embedded database files that no other code of the process can drop.
#pragma once

namespace adodb {

/// Makes SQLite lock its files through open-file-description locks, once per
/// process, before the first file is opened. Safe to call again.
void UseDescriptionLocks();

}  // namespace adodb

#pragma once

namespace kestrun {

// Merges the earlier installation's "old.ini" from the program folder into Watch.ini and
// deletes it: every user section whole, then the eight carried global keys when present.
void MigrateOldSettings();

}  // namespace kestrun

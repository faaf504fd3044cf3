// The names of the temporary files that OutputFile gives a replacement before it takes the
// target's name, the lock that marks such a file as in use, and the removal of those that a
// killed process left behind.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace qv {

// The name of temporary file `number` of process `process`: ".quorvanel-PID-N.tmp". The dot
// keeps it out of file lists while it exists.
std::string TemporaryFileName(pid_t process, unsigned number);

// The process that named a temporary file `name`; 0 when `name` is not such a name. Processes
// of other PID namespaces (containers sharing a directory) may have the same number.
pid_t TemporaryFileOwner(std::string_view name);

// Marks the open temporary file `descriptor` as in use with a lock that every process on the
// machine sees, whatever its PID namespace, and that ends when the last descriptor of this
// opening is closed (a duplicate keeps it). An unnamed file (`named` false) is locked before
// it gets a name. A named one may have been taken by another process's cleanup between its
// creation and the lock: the result is then false, and the file is gone or going, so the
// writer must start again under a fresh name. Where the file system has no locks the file
// stays unlocked, and true is returned: no cleanup there can take a lock either.
bool HoldTemporaryFile(int descriptor, bool named);

// Removes from `directory` (a descriptor, O_PATH is enough) every regular file with a
// temporary file name that no process holds (HoldTemporaryFile), each while holding its lock
// itself, so that no writer can take it meanwhile. Files it may not read or remove, files whose
// lock cannot be tested, and all files of a directory it cannot read are left; nothing is
// reported.
void RemoveStaleTemporaryFiles(int directory);

}  // namespace qv
